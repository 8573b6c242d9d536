#!/usr/bin/env bash
# Starts the editor on the given databases. With none, the editor reopens the
# last database; on a first start (no "LastDB", or its file is gone) it shows
# the bundled sample databases instead.
set -euo pipefail
build=$1; shift
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: run it on a desktop, or under Xvfb with: xvfb-run -a make run" >&2
  exit 1
fi
if [ $# -eq 0 ]; then
  config_home=${XDG_CONFIG_HOME:-}
  [[ "$config_home" == /* ]] || config_home="$HOME/.config"
  last=$(awk -F= '
    /^\[/ { section = toupper($0) }
    section == "[CONFIG]" && toupper($1) == "LASTDB" { sub(/^[^=]*=/, ""); print; exit }
  ' "$config_home/Quorvil.INI" 2>/dev/null || true)
  if [ -z "$last" ] || [ ! -f "$last" ]; then
    set -- "$build"/samples/*.PDB
  fi
fi
exec "$build"/app/quorvil "$@"
