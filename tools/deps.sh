#!/usr/bin/env bash
# Installs, from Debian 12's packages, whatever the build, the tests, the
# benchmarks, the package and the Windows cross build (mingw-w64, Wine,
# GoogleTest's sources) need and this machine lacks. Run as root.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config dpkg-dev file
    qt6-base-dev libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev
    fonts-liberation xvfb xauth desktop-file-utils
    clang-format git lintian appstream man-db libglib2.0-bin xdotool
    g++-mingw-w64-x86-64-posix wine64 googletest
    # The Windows program's icon, installer, and window tests and screenshot
    # under Wine (a window manager, the clipboard, a screen grab).
    librsvg2-bin icoutils nsis unzip libxml2-utils openbox xclip imagemagick
)

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
