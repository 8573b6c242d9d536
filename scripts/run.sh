#!/usr/bin/env bash
# Shows the given databases, or the bundled samples when none is given.
set -euo pipefail
build=$1; shift
if [ $# -eq 0 ]; then
  set -- "$build"/samples/*.PDB
fi
for f in "$@"; do
  echo "== $f"
  "$build"/cli/quorvil-cli info "$f"
  echo
done
