#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds.
# usage: scripts/fuzz.sh [SECONDS] [BUILD_DIR]
set -euo pipefail
seconds=${1:-60}
build=${2:-build-fuzz}
top=$(cd "$(dirname "$0")/.." && pwd)
CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DQUORVIL_FUZZ=ON -DQUORVIL_TESTS=OFF \
  -DQUORVIL_BENCH=OFF -DQUORVIL_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(cd "$top/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//')
cmake --build "$build" --target $targets
for t in $targets; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  seeds="$top/fuzz/corpus/${t#fuzz_}"
  [ -d "$seeds" ] || seeds="$top/fuzz/corpus/load"
  echo "== $t for ${seconds}s"
  "$build/fuzz/$t" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 "$corpus" "$seeds" 2>&1 | grep -E '^(stat::number_of_executed_units|==|SUMMARY|Done)' || true
  # libFuzzer leaves crash-* files in the working directory on a finding.
  if ls crash-* leak-* timeout-* oom-* >/dev/null 2>&1; then
    echo "$t found a problem"; exit 1
  fi
done
