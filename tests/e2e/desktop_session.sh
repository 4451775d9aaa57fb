#!/usr/bin/env bash
# The built program as a user meets it, on a virtual X display: it starts on
# the demo camera without asking for a driver, shows live video, scans, turns
# a second copy away, and on closing saves its settings and both capture
# formats and removes the temporary frame.
#
# desktop_session.sh PROGRAM HELPFILE
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb on this machine).
set -euo pipefail

program=${1:?usage: desktop_session.sh PROGRAM HELPFILE}
helpfile=${2:?usage: desktop_session.sh PROGRAM HELPFILE}

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"

# --------------------------------------------------------------- outside X
if [ -z "${ILX_E2E_WORK:-}" ]; then
    need_tools xdotool import compare
    make_work
    run_inside_x "$work" "$0" "$program" "$helpfile"
fi

# ---------------------------------------------------------------- inside X
# shellcheck source=output_check.sh
source "$(dirname "$0")/output_check.sh"
work=$ILX_E2E_WORK
prog=$work/prog
mkdir -p "$prog" "$work/tmp" "$work/run"
chmod 700 "$work/run"
cp "$program" "$prog/ilumerix"
cp "$helpfile" "$prog/iLXLEEN32.hlp"

# A copy beside its executable keeps its data there; the live frame and the
# single-instance guard go to the runtime folder, the frame in a folder of
# its own closed to other users.
export TMPDIR=$work/tmp XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb
tempframe=$XDG_RUNTIME_DIR/ilumerix/~ILXTMP.BMP

demo="Demo camera (built-in test scene)"
caption="i-Lumerix LE [$demo] -"
# No stability wait, no pause while scanning, no sound, no log.
printf '[Setup]\r\nStabilite=0\r\n' >"$prog/iLXLE.INI"
printf '[Setup]\r\nDriver=%s\r\nSelect=0\r\nPause=0\r\n' "$demo" >"$prog/iLXLE_PARAM.DAT"
printf '[Setup]\r\nBeep=0\r\nLog=0\r\n' >"$prog/iLXLE_ALERTE.DAT"

fail() {
    echo "FAIL: $*"
    echo "--- windows:"
    xwininfo -root -tree 2>/dev/null | grep -i lumerix || true
    for log in "$work"/*.log; do
        [ -s "$log" ] && { echo "--- $(basename "$log"):"; tail -n 20 "$log"; }
    done
    exit 1
}


# Visible main windows (the second copy's box is titled without "LE").
main_windows() { xdotool search --onlyvisible --name '^i-Lumerix LE' 2>/dev/null || true; }
title_of() { xdotool getwindowname "$1" 2>/dev/null || true; }
has_caption() { [ "$(title_of "$window")" = "$caption" ]; }


# Frame width and height stored in a capture-format file (a bitmap header).
format_of() { od -An -t d4 -j 4 -N 8 "$1" | awk '{ print $1 "x" $2 }'; }

# The centre of the main window, well inside the video view.
shoot() {
    import -window "$window" -gravity center -crop 160x100+0+0 +repage "$1" 2>>"$work/import.log"
}

# ------------------------------------------------------------ first copy
"$prog/ilumerix" >"$work/first.log" 2>&1 &
first=$!

find_main() { window=$(main_windows | head -n 1); [ -n "$window" ]; }
until_true 20 find_main || fail "no main window appeared"
until_true 20 has_caption ||
    fail "caption is \"$(title_of "$window")\", expected \"$caption\""
echo "main window $window: \"$caption\""

# The crop shows a picture, not the bare video panel.
pictured() {
    local spread
    spread=$(convert "$1" -colorspace gray -format '%[fx:standard_deviation]' info: 2>/dev/null)
    awk -v s="${spread:-0}" 'BEGIN { exit !(s > 0.02) }'
}
picture_shown() { shoot "$work/shot1.png" && pictured "$work/shot1.png"; }

# Live video: the demo camera's sensor noise changes every frame, a frozen
# picture does not.
until_true 10 picture_shown || fail "the video view shows no picture"
sleep 0.5
shoot "$work/shot2.png"
pictured "$work/shot2.png" || fail "the video view lost its picture"
changed=$(compare -metric AE "$work/shot1.png" "$work/shot2.png" null: 2>&1 || true)
[[ "$changed" =~ ^[0-9]+$ ]] || fail "screenshots could not be compared: $changed"
[ "$changed" -gt 0 ] || fail "the video view did not change in 0.5 s"
echo "video: $changed of 16000 pixels changed in 0.5 s"

# Scanning (F5): each grabbed frame goes through the temporary frame file.
xdotool windowfocus --sync "$window" key F5
frame_written() { [ -s "$tempframe" ]; }
until_true 10 frame_written || fail "scanning wrote no temporary frame"
[ "$(stat -c %a "$tempframe")" = 600 ] || fail "the frame file is open to others: $(stat -c %a "$tempframe")"
[ "$(stat -c %a "$(dirname "$tempframe")")" = 700 ] || fail "the frame folder is open to others"
[ -z "$(find "$TMPDIR" -name '~ILXTMP.BMP' 2>/dev/null)" ] || fail "a frame was written to the temp folder"
sum1=$(md5sum <"$tempframe")
frame_renewed() { [ "$(md5sum <"$tempframe" 2>/dev/null)" != "$sum1" ]; }
until_true 10 frame_renewed || fail "the temporary frame was not renewed while scanning"
heartbeat=$(title_of "$window")
[[ "$heartbeat" == "i-Lumerix LE [$demo] "[oO] ]] ||
    fail "scanning caption is \"$heartbeat\", expected the heartbeat o or O"
echo "scanning: temporary frame renewed, caption \"$heartbeat\""

# ----------------------------------------------------------- second copy
"$prog/ilumerix" >"$work/second.log" 2>&1 &
second=$!
find_box() { box=$(xdotool search --onlyvisible --name '^i-Lumerix$' 2>/dev/null | head -n 1); [ -n "$box" ]; }
until_true 10 find_box || fail "the second copy showed no message"
running "$second" || fail "the second copy ended before its message was answered"
xdotool windowfocus --sync "$box" key Return
until_true 10 exited "$second" || fail "the second copy did not end after its message"
status=0
wait "$second" || status=$?
[ "$status" -eq 0 ] || fail "the second copy ended with status $status"
running "$first" || fail "the first copy ended too"
count=$(main_windows | wc -l)
[ "$count" -eq 1 ] || fail "$count main windows after the second copy, expected 1"
echo "second copy: turned away, one main window left"

# ---------------------------------------------------------------- closing
quit_program "$window" "$first" || fail "$quit_error"
for log in first second; do
    clean_output "$work/$log.log" || fail "the $log copy's output reports a fault"
done

grep -q '^NormPos=' "$prog/iLXLE.INI" || fail "iLXLE.INI was not written on closing"
[ -s "$prog/iLXLE_DEF.VID" ] || fail "iLXLE_DEF.VID is missing"
[ -s "$prog/iLXLE_USER.VID" ] || fail "iLXLE_USER.VID is missing"
# The demo camera's own format is kept for it; the user's is the one cut to
# the program's maximum.
[ "$(format_of "$prog/iLXLE_DEF.VID")" = 640x480 ] ||
    fail "iLXLE_DEF.VID holds $(format_of "$prog/iLXLE_DEF.VID"), expected 640x480"
[ "$(format_of "$prog/iLXLE_USER.VID")" = 352x288 ] ||
    fail "iLXLE_USER.VID holds $(format_of "$prog/iLXLE_USER.VID"), expected 352x288"
[ ! -e "$tempframe" ] || fail "the temporary frame was left behind"
echo "closing: settings and both formats written, temporary frame removed"
echo "PASS"
