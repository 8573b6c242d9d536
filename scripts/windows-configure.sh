#!/usr/bin/env bash
# Configures a Windows build folder (MinGW-w64): with the editor against the
# cached Qt for Windows (scripts/windows-qt.sh), or without it.
#   scripts/windows-configure.sh FOLDER build|prefix [CMAKE OPTIONS...]
# `build` builds that Qt when the cache lacks it (about 40 minutes, once per
# machine); `prefix` takes it only when present and else leaves the editor
# out with one line that says so.
set -euo pipefail
folder=$1 mode=$2
shift 2
if qt=$("$(dirname "$0")/windows-qt.sh" "$mode"); then
  editor=(-DQUORVIL_GUI=ON -DCMAKE_PREFIX_PATH="$qt")
else
  [ "$mode" = prefix ] || exit 1
  echo "windows: no Qt for Windows in the cache (scripts/windows-qt.sh builds it): the editor and its window tests are left out"
  editor=(-DQUORVIL_GUI=OFF -UCMAKE_PREFIX_PATH)
fi
cmake -S . -B "$folder" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DQUORVIL_BENCH=OFF "${editor[@]}" "$@" >/dev/null
