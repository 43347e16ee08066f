#!/usr/bin/env bash
# Runs libFuzzer targets for a while each: scripts/fuzz.sh [SECONDS] [TARGET ...]
# Builds them with clang into build-fuzz/. Findings land in build-fuzz/findings/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build=$root/build-fuzz
bash "$root/scripts/deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLO_FUZZ=ON -DQUILLO_SANITIZE=ON -DQUILLO_WERROR=OFF -DQUILLO_BUILD_TESTS=OFF \
    -DQUILLO_BUILD_BENCH=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    mapfile -t targets < <(ls "$root/fuzz/corpus")
fi
mkdir -p "$build/findings"
for t in "${targets[@]}"; do
    if ! cmake --build "$build" --target "fuzz_$t" >"$build/build-$t.log" 2>&1; then
        tail -n 30 "$build/build-$t.log"
        exit 1
    fi
    work=$build/corpus/$t
    mkdir -p "$work"
    dict=()
    [ -f "$root/fuzz/dict/$t.dict" ] && dict=(-dict="$root/fuzz/dict/$t.dict")
    bin=$(find "$build/fuzz" -type f -name "fuzz_$t" -perm -u+x | head -n 1)
    if [ -z "$bin" ]; then
        echo "fuzz_$t was not built" >&2
        exit 1
    fi
    echo "== fuzz_$t for ${seconds}s"
    "$bin" "$work" "$root/fuzz/corpus/$t" "${dict[@]}" -max_total_time="$seconds" \
        -artifact_prefix="$build/findings/$t-" -print_final_stats=1 2>&1 |
        grep -E 'stat::number_of_executed_units|ERROR|SUMMARY|Done' || true
done
