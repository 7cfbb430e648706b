#!/usr/bin/env bash
# Installs, from Debian 12's packages, what one use of the tree needs and this
# machine lacks. Run as root.
#
#   tools/deps.sh run    building and starting the window (tools/run.sh)
#   tools/deps.sh [test] everything tools/test.sh runs: the tests, the
#                        benchmarks, the package, the fuzz targets and the
#                        Windows cross build under Wine
#
# With QOR_DEPS_LIST=1 it prints the profile's packages, one a line, whether
# installed or not, and installs nothing.
set -euo pipefail

# The compiler, the build tools, Qt and the Arial-metric font the captions
# were laid out for.
run=(build-essential cmake ninja-build qt6-base-dev fonts-liberation)

# What only the checks need: GoogleTest and Google Benchmark, clang for the
# fuzz targets, a display and the desktop tools for the start tests, the
# package's validators, the formatter, and mingw-w64, Wine and GoogleTest's
# sources for the Windows cross build.
testOnly=(
    pkg-config dpkg-dev file
    libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev
    xvfb xauth desktop-file-utils libglib2.0-bin xdotool
    # The accessibility bus, for the test that hears the window's events as a
    # screen reader does.
    dbus-daemon at-spi2-core
    clang-format git lintian appstream man-db
    g++-mingw-w64-x86-64-posix wine64 googletest
    # The Windows program's icon, installer, and window tests and screenshot
    # under Wine (a window manager, the clipboard, a screen grab).
    librsvg2-bin icoutils nsis unzip libxml2-utils openbox xclip imagemagick
)

case ${1:-test} in
run) packages=("${run[@]}") ;;
test) packages=("${run[@]}" "${testOnly[@]}") ;;
*)
    echo "deps.sh: unknown profile '$1'; use run or test" >&2
    exit 2
    ;;
esac

if [[ ${QOR_DEPS_LIST:-} == 1 ]]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
