#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from quorvil.svg (run after
# changing it; needs rsvg-convert from librsvg2-bin). The PNGs are committed
# so that a build needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" quorvil.svg -o "quorvil_$size.png"
done
