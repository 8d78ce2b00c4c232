#!/usr/bin/env bash
# Installs what a fresh machine lacks (Debian packages only). With --bench, also what the
# benchmarks need.
set -euo pipefail
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
[ -f /usr/lib/x86_64-linux-gnu/libgtest.a ] || need+=(libgtest-dev)
[ -f /usr/include/mpfr.h ] || need+=(libmpfr-dev)
command -v python3 >/dev/null || need+=(python3)
if [ "${1:-}" = "--bench" ]; then
    [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
    [ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
    [ -f /usr/include/rapidjson/rapidjson.h ] || need+=(rapidjson-dev)
fi
if [ ${#need[@]} -gt 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"
fi
