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
# A prefix of an older script lacks the display setting: the mark says it is done.
ready="$WINEPREFIX/.quorvil-prefix-1"
if [ ! -f "$ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$ready" ]; then
      "$wine" wineboot --init >/dev/null 2>&1 || true
      # Windows without a display: Qt makes hidden windows of its own (its
      # event loop's, the clipboard's), which need Wine's null display
      # driver rather than none at all.
      "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
      # The prefix is written out when its server ends.
      "$(dirname "$wine")/wineserver" -w 2>/dev/null || wineserver -w 2>/dev/null || true
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

# A run that ends before the program started (Wine's loader, its server or
# the prefix failed: no output of the program, nothing but Wine's own lines)
# is reported as such, with status 125, apart from a result of the program.
# Both streams pass through byte for byte, each after the program ends.
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
"$wine" "$@" <&0 >"$out" 2>"$err" &
pid=$!
stopped=
trap 'stopped=1; kill "$pid" 2>/dev/null' TERM INT HUP  # a run stopped stops the program
status=0
wait "$pid" || status=$?
cat "$out"
cat "$err" >&2
if [ "$status" -ne 0 ] && [ -z "$stopped" ] && [ ! -s "$out" ] && ! grep -q -v -E '^(wine: |wine client error|wineserver: )' "$err" &&
  ! grep -q -E '^wine: (Unhandled|Assertion)' "$err"; then
  echo "wine-run.sh: Wine could not start ${1:-a program} (status $status): a failed start, not a result of the program." >&2
  exit 125
fi
exit "$status"
