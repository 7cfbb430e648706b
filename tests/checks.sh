# What the shell tests share: a temporary folder that goes at exit, failures
# counted rather than fatal, and a skip (status 77) for a missing tool.
# Sourced; sets $work.

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
need() {
    command -v "$1" >/dev/null || { echo "SKIP: $1 not installed"; exit 77; }
}
# Ends the test: status 1 if any check failed.
finish() {
    if ((failures)); then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all $1 checks passed"
}
