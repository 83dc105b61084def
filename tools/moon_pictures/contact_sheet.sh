#!/bin/sh
# A contact sheet of a staged data folder: every picture of the catalogue, small, once
# plain and once with its annotated overlay, labelled with its title.
#   contact_sheet.sh DATA_DIR OUTPUT.png     (needs ImageMagick)
set -eu
data=$1
output=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One line per entry: paper|ann|title, in catalogue order (the last entry repeats the first picture).
sed -n 's/.*paper="\([^"]*\)".*ann="\([^"]*\)".*title="\([^"]*\)".*/\1|\2|\3/p' "$data/Quellwicks.xml" | sed '$d' >"$work/list"
n=0
while IFS='|' read -r paper ann title; do
  name=$(printf '%03d' "$n")
  convert -define jpeg:size=224x224 "$data/$paper" -resize 112x112 -set label "$title" "$work/$name-a.png"
  convert -define jpeg:size=224x224 "$data/$paper" -resize 224x224 \( "$data/$ann" -resize 224x224 \) -composite \
    -resize 112x112 -set label " " "$work/$name-b.png"
  n=$((n + 1))
done <"$work/list"
montage "$work"/*.png -tile 16x -geometry 112x112+3+3 -font "${QW_FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf}" -pointsize 9 -fill '#d0d0d0' -background '#101010' \
  -depth 8 "$output"
