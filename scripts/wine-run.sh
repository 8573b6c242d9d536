#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of its own, with no window,
# no debug chatter and no offer to install Mono or Gecko. The emulator of
# the cross build: ctest and the build's own steps call it.
set -euo pipefail
export WINEPREFIX="${QUORVIL_WINEPREFIX:-${TMPDIR:-/tmp}/quorvil-wine-$(id -u)}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export DISPLAY=
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
exec "$wine" "$@"
