#!/usr/bin/env bash
# Installs what is missing for building and running (tools/deps.sh run),
# builds, and starts the window. description.ext is
# written into the folder you start it from, or into the FOLDER given:
#
#   tools/run.sh [FOLDER]
#
# Its release build lives in build-run, apart from the test build in build, so
# neither script rebuilds what the other built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh" run
# Only the program: the tests' own dependencies are not installed for it.
cmake -S "$root" -B "$root/build-run" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQOR_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build-run" --target qorgenerator -j"$(nproc)"
exec "$root/build-run/src/qorgenerator" "$@"
