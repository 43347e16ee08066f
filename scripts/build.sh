#!/usr/bin/env bash
# Configures and builds into build/ (the application folder is build/app).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLO_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build"
