#!/usr/bin/env bash
# Renders the icon's PNG sizes into the hicolor tree beside this script. The
# PNGs are committed, so only a change to a drawing needs this (and
# rsvg-convert, Debian package librsvg2-bin).
#   16, 22, 24, 32 px: the pixel-grid drawings in small/ (22 is the 24-pixel
#                      drawing without its one-pixel margin)
#   48 px and up:      the scalable drawing
set -euo pipefail
cd "$(dirname "$0")"
id=org.zumbrel.Zumbrel
scalable=hicolor/scalable/apps/$id.svg

out() {
  mkdir -p "hicolor/$1x$1/apps"
  echo "hicolor/$1x$1/apps/$id.png"
}

rsvg-convert -w 16 -h 16 small/zumbrel-16.svg -o "$(out 16)"
sed 's/width="24" height="24" viewBox="0 0 24 24"/width="22" height="22" viewBox="1 1 22 22"/' \
  small/zumbrel-24.svg | rsvg-convert -w 22 -h 22 -o "$(out 22)"
rsvg-convert -w 24 -h 24 small/zumbrel-24.svg -o "$(out 24)"
rsvg-convert -w 32 -h 32 small/zumbrel-32.svg -o "$(out 32)"
for size in 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$scalable" -o "$(out "$size")"
done
