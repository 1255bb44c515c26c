#!/usr/bin/env bash
# Draws the bitmap artwork of the programs with ImageMagick:
#   tarvik/resources/buttons/btn144.bmp .. btn183.bmp
#       the 40 faces of the editor's picture buttons (blank fillers, the 增加/修改/删除
#       buttons, the 合并/设置字体/屏幕截图 square buttons and the web-address banner),
#       each captioned button as a triple: normal, hover, pressed
#   common/resources/capture_panel.bmp
#       the 172 x 100 information panel of the screen-capture window
#   tarvik/resources/background.bmp
#       the 800 x 681 background of the editor window: blue panel, white fields under the
#       controls, the captions of the editing areas and the maker's logo and name
#   tarvik/resources/tarvik.ico
#       the program icon, 48, 32 and 16 pixels
#   tarvik/resources/nav_unfolded.bmp, nav_folded.bmp, nav_item.bmp, nav_header.bmp
#       the question list of the answering window: group icons, item icon, header bar
#   oblen/resources/oblen.ico
#       Oblen's program icon, 48, 32 and 16 pixels: a folder of task files with a tick
# The groups are drawn by scripts/artwork/*.sh, which this script sources in turn.
# Every bitmap is a 24-bit uncompressed bottom-up BMP with a 40-byte BITMAPINFOHEADER, which is
# what the resource compiler and LoadBitmap expect. The output is committed, so a build needs
# no drawing tools; run this only to change the artwork, then look at the contact sheet
# (--sheet FILE.png writes one, scaled 3x) and commit the regenerated files. --mockup FILE.png
# shows the editor background with the controls (white) and the buttons (orange outlines)
# drawn where the window puts them, to judge the captions next to them.
#
# Needs: ImageMagick 6 (convert, montage), fonts-wqy-microhei; DejaVu Serif Bold is used for
# the letter of the font button and DejaVu Sans Bold for the logo's name when installed.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
buttons="$repo/tarvik/resources/buttons"
common="$repo/common/resources"
tarvik_res="$repo/tarvik/resources"

sheet=""
mockup=""
while [[ $# -gt 0 ]]; do
  case "$1" in
    --sheet) sheet=${2:?"--sheet needs a PNG file name"}; shift 2 ;;
    --mockup) mockup=${2:?"--mockup needs a PNG file name"}; shift 2 ;;
    *) echo "usage: $0 [--sheet contact-sheet.png] [--mockup editor-mockup.png]" >&2; exit 2 ;;
  esac
done

for tool in convert montage identify; do
  command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 1; }
done

cjk_font=$(fc-list 2>/dev/null | grep -i 'wqy-microhei' | head -n1 | cut -d: -f1 || true)
if [[ -z "$cjk_font" ]]; then
  cjk_font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
fi
[[ -f "$cjk_font" ]] || { echo "WenQuanYi Micro Hei not found (apt-get install fonts-wqy-microhei)" >&2; exit 1; }
letter_font=$(fc-list 2>/dev/null | grep -i 'DejaVuSerif-Bold.ttf' | head -n1 | cut -d: -f1 || true)
[[ -n "$letter_font" && -f "$letter_font" ]] || letter_font=$cjk_font

mkdir -p "$buttons" "$common"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The artwork groups, each in a file of its own; they share the helpers of common.sh and add
# what they write to "made".
for group in common buttons capture_panel background icons navigator; do
  # shellcheck source=/dev/null
  source "$repo/scripts/artwork/$group.sh"
done

# ---------------------------------------------------------------- verify
# Sizes the editor's button layout expects, resource by resource, kept apart from the
# drawing code above so that a slip there is caught here.
expected_size() {  # RESOURCE -> "W H"
  case $1 in
    155) echo "60 25" ;;
    15[3-9]|16[01]) echo "60 26" ;;
    16[2-9]|170) echo "60 60" ;;
    171|172) echo "215 14" ;;
    173) echo "215 15" ;;
    *) echo "19 12" ;;
  esac
}
for n in $(seq 144 183); do
  read -r w h <<<"$(expected_size "$n")"
  check_bmp "$buttons/btn$n.bmp" "$w" "$h"
done
check_bmp "$common/capture_panel.bmp" 172 100
check_bmp "$tarvik_res/background.bmp" "$bg_w" "$bg_h"
check_bmp "$tarvik_res/nav_unfolded.bmp" 13 13
check_bmp "$tarvik_res/nav_folded.bmp" 13 13
check_bmp "$tarvik_res/nav_item.bmp" 40 40
check_bmp "$tarvik_res/nav_header.bmp" 91 20
check_ico "$tarvik_res/tarvik.ico" 16 32 48
check_ico "$oblen_res/oblen.ico" 16 32 48
check_background_layout
check_background_pixels "$tarvik_res/background.bmp"
echo "drew ${#made[@]} bitmaps and the icon; checked 40 button faces, the capture panel," \
  "the editor background (format, fields, frames, plain button areas, caption placement)" \
  "and the icon's three sizes"

if [[ -n "$sheet" ]]; then
  files=()
  for entry in "${made[@]}"; do
    read -r file _ _ <<<"$entry"
    files+=("$file")
  done
  # one row per triple (fillers grouped), each picture on a 216 x 62 tile, then 3x
  montage -label '%t' -font "$cjk_font" -pointsize 10 "${files[@]}" \
    -tile 3x -geometry '216x62>+4+4' -gravity center -background '#C8C8C8' \
    "PNG24:$work/sheet.png"
  convert "$work/sheet.png" -filter point -resize 300% "$sheet"
  echo "contact sheet: $sheet"
fi

if [[ -n "$mockup" ]]; then
  marks=()
  for r in "${controls[@]}"; do
    read -r x y w h <<<"$r"
    marks+=(-fill '#FFFFFF' -stroke '#C03030' -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))")
  done
  for r in "${picture_buttons[@]}"; do
    read -r x y w h <<<"$r"
    marks+=(-fill none -stroke '#FF9900' -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))")
  done
  convert "$tarvik_res/background.bmp" +antialias -strokewidth 1 "${marks[@]}" "PNG24:$mockup"
  echo "mock-up: $mockup"
fi
