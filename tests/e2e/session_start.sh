#!/usr/bin/env bash
# The program started by the desktop session: a portable copy in a folder
# whose path holds a space, its "Start with my session" entry written by the
# program's own code into a private HOME and launched by GLib's desktop entry
# launcher (as a session starts autostart entries), under a window manager.
# With "Start scan after" at 0 minutes it comes up minimised, scans and saves
# pictures of the demo camera's walker, and ends cleanly on a logout's SIGTERM.
#
# session_start.sh PROGRAM HELPFILE ENTRY_TOOL
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb on this machine).
set -euo pipefail

program=${1:?usage: session_start.sh PROGRAM HELPFILE ENTRY_TOOL}
helpfile=${2:?usage: session_start.sh PROGRAM HELPFILE ENTRY_TOOL}
entry_tool=${3:?usage: session_start.sh PROGRAM HELPFILE ENTRY_TOOL}

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"

# --------------------------------------------------------------- outside X
if [ -z "${ILX_E2E_WORK:-}" ]; then
    need_tools xdotool xprop openbox gio
    make_work
    run_inside_x "$work" "$0" "$program" "$helpfile" "$entry_tool"
fi

# ---------------------------------------------------------------- inside X
# shellcheck source=output_check.sh
source "$(dirname "$0")/output_check.sh"
work=$ILX_E2E_WORK
prog="$work/My Programs/i-Lumerix"
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_RUNTIME_DIR=$work/run TMPDIR=$work/tmp
export QT_QPA_PLATFORM=xcb
mkdir -p "$prog" "$prog/pictures" "$HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$program" "$prog/ilumerix"
cp "$helpfile" "$prog/iLXLEEN32.hlp"
demo="Demo camera (built-in test scene)"
printf '[Setup]\r\nStabilite=0\r\n' >"$prog/iLXLE.INI"
printf '[Setup]\r\nDriver=%s\r\nSelect=0\r\nAuto=1\r\nDelay=0\r\nPause=0\r\n' "$demo" \
    >"$prog/iLXLE_PARAM.DAT"
printf '[Setup]\r\nFolder=%s\r\n' "$prog/pictures" >"$prog/iLXLE_IMAGE.DAT"
printf '[Setup]\r\nBeep=0\r\nLog=0\r\n' >"$prog/iLXLE_ALERTE.DAT"

fail() {
    echo "FAIL: $*"
    [ -s "$work/output.txt" ] && { echo "--- output:"; tail -n 20 "$work/output.txt"; }
    exit 1
}

entry=$("$entry_tool" "$prog/ilumerix") || fail "the entry could not be written"
[ "$entry" = "$XDG_CONFIG_HOME/autostart/org.ilumerix.LightEdition.desktop" ] ||
    fail "the entry went to $entry"

openbox >/dev/null 2>&1 &
# The window manager must be managing windows before the program maps its
# own, or there is no one to honour "minimised".
managing() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
until_true 10 managing || fail "the window manager did not start"
# Launched as a session does; the launcher's own launcher keeps the
# program's exit status for the end.
"$entry_tool" --launch "$entry" >"$work/output.txt" 2>&1 &
launched=$!

pid=
find_program() { pid=$(pgrep -f -x "$prog/ilumerix --session-start" | head -n 1); [ -n "$pid" ]; }
until_true 10 find_program || fail "no program started with the session's argument"
window=
find_window() { window=$(xdotool search --name '^i-Lumerix LE' 2>/dev/null | head -n 1); [ -n "$window" ]; }
until_true 15 find_window || fail "no main window"
hidden() { xprop -id "$window" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_HIDDEN; }
until_true 5 hidden || fail "the window is not minimised: $(xprop -id "$window" _NET_WM_STATE)"

pictures() { find "$prog/pictures" -maxdepth 1 -name '*.jpg' | wc -l; }
saved() { [ "$(pictures)" -ge 2 ]; }
until_true 60 saved || fail "$(pictures) pictures after a minute: not scanning"
hidden || fail "the window came up from minimised while scanning"

before=$(stat -c %Y "$prog/iLXLE.INI")
sleep 1
kill -TERM "$pid"
until_true 15 exited "$pid" || fail "the program did not end on SIGTERM"
status=0
wait "$launched" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
[ "$(stat -c %Y "$prog/iLXLE.INI")" -gt "$before" ] || fail "the settings were not saved at the end"
clean_output "$work/output.txt" || fail "the program's output reports a fault"
echo "started by the session: minimised, $(pictures) pictures, ended cleanly"
