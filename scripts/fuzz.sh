#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds,
# as many side by side as there are cores (FUZZ_JOBS). Fails when any target
# finds a crash, leak, hang or out-of-memory input; the inputs are kept in
# BUILD_DIR/findings/TARGET/.
# usage: scripts/fuzz.sh [SECONDS] [BUILD_DIR] [TARGET...]
# FUZZ_FLAGS adds libFuzzer flags (for example FUZZ_FLAGS=-malloc_limit_mb=1
# to see a finding reported). QUORVIL_WERROR=ON makes a compiler warning fail
# the build; QUORVIL_UNITY=ON and QUORVIL_DEBUG_INFO=-g1 build faster (the CI
# sets all three).
set -euo pipefail
seconds=${1:-60}
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${2:-$top/build-fuzz}" && cd "${2:-$top/build-fuzz}" && pwd)
shift $(( $# < 2 ? $# : 2 ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
  targets=(fuzz_load fuzz_roundtrip fuzz_ini fuzz_csv_import fuzz_def fuzz_create_json fuzz_merge_map)

CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DQUORVIL_FUZZ=ON -DQUORVIL_TESTS=OFF \
  -DQUORVIL_BENCH=OFF -DQUORVIL_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_UNITY_BUILD="${QUORVIL_UNITY:-OFF}" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 ${QUORVIL_DEBUG_INFO:--g} -DNDEBUG" \
  -DQUORVIL_WERROR="${QUORVIL_WERROR:-OFF}" >/dev/null
cmake --build "$build" --target "${targets[@]}" -j "${FUZZ_BUILD_JOBS:-$(nproc)}"

# One target's run: its verdict goes to $2 ("ok" or "found"), its report to stdout.
run_target() {
  local t=$1 verdict=$2
  # libFuzzer writes crash-*/leak-*/timeout-*/oom-* files into its working
  # directory; a scratch directory per run keeps them apart from the tree.
  local scratch corpus seeds dict status found
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvil-$t.XXXXXX")
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  seeds=("$top/fuzz/corpus/${t#fuzz_}")
  if [ ! -d "${seeds[0]}" ]; then
    # The database targets also start from the kept damaged files.
    seeds=("$top/fuzz/corpus/load" "$top/tests/data/broken")
  fi
  # Tokens of the input's format, when the target has a list of them.
  dict=()
  [ ! -f "$top/fuzz/dict/${t#fuzz_}.dict" ] || dict=(-dict="$top/fuzz/dict/${t#fuzz_}.dict")
  echo "== $t for ${seconds}s"
  status=0
  # The slowest honest inputs are small files that claim tens of thousands of
  # (empty) records: seconds each with the sanitizers on a busy machine. A
  # hang takes longer than the timeout.
  (cd "$scratch" && "$build/fuzz/$t" -max_total_time="$seconds" -max_len=65536 \
     -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=30 -print_final_stats=1 \
     -artifact_prefix="$scratch/" ${dict[@]+"${dict[@]}"} ${FUZZ_FLAGS:-} "$corpus" "${seeds[@]}" >"$scratch/log" 2>&1) || status=$?
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)' "$scratch/log" || true
  found=$(find "$scratch" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' \
          -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
  echo ok >"$verdict"
  if [ "$status" -ne 0 ] || [ -n "$found" ]; then
    mkdir -p "$build/findings/$t"
    [ -z "$found" ] || cp $found "$build/findings/$t/"
    cp "$scratch/log" "$build/findings/$t/$(date +%Y%m%d-%H%M%S).log"
    grep -E '^(==[0-9]+==|SUMMARY|#[0-9]+ *(deadly|crash))|ERROR|Test unit written' "$scratch/log" | head -20 || true
    echo "$t FOUND A PROBLEM (exit status $status); inputs and log in $build/findings/$t/"
    echo found >"$verdict"
  fi
  rm -rf "$scratch"
}

# Each target is one process on one core: FUZZ_JOBS of them (a core each by
# default) run side by side, and their reports are printed whole, in order.
jobs=${FUZZ_JOBS:-$(nproc)}
reports=$(mktemp -d "${TMPDIR:-/tmp}/quorvil-fuzz-reports.XXXXXX")
trap 'rm -rf "$reports"' EXIT
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$t" "$reports/$t.verdict" >"$reports/$t.out" 2>&1 &
done
wait
failed=()
for t in "${targets[@]}"; do
  cat "$reports/$t.out"
  [ "$(cat "$reports/$t.verdict" 2>/dev/null)" = ok ] || failed+=("$t")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing failed: ${failed[*]}"
  exit 1
fi
echo "fuzzing: no findings"
