#!/usr/bin/env bash
# Renders the program's icon, meslekana.svg, as the PNG files of the hicolor
# theme and of the window icon (16 to 256 pixels). Run once by hand after a
# change of the drawing (needs librsvg2-bin); the PNG files are kept in the
# repository, installed as they are and built into the program as resources.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --format png meslekana.svg -o "$size.png"
done
