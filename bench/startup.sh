#!/usr/bin/env bash
# Start-up of the real window against a bare window of the same widgets and a
# minimal one-button window: time from spawn to the first painted frame, and
# peak resident memory, medians of N runs in turns; on Qt's offscreen
# platform, then on xcb under Xvfb where xvfb-run is installed.
#
#   bench/startup.sh [build dir (default build-bench)] [runs (default 21)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-bench}" && pwd)
runs=${2:-21}
harness=$build/bench/startup_harness
driver=$build/bench/startup_driver
[[ -x $harness && -x $driver ]] || {
    echo "build first: cmake -S $root -B $build -G Ninja -DQOR_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release" \
        "&& cmake --build $build --target startup_harness startup_driver"
    exit 1
}
cd "$(mktemp -d)" # the window never writes unless pressed; keep it away from the tree anyway

# A screen with room for the whole window (offscreen defaults to 800x800,
# where it would open scrolled).
QT_QPA_PLATFORM=offscreen:configfile=$root/tests/ui/qt/screens/large.json "$driver" "$harness" "$runs"
if command -v xvfb-run >/dev/null; then
    echo
    xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$driver" "$harness" "$runs"
else
    echo "xcb: skipped, xvfb-run not installed"
fi
