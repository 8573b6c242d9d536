#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of its own, with no window,
# no debug chatter and no offer to install Mono or Gecko. The emulator of
# the cross build: ctest and the build's own steps call it, often several
# at once, so the first to come makes the prefix while the others wait.
set -euo pipefail
export WINEPREFIX="${QUORVIL_WINEPREFIX:-${TMPDIR:-/tmp}/quorvil-wine-$(id -u)}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export DISPLAY=
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$wine" wineboot --init >/dev/null 2>&1 || true
      # The prefix is written out when its server ends.
      "$(dirname "$wine")/wineserver" -w 2>/dev/null || wineserver -w 2>/dev/null || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$@"
