#!/usr/bin/env bash
# Makes the front-end's artwork (frontend/artwork/*.png) again from freely
# licensed pictures that Debian ships; frontend/artwork/SOURCES.md names each
# source and its licence. The PNGs are committed, so a build never runs this.
#
# Needs: imagemagick, fonts-dejavu-core, adwaita-icon-theme, mate-backgrounds
# (apt-get install imagemagick fonts-dejavu-core adwaita-icon-theme mate-backgrounds)
set -euo pipefail
cd "$(dirname "$0")/.."

readonly OUT=frontend/artwork
readonly ICONS=/usr/share/icons/Adwaita
readonly PHOTO=/usr/share/backgrounds/mate/nature/Dune.jpg
readonly FONT_BOLD=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

for needed in "$ICONS/48x48/legacy/help-browser.png" "$PHOTO" "$FONT_BOLD"; do
  if [[ ! -f "$needed" ]]; then
    echo "Missing $needed: install the packages named at the top of $0" >&2
    exit 1
  fi
done
mkdir -p "$OUT"

# Small PNGs: strip the text chunks and dates so a rerun gives the same bytes.
readonly PNG_OPTS=(-strip -define png:compression-level=9
  -define png:exclude-chunks=date,time)

# An icon of SIZE×SIZE from a larger hand-drawn one, kept sharp.
icon() { # source size output
  convert "$1" -filter Lanczos -resize "$2x$2" -unsharp 0x0.5+0.4+0 \
    "${PNG_OPTS[@]}" "PNG32:$OUT/$3"
}

# A base icon with a smaller badge in its bottom-right corner.
icon_with_badge() { # base badge badge_size output_size output
  convert \( "$1" -filter Lanczos -resize "$4x$4" \) \
    \( "$2" -filter Lanczos -resize "$3x$3" \) \
    -gravity southeast -geometry +0+0 -composite \
    "${PNG_OPTS[@]}" "PNG32:$OUT/$5"
}

make_icons() {
  icon_with_badge "$ICONS/32x32/mimetypes/image-x-generic.png" \
    "$ICONS/48x48/legacy/list-add.png" 18 32 add_new.png
  icon "$ICONS/48x48/legacy/edit-clear-all.png" 32 reset_list.png
  icon "$ICONS/48x48/legacy/help-browser.png" 32 help.png
  icon "$ICONS/48x48/legacy/insert-text.png" 32 my_text.png
  icon "$ICONS/512x512/devices/media-floppy.png" 48 output_disk.png
  icon_with_badge "$ICONS/48x48/mimetypes/x-office-calendar.png" \
    "$ICONS/48x48/legacy/camera-photo.png" 30 48 app_icon.png
  icon "$ICONS/512x512/mimetypes/font-x-generic.png" 64 my_text_decoration.png
}

# A 45×17 tab: a vertical gradient with rounded top corners and a centred label.
tab() { # label top_colour bottom_colour border_colour text_colour output
  convert -size 45x17 "gradient:$2-$3" \
    \( -size 45x17 xc:none -fill white -draw "roundrectangle 0,0 44,20 4,4" \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -fill none -stroke "$4" -strokewidth 1 -draw "roundrectangle 0,0 44,20 4,4" \
    -stroke none -fill "$5" -font "$FONT_BOLD" -pointsize 9 \
    -gravity center -annotate +0+1 "$1" \
    "${PNG_OPTS[@]}" "PNG32:$OUT/$6"
}

make_tabs() {
  local label name
  for label in Day Month Year Time; do
    name=$(tr '[:upper:]' '[:lower:]' <<<"$label")
    tab "$label" '#5b9be6' '#1d5fb5' '#164a8c' white "tab_$name.png"
    tab "$label" '#939393' '#747474' '#606060' '#ececec' "tab_${name}_grey.png"
  done
}

# The preview's background: a photograph of sea, sky and dune grass, cut to the
# preview's 3:2 shape. The grass fills the bottom-right corner, where the stamp
# usually lands, so the stamp is judged against real detail. A soft filter and
# no sharpening keep the lossless file under 300 KB.
make_sample() {
  convert "$PHOTO" -gravity east -crop 1577x1050+0+0 +repage \
    -filter Triangle -resize '518x345!' \
    -alpha off -depth 8 "${PNG_OPTS[@]}" -define png:compression-filter=5 \
    "PNG24:$OUT/sample.png"
}

make_icons
make_tabs
make_sample
ls -l "$OUT"/*.png
