#!/usr/bin/env bash
# Checks a built .deb with lintian as a Debian maintainer would: every tag,
# informational ones included, is shown with its explanation; an error or a
# warning fails.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 PACKAGE.deb" >&2; exit 2; }
echo "lintian $(lintian --print-version): $1"
if lintian --fail-on error,warning --info --display-info "$1"; then
  echo "lintian: no errors or warnings"
else
  echo "lintian found errors or warnings in $1" >&2
  exit 1
fi
