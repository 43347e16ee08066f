#!/usr/bin/env bash
# Sets up, builds, assembles the application folder (build/app) and starts QuilloBook.
# A database already in build/app/DB is kept; a demo one is made only when none is there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"
app=${QUILLO_BUILD_DIR:-$root/build}/app
if [ "$(id -u)" = 0 ]; then
    export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:-} --no-sandbox"
fi
exec "$app/QuilloBook"
