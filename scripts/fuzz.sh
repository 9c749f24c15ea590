#!/bin/sh
# Builds the libFuzzer targets with clang and runs each one briefly.
# Usage: scripts/fuzz.sh [seconds per target, default 10]
set -eu
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-10}"

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz: clang++ not found, skipping the fuzz targets"
    exit 0
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON >/dev/null
targets="$(tr ';' ' ' < build-fuzz/fuzz_targets.txt)"
if [ -z "$targets" ]; then
    echo "fuzz: no targets"
    exit 0
fi
ninja -C build-fuzz $targets

status=0
for t in $targets; do
    corpus="build-fuzz/corpus/$t"
    mkdir -p "$corpus"
    seeds="tests/fuzz/seeds/${t#fuzz_}"
    [ -d "$seeds" ] || seeds=""
    if build-fuzz/tests/fuzz/"$t" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 \
        -print_final_stats=0 "$corpus" $seeds >"build-fuzz/$t.log" 2>&1; then
        echo "fuzz: $t passed ($SECONDS_EACH s)"
    else
        echo "fuzz: $t FAILED, see build-fuzz/$t.log"
        tail -40 "build-fuzz/$t.log"
        status=1
    fi
done
exit $status
