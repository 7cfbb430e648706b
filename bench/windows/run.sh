#!/usr/bin/env bash
# The Win32 program's figures: the size of the stripped qorgenerator.exe, and
# its start-up to the first painted frame under Wine against a bare window of
# the same controls and the one-button window, all started in turns by one
# harness with the wineserver already running, on an X display with a window
# manager. Timing starts only once the
# display answers, the window manager has taken over the screen and the
# prefix has started each program a few times: a fresh prefix's first starts
# and a window manager still starting up say nothing about the program.
#
#   bench/windows/run.sh [build-win folder (default build-win)] [runs (default 21)]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-$root/build-win}")
runs=${2:-21}
program=$build/src/qorgenerator.exe
baseline=$build/bench/windows/onebutton.exe
bare=$build/bench/windows/bare.exe
harness=$build/bench/windows/startup_bench.exe
for file in "$program" "$baseline" "$bare" "$harness"; do
    [[ -f $file ]] || { echo "build first: cmake --build $build --target qorgenerator onebutton bare startup_bench"; exit 1; }
done

source "$root/tests/checks.sh"
source "$root/tests/windows/session.sh"
wine_session
# The window manager announces itself on the root window once it runs.
for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || { echo "no window manager"; exit 1; }

for exe in "$program" "$bare" "$baseline"; do
    x86_64-w64-mingw32-strip -o "$work/stripped.exe" "$exe"
    printf '%-16s %8d bytes stripped (%d as built)\n' "$(basename "$exe")" \
        "$(stat -c %s "$work/stripped.exe")" "$(stat -c %s "$exe")"
done
echo
# Started in an empty folder of their own: neither writes unless pressed.
mkdir "$work/cwd"
cd "$work/cwd" || exit 1
# Wine's own start-up (its services, the registry on disk) finishes first.
wine64 cmd /c exit >>"$work/wine.log" 2>&1
wine64 "$harness" "$runs" "$(windows_path "$baseline")" "$(windows_path "$bare")" "$(windows_path "$program")" 2>>"$work/wine.log" | tr -d '\r'
