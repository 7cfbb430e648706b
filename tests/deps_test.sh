#!/usr/bin/env bash
# The profiles of tools/deps.sh, listed without installing anything: starting
# the window pulls in none of the checks' heavy tools, the checks' profile
# covers the window's, and a mistyped profile installs nothing.
#
#   deps_test.sh <path to deps.sh>
set -uo pipefail
deps=${1:?path to deps.sh}

source "$(dirname "$0")/checks.sh"

list() { QOR_DEPS_LIST=1 bash "$deps" "$@"; }

declare -A listed=([run]="$(list run)" [test]="$(list test)")

# profile, package, whether the profile holds it
while read -r profile package wanted; do
    if grep -qx -- "$package" <<<"${listed[$profile]}"; then held=yes; else held=no; fi
    [[ $held == "$wanted" ]] || fail "profile $profile holds $package: $held, expected $wanted"
done <<'ROWS'
run  qt6-base-dev               yes
run  fonts-liberation           yes
run  ninja-build                yes
run  wine64                     no
run  g++-mingw-w64-x86-64-posix no
run  googletest                 no
run  libgtest-dev               no
run  libbenchmark-dev           no
run  clang                      no
run  lintian                    no
run  xvfb                       no
test wine64                     yes
test libgtest-dev               yes
ROWS

missing=$(comm -23 <(sort <<<"${listed[run]}") <(sort <<<"${listed[test]}"))
[[ -z $missing ]] || fail "the test profile lacks what running needs: $missing"
[[ $(list) == "${listed[test]}" ]] || fail "the default profile is not test"

out=$(list tset 2>"$work/err")
status=$?
((status == 2)) || fail "unknown profile: exit status $status, expected 2"
[[ -z $out ]] || fail "unknown profile listed packages: $out"
grep -q "unknown profile 'tset'" "$work/err" || fail "unknown profile: message $(cat "$work/err")"

finish deps
