#!/usr/bin/env bash
# Draws the banner picture data/banner.jpg (177 x 54) from text with
# ImageMagick and the Nanum fonts: a navy-to-teal band with the program's
# name, a postal-code sample and the publisher's address.
set -euo pipefail
cd "$(dirname "$0")"
bold=/usr/share/fonts/truetype/nanum/NanumGothicBold.ttf
plain=/usr/share/fonts/truetype/nanum/NanumGothic.ttf
convert -size 177x54 gradient:'#10206a'-'#1f7f86' \
  -fill '#ffffff' -stroke none \
  -fill none -stroke '#9fd8e0' -strokewidth 1 -draw 'rectangle 1,1 175,52' -stroke none \
  -fill '#ffd34d' -draw 'roundrectangle 6,7 44,33 4,4' \
  -fill '#10206a' -font "$bold" -pointsize 11 -annotate +9+24 '〒123' \
  -fill '#ffffff' -font "$bold" -pointsize 17 -annotate +50+26 '우편번호 찾기' \
  -fill '#d8f0f4' -font "$plain" -pointsize 9 -annotate +8+47 'postcode.example.org' \
  -quality 90 -strip -sampling-factor 4:2:0 banner.jpg
identify banner.jpg
