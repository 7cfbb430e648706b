#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window. description.ext is
# written into the folder you start it from.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target qorgenerator -j"$(nproc)"
exec "$root/build/src/qorgenerator"
