#!/usr/bin/env bash
# A bounded libFuzzer run of both targets under AddressSanitizer and UBSan (about a minute
# each). The seed corpus is copied so the run never writes into the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-50}
command -v clang++ >/dev/null || { apt-get update -qq; DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang libclang-rt-dev; }
CXX=clang++ cmake -S . -B build-fuzz -DVANTREL_FUZZ=ON -DVANTREL_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2 --target parse_input_fuzz step_fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in parse_input:input step:step; do
    name=${target%%:*}
    corpus=${target##*:}
    cp -r "fuzz/corpus/$corpus" "$work/$corpus"
    set +e
    ./build-fuzz/fuzz/${name}_fuzz -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -artifact_prefix="$work/" -print_final_stats=1 "$work/$corpus" >"$work/$name.log" 2>&1
    code=$?
    set -e
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$work/$name.log" | sed "s/^/$name: /"
    if [ $code -ne 0 ]; then
        tail -40 "$work/$name.log" >&2
        echo "fuzz: $name failed (exit $code)" >&2
        exit 1
    fi
done
echo "fuzz smoke: no crash in ${seconds}s per target"
