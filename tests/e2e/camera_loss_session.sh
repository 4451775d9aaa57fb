#!/usr/bin/env bash
# The built program on a virtual X display, watching a network camera (the
# tests' HTTP server) with "Reconnect" on, as a user who leaves it alone meets
# it: the camera stops and the loss message comes up; Ctrl+Q on the message
# quits the program at once, and so does a logout's SIGTERM. A camera that
# takes the connection and never answers does not hold up Ctrl+Q either.
#
# camera_loss_session.sh PROGRAM CAMERA_SERVER
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb on this machine).
set -euo pipefail

program=${1:?usage: camera_loss_session.sh PROGRAM CAMERA_SERVER}
server=${2:?usage: camera_loss_session.sh PROGRAM CAMERA_SERVER}

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"

# --------------------------------------------------------------- outside X
if [ -z "${ILX_E2E_WORK:-}" ]; then
    need_tools xdotool
    make_work
    run_inside_x "$work" "$0" "$program" "$server"
fi

# ---------------------------------------------------------------- inside X
work=$ILX_E2E_WORK
prog=$work/prog
mkdir -p "$prog" "$work/run"
chmod 700 "$work/run"
cp "$program" "$prog/ilumerix"
export XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb

fail() {
    echo "FAIL: $*"
    xwininfo -root -tree 2>/dev/null | grep -iE "lumerix|stop" || true
    tail -n 20 "$work/program.log" 2>/dev/null || true
    exit 1
}

camera=
start_camera() {
    "$server" http "${port:-0}" 320 240 10 >"$work/server.txt" 2>&1 &
    camera=$!
    until_true 10 grep -q '^READY ' "$work/server.txt" || fail "the camera server did not start"
    port=$(awk '/^READY / {print $2}' "$work/server.txt")
}
# One run of the program on the camera; `window` is its main window.
program_pid=
start_program() {
    printf '[Setup]\r\nStabilite=0\r\n' >"$prog/iLXLE.INI"
    printf '[Setup]\r\nDriver=Yard\r\nSelect=0\r\nReconnect=1\r\nAuto=1\r\nDelay=0\r\n[Cameras]\r\nCount=1\r\nName1=Yard\r\nAddress1=http://127.0.0.1:%s/video\r\n' \
        "$port" >"$prog/iLXLE_PARAM.DAT"
    printf '[Setup]\r\nBeep=0\r\nLog=1\r\n' >"$prog/iLXLE_ALERTE.DAT"
    "$prog/ilumerix" >"$work/program.log" 2>&1 &
    program_pid=$!
    until_true 20 has_window || fail "no main window"
    window=$(xdotool search --onlyvisible --name '^i-Lumerix LE' | head -n 1)
}
has_window() { xdotool search --onlyvisible --name '^i-Lumerix LE' >/dev/null 2>&1; }
# Scanning, started by the auto-start once the video is on, shows as the
# caption's heartbeat, o or O.
connected() { [[ "$(xdotool getwindowname "$window" 2>/dev/null)" =~ \[Yard\].*[oO]$ ]]; }
loss_message() { xdotool search --onlyvisible --name '^i-Lumerix Light Edition$' 2>/dev/null | head -n 1; }
has_loss_message() { [ -n "$(loss_message)" ]; }
# Ends within `seconds` with status 0, or fails the test saying `what`.
ends_within() {
    local seconds=$1 what=$2 status=0
    until_true "$seconds" exited "$program_pid" || fail "$what: still running after $seconds s"
    wait "$program_pid" || status=$?
    [ "$status" -eq 0 ] || fail "$what: ended with status $status"
}

# 1. The camera stops: the loss message; Ctrl+Q on it quits.
start_camera
start_program
until_true 20 connected || fail "the camera was not connected"
kill "$camera"
until_true 20 has_loss_message || fail "no loss message"
xdotool windowfocus --sync "$(loss_message)" key ctrl+q
ends_within 2 "Ctrl+Q on the loss message"
grep -q '^Camera lost: Yard' "$prog/iLXLE_SOUND.LOG" || fail "the loss is not in the log"

# 2. The same message, and a logout's SIGTERM.
start_camera
start_program
until_true 20 connected || fail "the camera was not connected again"
kill "$camera"
until_true 20 has_loss_message || fail "no loss message the second time"
kill -TERM "$program_pid"
ends_within 2 "SIGTERM under the loss message"

# 3. A camera that takes the connection and never answers (its server
# stopped): the program starts, opens it in vain, and Ctrl+Q quits at once.
start_camera
kill -STOP "$camera"
start_program
sleep 3 # the camera is being opened
xdotool windowfocus --sync "$window" key ctrl+q
ends_within 2 "Ctrl+Q while a hung camera is opened"
kill -CONT "$camera"
kill "$camera"
echo "PASS"
