#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine (as root), builds, and runs every test: first in the normal
# build (build/), then again in a build with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan/). Prints the time each part took. QUILLO_SKIP_ASAN=1 runs the normal part only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLO_BUILD_DIR:-$root/build}
asan=${QUILLO_ASAN_BUILD_DIR:-$root/build-asan}
jobs=${QUILLO_JOBS:-2}
export CMAKE_BUILD_PARALLEL_LEVEL=$jobs

declare -a timings=()
timed() {
    local label=$1
    shift
    local t0=$SECONDS
    "$@"
    timings+=("$label: $((SECONDS - t0)) s")
    echo "== $label took $((SECONDS - t0)) s"
}
report() {
    echo "== times"
    printf '   %s\n' "${timings[@]}"
}
trap report EXIT

bash "$root/scripts/deps.sh"
timed "normal build" env QUILLO_BUILD_DIR="$build" bash "$root/scripts/build.sh"
timed "normal tests" ctest --test-dir "$build" --output-on-failure -j"$jobs"

[ "${QUILLO_SKIP_ASAN:-0}" = 1 ] && exit 0

# Every sanitizer report ends the process with an error, so a finding fails its test.
# LeakSanitizer is off: Qt, fontconfig and the offscreen platform keep caches and plugin
# objects alive until exit on purpose, and the leaks it reports there are not ours. Our own
# ownership is checked by ASan's use-after-free and double-free detection instead.
# A finding exits with an error code rather than SIGABRT, which QtTest's crash handler would turn
# into stack dumps until the test's time-out. The tests of the SMS library, which load
# QtWebEngine, turn new_delete_type_mismatch off for themselves (tests/CMakeLists.txt).
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
asan_build() {
    cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_SANITIZE=ON \
        -DQUILLO_BUILD_BENCH=OFF >/dev/null
    cmake --build "$asan" -j"$jobs"
}
timed "sanitizer build" asan_build
timed "sanitizer tests" ctest --test-dir "$asan" --output-on-failure -j"$jobs" --timeout 900
