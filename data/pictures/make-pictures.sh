#!/bin/sh
# Makes the program's own pictures: the sponsor strip of the main window and the link pictures of
# the options dialog. Drawn with ImageMagick; the Japanese texts in IPA P Gothic, the service's
# name in DejaVu Sans (both licences beside this script).
#   data/pictures/make-pictures.sh        (writes the PNG files next to this script)
set -eu
cd "$(dirname "$0")"
CONVERT=/usr/bin/convert
JAPANESE=/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf
LATIN=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# picture NAME WIDTH HEIGHT TOP-COLOUR BOTTOM-COLOUR TEXT POINTS [FONT]
picture() {
    FONT=${8:-$JAPANESE}
    "$CONVERT" -size "$2x$3" "gradient:$4-$5" \
        -fill none -stroke '#ffffff80' -strokewidth 1 -draw "rectangle 1,1 $(($2 - 2)),$(($3 - 2))" \
        -font "$FONT" -pointsize "$7" -fill white -stroke '#00000060' -strokewidth 1 \
        -gravity center -annotate +0+0 "$6" \
        -strip -define png:exclude-chunks=date,time "$1.png"
}

picture Velta 400 60 '#2b5f9e' '#163459' 'Pictorel ― 写真をケータイの待受に' 21
picture ImageLogo 240 48 '#3c8d5a' '#1f5233' 'Pictorel ホームページ' 20
picture ImagePay 240 48 '#b0702a' '#6e4215' '開発へのご寄付' 20
picture ImageKestrix 120 36 '#8a2b2b' '#521616' 'KestrixNet' 16 "$LATIN"
