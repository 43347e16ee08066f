#!/usr/bin/env bash
# Runs the send-loop model test with many seeds: scripts/sendloop-soak.sh [SEEDS] [CASES] [FIRST]
# Uses the test built in ${QUILLO_BUILD_DIR:-build}; stops at the first failing seed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLO_BUILD_DIR:-$root/build}
seeds=${1:-20}
cases=${2:-500}
first=${3:-1000}
cmake --build "$build" --target tst_sendloop >/dev/null
for ((s = first; s < first + seeds; ++s)); do
    if ! QT_QPA_PLATFORM=offscreen QUILLO_SENDLOOP_SEED=$s QUILLO_SENDLOOP_CASES=$cases \
        "$build/tests/hardening/tst_sendloop" -silent; then
        echo "seed $s failed"
        exit 1
    fi
    echo "seed $s: $cases cases passed"
done
