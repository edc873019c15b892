#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for SECONDS (default 60) from its seed corpus.
# Longer runs: bash scripts/fuzz.sh 600. New inputs go to a scratch corpus, not the seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in setup_file saved_report item_reader text_value samples_reader points_reader \
    cli_numbers; do
    mkdir -p "$scratch/$target"
    echo "fuzzing $target for ${seconds}s"
    set +e
    build/fuzz/bin/${target}_fuzz -max_total_time="$seconds" -max_len=65536 \
        -print_final_stats=1 "$scratch/$target" "tests/fuzz/seeds/$target" \
        >"$scratch/$target.log" 2>&1
    status=$?
    set -e
    grep -E 'stat::number_of_executed_units' "$scratch/$target.log" || true
    if [[ $status -ne 0 ]]; then
        tail -n 40 "$scratch/$target.log" >&2
        echo "fuzzer $target found a failing input" >&2
        exit 1
    fi
done
