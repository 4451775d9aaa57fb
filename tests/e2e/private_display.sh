#!/usr/bin/env bash
# private_display.sh COMMAND ARGS...: COMMAND on a virtual X display of its
# own; exits with COMMAND's status, and with the display stopped.
#
# The X server picks a free display itself (-displayfd), so two runs at once
# cannot take the same one, and it is asked for an answer before COMMAND
# starts: a server that did not come up is started again rather than failing
# the test as "no window". ILX_X_SCREEN sets the screen (1024x768x24).
set -uo pipefail

screen=${ILX_X_SCREEN:-1024x768x24}
scratch=$(mktemp -d)
server=

stop_server() {
    if [ -n "$server" ] && kill -0 "$server" 2>/dev/null; then
        kill -TERM "$server" 2>/dev/null
        # Waited for, so that its lock file and socket are gone when we are.
        for _ in $(seq 50); do kill -0 "$server" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$server" 2>/dev/null
        wait "$server" 2>/dev/null
    fi
    server=
}
trap 'stop_server; rm -rf "$scratch"' EXIT
trap 'exit 1' INT TERM HUP

# Starts the server; true with DISPLAY set once it answers.
start_server() {
    : >"$scratch/display"
    # -noreset: by default the server resets when its last client leaves (the
    # check below, a helper's xdotool), refusing connections meanwhile.
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$scratch/display" \
        >"$scratch/server.log" 2>&1 </dev/null &
    server=$!
    local n
    for _ in $(seq 100); do
        n=$(tr -dc '0-9' <"$scratch/display")
        if [ -n "$n" ]; then
            export DISPLAY=:$n
            xdpyinfo >/dev/null 2>&1 && return 0
        fi
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    return 1
}

for attempt in 1 2 3; do
    start_server && break
    echo "private_display: the X server did not answer (attempt $attempt):" >&2
    tail -n 5 "$scratch/server.log" >&2
    stop_server
    [ "$attempt" -lt 3 ] || exit 1
done

"$@"
status=$?
exit "$status"
