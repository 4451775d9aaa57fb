#!/usr/bin/env bash
# The program installed as a desktop program is: `cmake --install` into a
# scratch prefix puts the program, its help file, desktop entry, icons and
# AppStream metainfo in their places, the desktop files pass their
# validators, and the installed program, in a folder it cannot write, starts
# on a virtual X display, finds its help, keeps its settings in the per-user
# data folder and its pictures in the user's Pictures folder.
#
# installed_session.sh CMAKE BUILD_DIR
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb on this machine).
set -euo pipefail

cmake=${1:?usage: installed_session.sh CMAKE BUILD_DIR}
build=${2:?usage: installed_session.sh CMAKE BUILD_DIR}
id=org.ilumerix.LightEdition

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"

# --------------------------------------------------------------- outside X
if [ -z "${ILX_E2E_WORK:-}" ]; then
    need_tools xdotool import convert desktop-file-validate appstreamcli
    make_work

    prefix=$work/usr
    "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
        echo "FAIL: cmake --install failed"
        tail -n 20 "$work/install.log"
        exit 1
    }
    share=$prefix/share
    for file in bin/ilumerix share/ilumerix/iLXLEEN32.hlp share/applications/$id.desktop \
        share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg; do
        [ -s "$prefix/$file" ] || { echo "FAIL: $file was not installed"; exit 1; }
    done
    for size in 16 22 24 32 48 64 128 256; do
        png=$share/icons/hicolor/${size}x${size}/apps/$id.png
        [ -s "$png" ] || { echo "FAIL: no ${size}x${size} icon"; exit 1; }
        got=$(identify -format '%wx%h' "$png")
        [ "$got" = "${size}x${size}" ] || { echo "FAIL: the ${size}x${size} icon is $got"; exit 1; }
    done
    desktop-file-validate "$share/applications/$id.desktop" >"$work/validate.log" 2>&1 || {
        echo "FAIL: the desktop file does not validate"
        cat "$work/validate.log"
        exit 1
    }
    grep -E 'error|warning' "$work/validate.log" && { echo "FAIL: the desktop file has warnings"; exit 1; }
    appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 || {
        echo "FAIL: the metainfo file does not validate"
        cat "$work/appstream.log"
        exit 1
    }
    echo "installed: program, help, desktop entry, metainfo and icons in place and valid"

    # The installed program's folder takes no files.
    chmod a-w "$prefix/bin"
    run_inside_x "$work" "$0" "$cmake" "$build"
fi

# ---------------------------------------------------------------- inside X
# shellcheck source=output_check.sh
source "$(dirname "$0")/output_check.sh"
work=$ILX_E2E_WORK
prefix=$work/usr
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_RUNTIME_DIR=$work/run TMPDIR=$work/tmp
unset XDG_DATA_HOME
export QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
# This user's Pictures folder has a name of its own.
echo 'XDG_PICTURES_DIR="$HOME/Bilder"' >"$XDG_CONFIG_HOME/user-dirs.dirs"
data=$HOME/.local/share/i-Lumerix/ilumerix
pictures=$HOME/Bilder/i-Lumerix

# A user who chose the demo camera before: the settings are read from the
# per-user folder (the caption names the camera).
demo="Demo camera (built-in test scene)"
mkdir -p "$data"
printf '[Setup]\r\nStabilite=0\r\n' >"$data/iLXLE.INI"
printf '[Setup]\r\nDriver=%s\r\nSelect=0\r\n' "$demo" >"$data/iLXLE_PARAM.DAT"

fail() {
    echo "FAIL: $*"
    for log in "$work"/*.log; do
        [ -s "$log" ] && { echo "--- $(basename "$log"):"; tail -n 20 "$log"; }
    done
    exit 1
}

"$prefix/bin/ilumerix" >"$work/program.log" 2>&1 &
program=$!
find_main() { window=$(xdotool search --onlyvisible --name '^i-Lumerix LE \[Demo camera' 2>/dev/null | head -n 1); [ -n "$window" ]; }
until_true 20 find_main || fail "no main window on the demo camera appeared"
echo "main window $window: \"$(xdotool getwindowname "$window")\""

# F1: the help window shows the contents of the installed help file, not the
# one line that says it could not be read (measured: 6 % dark pixels
# against 0.7 %).
xdotool windowfocus --sync "$window" key F1
find_help() { help=$(xdotool search --onlyvisible --name '^i-Lumerix Help' 2>/dev/null | head -n 1); [ -n "$help" ]; }
until_true 10 find_help || fail "F1 showed no help window"
# A loaded machine may take a while to paint it.
dark=0
help_shown() {
    import -window "$help" "$work/help.png" 2>>"$work/import.log" || return 1
    dark=$(convert "$work/help.png" -colorspace gray -threshold 50% -negate -format '%[fx:mean]' info:)
    awk -v d="$dark" 'BEGIN { exit !(d > 0.02) }'
}
until_true 15 help_shown || fail "the help window shows almost nothing (dark share $dark): the help file was not found"
echo "help: contents shown (dark share $dark)"

quit_program "$window" "$program" || fail "$quit_error"
clean_output "$work/program.log" || fail "the program's output reports a fault"

[ "$(ls -A "$prefix/bin")" = ilumerix ] || fail "files were written beside the installed program: $(ls -A "$prefix/bin")"
grep -q '^NormPos=' "$data/iLXLE.INI" || fail "iLXLE.INI in the per-user folder was not written on closing"
[ -d "$pictures" ] || fail "the default pictures folder $pictures was not made"
[ ! -e "$data/Captures" ] || fail "a Captures folder was made in the per-user data folder"
echo "closing: settings in $data, pictures folder $pictures"
echo "PASS"
