#!/usr/bin/env bash
# Draws the banner of the maker's payroll program (334 by 159), which the window
# shows in a build for the maker's site, with ImageMagick. Run once by hand
# after a change; the PNG file it writes is kept in the repository and built
# into the program as a resource. (Without a site the window draws a banner of
# its own: web/OwnBanner.cpp.)
set -euo pipefail
cd "$(dirname "$0")"
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
plain=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

# Banner: a blue band with the program's name and a pay slip, the offer in an
# orange ribbon. The window shows only its top 121 rows; the rest is extra.
convert -size 334x159 gradient:'#0d3f7a'-'#2a7fd0' \
    -fill '#ffffff' -stroke none -draw 'roundrectangle 240,10 320,84 6,6' \
    -fill '#dfe9f5' -draw 'rectangle 240,10 320,25' \
    -fill '#0d3f7a' -font "$bold" -pointsize 10 -draw "text 252,22 'BORDRO'" \
    -fill '#9fb6cf' -draw 'rectangle 248,32 312,34' -draw 'rectangle 248,40 298,42' \
    -draw 'rectangle 248,48 306,50' -draw 'rectangle 248,56 292,58' \
    -fill '#2e8b57' -draw 'rectangle 248,64 312,77' \
    -fill white -font "$bold" -pointsize 9 -draw "text 255,75 '₺ 12.500'" \
    -fill white -font "$bold" -pointsize 28 -draw "text 12,38 'Dermansa'" \
    -fill '#cfe3ff' -font "$bold" -pointsize 14 -draw "text 13,58 'Bordro Programı'" \
    -fill white -font "$plain" -pointsize 11 -draw "text 13,78 'Ücret ve maaş hesaplama'" \
    -fill '#f39a1e' -draw 'rectangle 0,90 334,118' \
    -fill '#0d3f7a' -font "$bold" -pointsize 15 -draw "text 12,110 'Ücretsiz deneyin!'" \
    -fill white -font "$bold" -pointsize 10 -draw "text 206,109 'Hemen indirin »'" \
    -fill white -font "$plain" -pointsize 10 -draw "text 13,138 'SGK bildirgeleri, raporlar ve daha fazlası'" \
    -alpha off -depth 8 -type TrueColor banner.png
