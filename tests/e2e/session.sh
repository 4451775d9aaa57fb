# Sourced by the end-to-end scripts: running a script again on a private X
# display, in a process group of its own so that whatever way the test ends
# (failure, timeout, Ctrl+C) nothing is left over, and waiting helpers.

e2e_group=

# need_tools TOOL...: skips the test (77) without Xvfb, fails it without
# any other TOOL.
need_tools() {
    if ! command -v Xvfb >/dev/null 2>&1; then
        echo "SKIP: Xvfb is not installed"
        exit 77
    fi
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || {
            echo "FAIL: $tool is not installed (scripts/setup installs it)"
            exit 1
        }
    done
}

# Ends the private display's process group, if it was started.
end_session() {
    if [ -n "$e2e_group" ]; then
        kill -TERM -- "-$e2e_group" 2>/dev/null || true
        sleep 0.3
        kill -KILL -- "-$e2e_group" 2>/dev/null || true
    fi
}

# make_work: a fresh folder in $work for a run outside X, removed with the
# private display however the run ends (parts made read-only too).
make_work() {
    work=$(mktemp -d)
    trap 'end_session; chmod -R u+w "$work" 2>/dev/null || true; rm -rf "$work"' EXIT
    trap 'exit 1' INT TERM HUP
}

# run_inside_x WORK SCRIPT ARGS...: SCRIPT with ARGS on a private display,
# with ILX_E2E_WORK=WORK; exits with its status.
run_inside_x() {
    local work=$1
    shift
    # Not a group leader here (no job control), so setsid starts a new group
    # in place and $! is its id.
    ILX_E2E_WORK=$work setsid bash "$(dirname "${BASH_SOURCE[0]}")/private_display.sh" \
        bash "$@" </dev/null &
    e2e_group=$!
    local status=0
    wait "$e2e_group" || status=$?
    exit "$status"
}

# until_true SECONDS COMMAND...: true once COMMAND succeeds, false after SECONDS.
until_true() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

running() { kill -0 "$1" 2>/dev/null; }
exited() { ! running "$1"; }

# quit_program WINDOW PID: Ctrl+Q on WINDOW, as a user quits; true when the
# program PID (a child of this shell) then ends with status 0, else false
# with how it ended in $quit_error.
quit_error=
quit_program() {
    xdotool windowfocus --sync "$1" key ctrl+q
    if ! until_true 15 exited "$2"; then
        quit_error="the program did not end on Ctrl+Q"
        return 1
    fi
    local status=0
    wait "$2" || status=$?
    quit_error="the program ended with status $status"
    [ "$status" -eq 0 ]
}
