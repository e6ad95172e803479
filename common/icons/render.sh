#!/usr/bin/env bash
# Renders the application icon and the About box picture from their SVG drawings into the
# PNG files the program carries. Needs rsvg-convert (Debian package librsvg2-bin); run it
# after changing an SVG and commit the PNG files with it.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" scrivlet.svg -o "scrivlet-$size.png"
done
rsvg-convert --width 65 --height 103 calculator.svg -o calculator.png
