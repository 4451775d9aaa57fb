#!/usr/bin/env bash
# Event clips when the program is stopped in the middle of one, on a virtual
# X display with the demo camera scanning from the start and a long event:
# - killed (-9): no clip that does not play is left; the next start keeps
#   what was recorded as a clip that plays, and leaves nothing half-written;
# - ended by a logout's SIGTERM: the clip is completed before the program ends.
#
# clip_kill_session.sh PROGRAM
# Exit 0 passed, 1 failed, 77 skipped (no Xvfb on this machine).
set -euo pipefail

program=${1:?usage: clip_kill_session.sh PROGRAM}
command -v Xvfb >/dev/null 2>&1 || { echo "SKIP: Xvfb is not installed"; exit 77; }
command -v gst-launch-1.0 >/dev/null 2>&1 || { echo "SKIP: gst-launch-1.0 is not installed"; exit 77; }

# shellcheck source=output_check.sh
source "$(dirname "$0")/output_check.sh"

work=$(mktemp -d)
group=
kill_group() {
    if [ -n "$group" ]; then
        kill -TERM -- "-$group" 2>/dev/null || true
        for _ in $(seq 30); do
            kill -0 -- "-$group" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL -- "-$group" 2>/dev/null || true
        wait "$group" 2>/dev/null || true
        group=
    fi
}
cleanup() {
    kill_group
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

dir=$work/run
mkdir -p "$dir/pictures" "$dir/run" "$dir/tmp"
cp "$program" "$dir/ilumerix"
printf '[Setup]\r\nSelect=0\r\nDriver=Demo camera (built-in test scene)\r\nAuto=%s\r\nDelay=0\r\nPause=0\r\n' 1 \
    >"$dir/iLXLE_PARAM.DAT"
printf '[Setup]\r\nFolder=%s\r\nClip=1\r\nClipBefore=2\r\nClipAfter=60\r\n' "$dir/pictures" \
    >"$dir/iLXLE_IMAGE.DAT"
printf '[Setup]\r\nBeep=0\r\nLog=0\r\n' >"$dir/iLXLE_ALERTE.DAT"

start() {
    TMPDIR=$dir/tmp XDG_RUNTIME_DIR=$dir/run QT_QPA_PLATFORM=xcb \
        setsid bash "$(dirname "$0")/private_display.sh" "$dir/ilumerix" >>"$dir/output.txt" 2>&1 &
    group=$!
}
plays() {
    gst-launch-1.0 -q filesrc location="$1" ! qtdemux ! h264parse ! avdec_h264 ! fakesink \
        >/dev/null 2>&1
}
clips() { find "$dir/pictures" -maxdepth 1 -type f -name '*.mp4' | sort; }
parts() { find "$dir/pictures" -maxdepth 1 -type f -name '.*.mp4.part' | sort; }
# Waits until a clip has been written for a few seconds.
wait_for_clip() {
    for _ in $(seq 300); do
        [ -n "$(parts)" ] && break
        kill -0 "$group" 2>/dev/null || { echo "FAIL: the program ended early"; cat "$dir/output.txt"; exit 1; }
        sleep 0.1
    done
    [ -n "$(parts)" ] || { echo "FAIL: no clip was started in 30 s"; cat "$dir/output.txt"; exit 1; }
    sleep 3.5
}

# ------------------------------------------------------------------ kill -9
start
wait_for_clip
pkill -KILL -f -x "$dir/ilumerix"
kill_group
while read -r clip; do
    [ -z "$clip" ] && continue
    plays "$clip" || { echo "FAIL: the kill left a clip that does not play: $clip"; exit 1; }
done < <(clips)
[ -n "$(parts)" ] || { echo "FAIL: the interrupted clip left nothing to recover"; exit 1; }
echo "killed: $(clips | wc -l) clip(s), $(parts | wc -l) interrupted"

# The next start keeps what was recorded, under the clip's name.
printf '[Setup]\r\nSelect=0\r\nDriver=Demo camera (built-in test scene)\r\nAuto=0\r\nPause=0\r\n' \
    >"$dir/iLXLE_PARAM.DAT"
start
for _ in $(seq 100); do
    [ -z "$(parts)" ] && break
    sleep 0.1
done
pkill -TERM -f -x "$dir/ilumerix" || true
for _ in $(seq 150); do kill -0 "$group" 2>/dev/null || break; sleep 0.1; done
kill_group
[ -z "$(parts)" ] || { echo "FAIL: the next start left the interrupted clip as it was"; exit 1; }
[ "$(clips | wc -l)" -eq 1 ] || { echo "FAIL: $(clips | wc -l) clips after the next start"; exit 1; }
plays "$(clips)" || { echo "FAIL: the recovered clip does not play"; exit 1; }
echo "next start: $(basename "$(clips)") plays"

# ------------------------------------------------------------ SIGTERM
rm -f "$dir"/pictures/*
printf '[Setup]\r\nSelect=0\r\nDriver=Demo camera (built-in test scene)\r\nAuto=1\r\nDelay=0\r\nPause=0\r\n' \
    >"$dir/iLXLE_PARAM.DAT"
: >"$dir/output.txt"
start
wait_for_clip
pkill -TERM -f -x "$dir/ilumerix"
status=0
for _ in $(seq 150); do kill -0 "$group" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$group" 2>/dev/null; then
    kill_group
    echo "FAIL: the program did not end on SIGTERM"
    exit 1
fi
wait "$group" || status=$?
group=
[ "$status" -eq 0 ] || { echo "FAIL: the program ended with status $status"; tail -n 20 "$dir/output.txt"; exit 1; }
clean_output "$dir/output.txt" || { echo "FAIL: the program's output reports a fault"; exit 1; }
[ -z "$(parts)" ] || { echo "FAIL: SIGTERM left the clip half-written"; exit 1; }
[ "$(clips | wc -l)" -eq 1 ] || { echo "FAIL: $(clips | wc -l) clips after SIGTERM"; exit 1; }
plays "$(clips)" || { echo "FAIL: the clip completed at SIGTERM does not play"; exit 1; }
echo "SIGTERM: $(basename "$(clips)") completed and plays"
