#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine (as root), builds, and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"
ctest --test-dir "${QUILLO_BUILD_DIR:-$root/build}" --output-on-failure -j2
