#!/usr/bin/env bash
# The program in a Wayland session: a headless weston compositor, the Wayland
# platform and no X display at all. On the demo camera it scans by itself,
# saves stamped pictures, writes nothing to the console (no warning about what
# Wayland does not allow) and ends cleanly on a logout's SIGTERM, its
# settings saved. Started again as the session starts it, it is out of sight
# (a Wayland window is never told it is minimised, only no longer shown) and
# tells the desktop of its first detection.
#
# wayland_session.sh PROGRAM HELPFILE PICTURE_CHECK NOTIFICATION_SINK
# Exit 0 passed, 1 failed.
set -euo pipefail

usage="usage: wayland_session.sh PROGRAM HELPFILE PICTURE_CHECK NOTIFICATION_SINK"
program=${1:?$usage}
helpfile=${2:?$usage}
check=${3:?$usage}
sink=${4:?$usage}
command -v weston >/dev/null 2>&1 || { echo "FAIL: weston is not installed (scripts/setup installs it)"; exit 1; }

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
# shellcheck source=output_check.sh
source "$(dirname "$0")/output_check.sh"

work=$(mktemp -d)
compositor=
pid=
sinkpid=
cleanup() {
    # Whatever has already ended, the rest is still cleaned up.
    set +e
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    [ -n "$sinkpid" ] && kill -TERM "$sinkpid" 2>/dev/null
    if [ -n "$compositor" ]; then
        kill -TERM "$compositor" 2>/dev/null
        wait "$compositor" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*"
    for log in "$work"/output.txt "$work"/weston.log "$work"/sink.txt; do
        [ -s "$log" ] && { echo "--- $(basename "$log"):"; tail -n 20 "$log"; }
    done
    exit 1
}

prog=$work/prog
mkdir -p "$prog/pictures" "$work/run" "$work/tmp" "$work/home"
chmod 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run TMPDIR=$work/tmp HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
unset DISPLAY
# A compositor with no screen of its own; pixman draws, so a screenshot
# (weston-screenshooter, allowed by --debug) shows what a user would see.
socket=ilx-wayland-$$
weston --no-config --backend=headless-backend.so --use-pixman --socket="$socket" --idle-time=0 --debug \
    --width=1024 --height=768 >"$work/weston.log" 2>&1 </dev/null &
compositor=$!
until_true 10 test -S "$work/run/$socket" || fail "weston did not start"

cp "$program" "$prog/ilumerix"
cp "$helpfile" "$prog/iLXLEEN32.hlp"
printf '[Setup]\r\nStabilite=0\r\n' >"$prog/iLXLE.INI"
printf '[Setup]\r\nDriver=Demo camera (built-in test scene)\r\nSelect=0\r\nAuto=1\r\nDelay=0\r\nPause=0\r\n' \
    >"$prog/iLXLE_PARAM.DAT"
printf '[Setup]\r\nFolder=%s\r\n' "$prog/pictures" >"$prog/iLXLE_IMAGE.DAT"
printf '[Setup]\r\nBeep=0\r\nLog=0\r\n' >"$prog/iLXLE_ALERTE.DAT"

# start_program ARGS...: the program on the compositor.
start_program() {
    WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland "$prog/ilumerix" "$@" \
        >"$work/output.txt" 2>&1 </dev/null &
    pid=$!
}

# stop_program: a logout's SIGTERM; fails unless the program ends with status
# 0, its settings saved and nothing on the console.
stop_program() {
    local before status=0
    before=$(stat -c %Y "$prog/iLXLE.INI")
    sleep 1
    kill -TERM "$pid"
    until_true 15 exited "$pid" || fail "the program did not end on SIGTERM"
    wait "$pid" || status=$?
    pid=
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
    [ "$(stat -c %Y "$prog/iLXLE.INI")" -gt "$before" ] || fail "the settings were not saved at the end"
    clean_output "$work/output.txt" || fail "the program's output reports a fault"
    [ ! -s "$work/output.txt" ] || fail "the program wrote to the console under Wayland"
}

start_program
pictures_in() { find "$prog/pictures" -maxdepth 1 -name '*.jpg' | sort; }
saved() { [ "$(pictures_in | wc -l)" -ge 3 ]; }
until_true 60 saved || fail "$(pictures_in | wc -l) pictures after a minute of scanning"
running "$pid" || fail "the program ended early"
mapfile -t pictures < <(pictures_in)
"$check" "${pictures[@]}" || fail "a saved picture is not right"
stop_program
echo "Wayland: ${#pictures[@]} pictures, a clean close, a silent console"

# ------------------------------------------------- started by the session
printf '[Setup]\r\nBeep=0\r\nLog=0\r\nNotify=1\r\n' >"$prog/iLXLE_ALERTE.DAT"
# As the first run found it, so that the close has the placement to save.
printf '[Setup]\r\nStabilite=0\r\n' >"$prog/iLXLE.INI"
"$sink" 60 >"$work/sink.txt" 2>&1 &
sinkpid=$!
address() { head -n 1 "$work/sink.txt" | grep -q '^unix:'; }
until_true 10 address || fail "no notification service: $(cat "$work/sink.txt")"
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/sink.txt")
start_program --session-start
notified() { grep -q '^notified: Motion detected' "$work/sink.txt"; }
until_true 60 notified || fail "no desktop notification of a detection while out of sight"
running "$pid" || fail "the program ended early"
stop_program
wait "$sinkpid" 2>/dev/null || true
echo "started by the session: out of sight, the desktop told of a detection"
