#!/bin/sh
# Draws the programs' images from their SVG sources in common/images/: the
# 16 x 16 tray and window icon, the certificate dialog's header, and the
# Windows icons of the tools. Run by hand after changing a source; the
# results are committed. Needs rsvg-convert (package librsvg2-bin) and the
# Liberation fonts (fonts-liberation2).
set -eu
cd "$(dirname "$0")/.."
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is needed: apt-get install librsvg2-bin" >&2; exit 2; }
images=common/images
rsvg-convert -w 16 -h 16 "$images/tvdmon16x16.svg" -o "$images/tvdmon16x16.png"
rsvg-convert "$images/TVDMFAF.svg" -o "$images/TVDMFAF.png"
icon=$(mktemp --suffix=.png)
trap 'rm -f "$icon"' EXIT
rsvg-convert -w 32 -h 32 "$images/tvdmon16x16.svg" -o "$icon"
for ico in tools/cleanup/tvmccfr.ico tools/quit/tvdmquit.ico; do
    scripts/png_to_ico.py "$icon" "$ico"
done
echo "drawn: $images/tvdmon16x16.png $images/TVDMFAF.png tools/cleanup/tvmccfr.ico tools/quit/tvdmquit.ico"
