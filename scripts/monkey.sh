#!/usr/bin/env bash
# Runs the monkey test by hand: STEPS random commands from SEED against the
# window under the offscreen platform. With SANITIZE=1 it runs in the
# sanitizer build instead. A failure prints the seed, the step and the last
# commands; QUORVIL_MONKEY_TRACE=1 prints every step.
# usage: scripts/monkey.sh [STEPS] [SEED] [BUILD_DIR]
set -euo pipefail
steps=${1:-20000}
seed=${2:-1}
top=$(cd "$(dirname "$0")/.." && pwd)
if [ "${SANITIZE:-0}" = 1 ]; then
  build=${3:-$top/build-asan}
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVIL_SANITIZE=ON \
    -DQUORVIL_BENCH=OFF >/dev/null
else
  build=${3:-$top/build}
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target monkey_test samples -j "${JOBS:-$(nproc)}"
QT_QPA_PLATFORM=offscreen QUORVIL_SAMPLES="$build/samples" QUORVIL_MONKEY_STEPS="$steps" QUORVIL_MONKEY_SEED="$seed" \
  QTEST_FUNCTION_TIMEOUT=${QTEST_FUNCTION_TIMEOUT:-86400000} \
  ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}" \
  "$build/tests/gui/monkey_test" -maxwarnings 0
