# Sourced by the end-to-end scripts: what a program's output must not hold.
# A sanitizer's report, a crash or a fatal Qt message fails the run even when
# the window did what it should.

# clean_output LOG: true when LOG holds none of them; else prints them.
clean_output() {
    local found
    found=$(grep -E -m 5 \
        'ERROR: (Address|Leak|Thread|Memory)Sanitizer|runtime error:|SUMMARY: [A-Za-z]+Sanitizer|Segmentation fault|core dumped|terminate called|QFATAL|Fatal:|Assertion .* failed' \
        "$1" 2>/dev/null || true)
    [ -z "$found" ] && return 0
    echo "--- $(basename "$1") reports:"
    echo "$found"
    return 1
}
