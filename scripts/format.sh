#!/usr/bin/env bash
# Formats the C++ files in git with clang-format and the top .clang-format.
# usage: scripts/format.sh           rewrites the files that differ
#        scripts/format.sh --check   only lists them, with the number of lines
#                                    that would change; status 1 when any would
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" != --check ]; then
  clang-format -i "${files[@]}"
  exit 0
fi

# The originals and their formatted copies side by side, formatted in one run.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvil-format.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/a" "$scratch/b"
cp --parents -t "$scratch/a" "${files[@]}"
cp --parents -t "$scratch/b" "${files[@]}"
(cd "$scratch/b" && clang-format -i --style="file:$top/.clang-format" "${files[@]}")
(cd "$scratch" && diff -r -U0 a b || true) | awk -v total="${#files[@]}" '
  /^\+\+\+ / { file = substr($2, 3); next }
  /^(---|diff) / { next }
  /^[-+]/ { lines[file]++ }
  END {
    for (f in lines) { printf "%s: %d lines\n", f, lines[f] | "sort"; n++; sum += lines[f] }
    close("sort")
    if (n) { printf "clang-format would change %d of %d files (%d lines)\n", n, total, sum; exit 1 }
    printf "clang-format: all %d files formatted\n", total
  }'
