#!/usr/bin/env bash
# Detection as a user meets it: the built program on a virtual X display,
# the demo camera, scanning started by itself after 0 minutes. Within a
# minute the pictures folder holds stamped JPEGs under picture names; with
# the scan frame on and placed above the walker's path, the same run saves
# nothing.
#
# demo_detection.sh PROGRAM PICTURE_CHECK
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb on this machine).
set -euo pipefail

program=${1:?usage: demo_detection.sh PROGRAM PICTURE_CHECK}
check=${2:?usage: demo_detection.sh PROGRAM PICTURE_CHECK}
command -v Xvfb >/dev/null 2>&1 || { echo "SKIP: Xvfb is not installed"; exit 77; }

# shellcheck source=output_check.sh
source "$(dirname "$0")/output_check.sh"

work=$(mktemp -d)
group=
# Kills whatever is left of a run (on failure or interruption).
kill_group() {
    if [ -n "$group" ]; then
        kill -TERM -- "-$group" 2>/dev/null || true
        for _ in $(seq 30); do
            kill -0 -- "-$group" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL -- "-$group" 2>/dev/null || true
        group=
    fi
}
# stop_program DIR: ends the program as a logout does (SIGTERM to it alone),
# then fails the test unless it closed with status 0 and a clean output.
stop_program() {
    local dir=$1 status=0
    pkill -TERM -f -x "$dir/ilumerix" 2>/dev/null || true
    # The display ends with the program and answers its exit status.
    for _ in $(seq 150); do
        kill -0 "$group" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$group" 2>/dev/null; then
        kill_group
        echo "FAIL: the program did not end on SIGTERM"
        exit 1
    fi
    wait "$group" || status=$?
    group=
    if [ "$status" -ne 0 ]; then
        echo "FAIL: the program ended with status $status"
        tail -n 20 "$dir/output.txt"
        exit 1
    fi
    clean_output "$dir/output.txt" || { echo "FAIL: the program's output reports a fault"; exit 1; }
}
cleanup() {
    kill_group
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# frame_on frame_settings: one run's data folder, its own single-copy lock.
prepare() {
    local dir=$1 frame=$2
    rm -rf "$dir"
    mkdir -p "$dir/pictures" "$dir/run" "$dir/tmp"
    cp "$program" "$dir/ilumerix"
    printf '[Setup]\r\nSelect=0\r\nDriver=Demo camera (built-in test scene)\r\nAuto=1\r\nDelay=0\r\nPause=0\r\n%s' \
        "$frame" >"$dir/iLXLE_PARAM.DAT"
    printf '[Setup]\r\nFolder=%s\r\n' "$dir/pictures" >"$dir/iLXLE_IMAGE.DAT"
    # No sound: the run is about pictures.
    printf '[Setup]\r\nBeep=0\r\nLog=0\r\n' >"$dir/iLXLE_ALERTE.DAT"
}

start() {
    local dir=$1
    # Not a group leader here (no job control), so setsid keeps this pid
    # and makes it the leader of a new group holding X and the program.
    TMPDIR=$dir/tmp XDG_RUNTIME_DIR=$dir/run QT_QPA_PLATFORM=xcb \
        setsid bash "$(dirname "$0")/private_display.sh" "$dir/ilumerix" >"$dir/output.txt" 2>&1 &
    group=$!
}

pictures_in() {
    find "$1/pictures" -maxdepth 1 -type f | sort
}

# ------------------------------------------------------------ whole picture
whole=$work/whole
prepare "$whole" ""
start "$whole"
# The walker crosses once every six seconds; three pictures is at least one
# crossing seen from start to save.
found=0
for _ in $(seq 600); do
    found=$(pictures_in "$whole" | wc -l)
    [ "$found" -ge 3 ] && break
    kill -0 "$group" 2>/dev/null || { echo "FAIL: the program ended early"; cat "$whole/output.txt"; exit 1; }
    sleep 0.1
done
stop_program "$whole"
if [ "$found" -lt 3 ]; then
    echo "FAIL: $found pictures after a minute of scanning"
    cat "$whole/output.txt"
    exit 1
fi
mapfile -t saved < <(pictures_in "$whole")
"$check" "${saved[@]}" || { echo "FAIL: a saved picture is not right"; exit 1; }
echo "whole picture: ${#saved[@]} pictures"

# ------------------------------------------- scan frame above the walker
# The walker stays in the lower two thirds; a frame over the top band of
# the room never sees it, through the same number of crossings.
framed=$work/framed
prepare "$framed" $'FrameOn=1\r\nFramePX=5\r\nFramePY=2\r\nFramePW=90\r\nFramePH=28\r\n'
start "$framed"
sleep 20
kill -0 "$group" 2>/dev/null || { echo "FAIL: the framed run ended early"; cat "$framed/output.txt"; exit 1; }
stop_program "$framed"
count=$(pictures_in "$framed" | wc -l)
if [ "$count" -ne 0 ]; then
    echo "FAIL: the scan frame above the walker saved $count pictures"
    exit 1
fi
echo "scan frame above the walker: no picture in 20 s"
