#!/usr/bin/env bash
# Draws the program's icon (every size the desktop asks for) and the About
# box picture with ImageMagick. The PNGs it writes are kept in res/images/,
# so building needs no ImageMagick; run this again after changing a drawing.
set -euo pipefail
cd "$(dirname "$0")/images"

font_bold=DejaVu-Sans-Bold
font=DejaVu-Sans

# The icon, drawn once at 256 px: a blue tile holding a film frame with its
# perforations and an orange arrow that stands for the recompression.
draw_icon() {
    convert -size 256x256 xc:none \
        -fill '#1f4e8c' -draw 'roundrectangle 8,8 247,247 44,44' \
        -fill '#2f6fbf' -draw 'roundrectangle 8,8 247,200 44,44' \
        -fill '#f4f6fa' -draw 'roundrectangle 44,56 212,180 14,14' \
        -fill '#1f4e8c' \
        -draw 'rectangle 56,66 72,80' -draw 'rectangle 92,66 108,80' \
        -draw 'rectangle 128,66 144,80' -draw 'rectangle 164,66 180,80' \
        -draw 'rectangle 56,156 72,170' -draw 'rectangle 92,156 108,170' \
        -draw 'rectangle 128,156 144,170' -draw 'rectangle 164,156 180,170' \
        -fill '#5b8fd6' -draw 'rectangle 56,90 200,146' \
        -fill '#f39c12' -stroke '#c76f00' -strokewidth 4 \
        -draw 'polygon 96,100 96,136 150,118' \
        -stroke none -fill '#f39c12' -draw 'roundrectangle 150,196 236,238 10,10' \
        -fill '#ffffff' -font "$font_bold" -pointsize 30 -gravity NorthWest \
        -annotate +160+199 'AVI' \
        -depth 8 calvex-256.png
}

draw_icon
for size in 16 32 48 64 128; do
    convert calvex-256.png -filter Lanczos -resize ${size}x${size} -depth 8 calvex-${size}.png
done

# The About picture, 367 x 151: a film strip across a blue gradient, the
# program's name and what it does.
convert -size 367x151 gradient:'#2f6fbf-#15335e' \
    -fill '#0d2240' -draw 'rectangle 0,112 366,140' \
    -fill '#f4f6fa' \
    -draw 'rectangle 8,116 22,122' -draw 'rectangle 38,116 52,122' \
    -draw 'rectangle 68,116 82,122' -draw 'rectangle 98,116 112,122' \
    -draw 'rectangle 128,116 142,122' -draw 'rectangle 158,116 172,122' \
    -draw 'rectangle 188,116 202,122' -draw 'rectangle 218,116 232,122' \
    -draw 'rectangle 248,116 262,122' -draw 'rectangle 278,116 292,122' \
    -draw 'rectangle 308,116 322,122' -draw 'rectangle 338,116 352,122' \
    -draw 'rectangle 8,130 22,136' -draw 'rectangle 38,130 52,136' \
    -draw 'rectangle 68,130 82,136' -draw 'rectangle 98,130 112,136' \
    -draw 'rectangle 128,130 142,136' -draw 'rectangle 158,130 172,136' \
    -draw 'rectangle 188,130 202,136' -draw 'rectangle 218,130 232,136' \
    -draw 'rectangle 248,130 262,136' -draw 'rectangle 278,130 292,136' \
    -draw 'rectangle 308,130 322,136' -draw 'rectangle 338,130 352,136' \
    \( calvex-128.png -resize 84x84 \) -geometry +18+16 -composite \
    -fill '#ffffff' -font "$font_bold" -pointsize 40 -annotate +116+58 'Calvex' \
    -fill '#dbe6f5' -font "$font" -pointsize 15 -annotate +118+84 'Any video, recompressed to AVI' \
    -depth 8 \
    about.png
