#!/usr/bin/env bash
# Draws the help button's picture (50 by 50) with ImageMagick. Run once by hand
# after a change; the PNG file it writes is kept in the repository and built
# into the program as a resource. (The maker's banner: src/web/draw-banner.sh.)
set -euo pipefail
cd "$(dirname "$0")"
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# Help: a white question mark on a blue disc, on an opaque light face.
convert -size 50x50 xc:'#f4f7fb' \
    -fill '#1f5fa8' -stroke '#0b3a73' -strokewidth 2 -draw 'circle 25,25 25,3' \
    -fill '#4f8fd6' -stroke none -draw 'ellipse 25,17 15,8 180,360' \
    -fill white -stroke none -font "$bold" -pointsize 32 -gravity center \
    -annotate +0+1 '?' \
    -alpha off -depth 8 -type TrueColor help.png
