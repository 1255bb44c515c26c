#!/usr/bin/env bash
# Draws the bitmap artwork of the programs with ImageMagick:
#   tarvik/resources/buttons/btn144.bmp .. btn183.bmp
#       the 40 faces of the editor's picture buttons (blank fillers, the 增加/修改/删除
#       buttons, the 合并/设置字体/屏幕截图 square buttons and the web-address banner),
#       each captioned button as a triple: normal, hover, pressed
#   common/resources/capture_panel.bmp
#       the 172 x 100 information panel of the screen-capture window
# Every file is a 24-bit uncompressed bottom-up BMP with a 40-byte BITMAPINFOHEADER, which is
# what the resource compiler and LoadBitmap expect. The output is committed, so a build needs
# no drawing tools; run this only to change the artwork, then look at the contact sheet
# (--sheet FILE.png writes one, scaled 3x) and commit the regenerated files.
#
# Needs: ImageMagick 6 (convert, montage), fonts-wqy-microhei; DejaVu Serif Bold is used for
# the letter of the font button when installed.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
buttons="$repo/tarvik/resources/buttons"
common="$repo/common/resources"

sheet=""
if [[ "${1:-}" == "--sheet" ]]; then
  sheet=${2:?"--sheet needs a PNG file name"}
elif [[ $# -gt 0 ]]; then
  echo "usage: $0 [--sheet contact-sheet.png]" >&2
  exit 2
fi

for tool in convert montage od; do
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

# ---------------------------------------------------------------- palette
# The window behind the buttons is white, so everything outside a rounded face is white.
page='#FFFFFF'
blue_ink='#1A4FB0'
accent='#E8861A'

# Face styles: gradient top, gradient bottom, outline, ink, accent, icon paper, shift.
# The pressed face darkens its outline, adds a shadow line inside the top and left edges and
# moves its content one pixel right and down, so it reads as pushed in.
set_style() {
  case "$1" in
    normal)  top='#FBFCFD'; bottom='#D3D9E2'; edge='#8A96A8'; ink=$blue_ink; mark=$accent
             paper='#FFFFFF'; shift=0 ;;
    hover)   top='#7B9BD0'; bottom='#3E63A6'; edge='#2B4A80'; ink='#FFFFFF'; mark='#FFC870'
             paper='#2B4A80'; shift=0 ;;
    pressed) top='#C3CAD5'; bottom='#E6E9EE'; edge='#56637A'; ink=$blue_ink; mark=$accent
             paper='#FFFFFF'; shift=1 ;;
    *) echo "unknown face style $1" >&2; exit 1 ;;
  esac
}

# rounded_face OUT W H RADIUS STYLE: the empty face of a button, as PNG for further drawing.
rounded_face() {
  local out=$1 w=$2 h=$3 r=$4
  set_style "$5"
  local x1=$((w - 1)) y1=$((h - 1))
  local inset=()
  if [[ $shift -eq 1 ]]; then
    # shadow just inside the outline along the top and left
    inset=(-stroke '#9AA4B4' -draw "line $((r)),1 $((x1 - r)),1"
           -draw "line 1,$((r)) 1,$((y1 - r))")
  fi
  convert -size "${w}x${h}" "xc:$page" \
    \( -size "${w}x${h}" "gradient:${top}-${bottom}" \) \
    \( -size "${w}x${h}" xc:black -fill white -draw "roundrectangle 0,0 $x1,$y1 $r,$r" \) \
    -composite \
    -fill none -stroke "$edge" -strokewidth 1 -draw "roundrectangle 0,0 $x1,$y1 $r,$r" \
    "${inset[@]}" +stroke \
    "PNG24:$out"
}

# caption IN OUT POINTSIZE TEXT GRAVITY DX DY: writes TEXT in the current ink, placed by the
# bounds of its ink (not by font metrics) so that it sits exactly centred; unantialiased,
# as small captions of a Windows dialog are, so they stay crisp at 1:1.
caption() {
  local in=$1 out=$2 size=$3 text=$4 gravity=$5 dx=$6 dy=$7
  convert "$in" \
    \( +size -background none -fill "$ink" -font "$cjk_font" -pointsize "$size" +antialias \
       "label:$text" -trim +repage \) \
    -gravity "$gravity" -geometry "+$((dx + shift))+$((dy + shift))" -composite \
    "PNG24:$out"
}

# save_bmp IN OUT: 24-bit, uncompressed, bottom-up, 40-byte header
save_bmp() {
  convert "$1" -alpha off -type TrueColor "BMP3:$2"
}

# ---------------------------------------------------------------- checks
le32() {  # FILE OFFSET -> unsigned little-endian 32-bit value
  od -An -tu4 --endian=little -j "$2" -N4 "$1" | tr -d ' '
}
le16() {
  od -An -tu2 --endian=little -j "$2" -N2 "$1" | tr -d ' '
}

# check_bmp FILE W H: the file is the kind of bitmap LoadBitmap takes, of exactly this size
check_bmp() {
  local f=$1 w=$2 h=$3
  local magic size stride
  magic=$(head -c2 "$f")
  size=$(stat -c %s "$f")
  stride=$(( (w * 3 + 3) / 4 * 4 ))
  local fail=""
  [[ "$magic" == "BM" ]] || fail+=" type=$magic"
  [[ $(le32 "$f" 2) -eq $size ]] || fail+=" bfSize"
  [[ $(le32 "$f" 10) -eq 54 ]] || fail+=" bfOffBits=$(le32 "$f" 10)"
  [[ $(le32 "$f" 14) -eq 40 ]] || fail+=" biSize=$(le32 "$f" 14)"
  [[ $(le32 "$f" 18) -eq $w ]] || fail+=" width=$(le32 "$f" 18)"
  # a negative height (top-down) would read as a value above 2^31 here
  [[ $(le32 "$f" 22) -eq $h ]] || fail+=" height=$(le32 "$f" 22)"
  [[ $(le16 "$f" 26) -eq 1 ]] || fail+=" planes"
  [[ $(le16 "$f" 28) -eq 24 ]] || fail+=" bits=$(le16 "$f" 28)"
  [[ $(le32 "$f" 30) -eq 0 ]] || fail+=" compression=$(le32 "$f" 30)"
  [[ $size -eq $((54 + stride * h)) ]] || fail+=" filesize=$size"
  if [[ -n "$fail" ]]; then
    echo "bad bitmap $f (want ${w}x${h} 24-bit):$fail" >&2
    exit 1
  fi
}

# ---------------------------------------------------------------- button faces
styles=(normal hover pressed)
made=()   # "file width height" of everything written, for the contact sheet

emit() {  # PNG FILE W H
  save_bmp "$1" "$2"
  made+=("$2 $3 $4")
}

blank() {  # RESOURCE: a 19 x 12 filler the window never shows
  convert -size 19x12 "xc:$page" "PNG24:$work/blank.png"
  emit "$work/blank.png" "$buttons/btn$1.bmp" 19 12
}

# wide_triple FIRST_RESOURCE TEXT: 60 x 26 rounded buttons; the pressed face is one line
# shorter, which the button stretches back to the normal face's size.
wide_triple() {
  local first=$1 text=$2 i=0 style h
  for style in "${styles[@]}"; do
    h=26
    [[ $first -eq 153 && $style == pressed ]] && h=25
    rounded_face "$work/f.png" 60 "$h" 5 "$style"
    caption "$work/f.png" "$work/c.png" 13 "$text" center 0 0
    emit "$work/c.png" "$buttons/btn$((first + i)).bmp" 60 "$h"
    i=$((i + 1))
  done
}

# Icons for the 60 x 60 faces, drawn in the upper part (about y 5..34) in the current style;
# "translate" moves them with the pressed face's shift.
# (colours inside a -draw string are quoted: a bare # would start an MVG comment)
icon_merge() {  # two arrows pointing into a ring
  convert "$1" -strokewidth 1 \
    -draw "translate $shift,$shift
           stroke '$mark' fill '$mark'
           line 7,20 16,20  line 7,21 16,21
           polygon 22,20.5 15,15 15,26
           line 44,20 53,20  line 44,21 53,21
           polygon 38,20.5 45,15 45,26
           stroke '$ink' stroke-width 2.5 fill none
           circle 30,20.5 30,27.5" \
    "PNG24:$2"
}

icon_font() {  # a serif letter A over a colour bar
  convert "$1" \
    \( +size -background none -fill "$ink" -font "$letter_font" -pointsize 27 label:A -trim +repage \) \
    -gravity north -geometry "+$shift+$((5 + shift))" -composite +gravity \
    -stroke none -fill "$mark" -draw "translate $shift,$shift rectangle 19,30 40,32" \
    "PNG24:$2"
}

icon_capture() {  # a dashed selection frame, its start corner marked, the pointer at its end
  convert "$1" \
    -draw "translate $shift,$shift
           push graphic-context
             stroke '$ink' stroke-width 1 fill none stroke-dasharray 3 2
             rectangle 10,5 40,25
           pop graphic-context
           stroke none fill '$mark'
           rectangle 8,3 13,4  rectangle 8,3 9,8
           stroke '$ink' stroke-width 1 fill '$paper' stroke-linejoin miter
           polygon 40,25 40,38 43,35 45,40 47,39 45,34 49,34" \
    "PNG24:$2"
}

square_triple() {  # FIRST_RESOURCE ICON_FUNCTION TEXT
  local first=$1 draw_icon=$2 text=$3 i=0 style
  for style in "${styles[@]}"; do
    rounded_face "$work/f.png" 60 60 6 "$style"
    "$draw_icon" "$work/f.png" "$work/i.png"
    caption "$work/i.png" "$work/c.png" 12 "$text" north 0 43
    emit "$work/c.png" "$buttons/btn$((first + i)).bmp" 60 60
    i=$((i + 1))
  done
}

banner_triple() {  # FIRST_RESOURCE ADDRESS: the maker's web address under the editor window
  local first=$1 text=$2 i=0 style h
  for style in "${styles[@]}"; do
    h=14
    [[ $style == pressed ]] && h=15
    rounded_face "$work/f.png" 215 "$h" 3 "$style"
    caption "$work/f.png" "$work/c.png" 11 "$text" center 0 0
    emit "$work/c.png" "$buttons/btn$((first + i)).bmp" 215 "$h"
    i=$((i + 1))
  done
}

for n in $(seq 144 152); do blank "$n"; done
wide_triple 153 "增加"
wide_triple 156 "修改"
wide_triple 159 "删除"
square_triple 162 icon_merge "合并"
square_triple 165 icon_font "设置字体"
square_triple 168 icon_capture "屏幕截图"
banner_triple 171 "www.velmor-edu.cn"
for n in $(seq 174 183); do blank "$n"; done

# ---------------------------------------------------------------- capture panel
# 172 x 100. The window writes two lines of white text in its default font at 35 and 55
# pixels below the top, 5 pixels from the left, and outlines the panel in orange; so the body
# from the title band down to the bottom band stays one plain dark blue.
panel_body='#163A78'
convert -size 172x100 "xc:$panel_body" \
  \( -size 172x24 'gradient:#4F86D8-#2C5FB3' \) -geometry +0+0 -composite \
  -stroke '#8FB4EC' -draw "line 0,23 171,23" +stroke \
  \( -size 172x9 'gradient:#24508F-#0E2550' \) -geometry +0+91 -composite \
  -stroke '#FF8E00' -draw "line 0,91 171,91" +stroke \
  -fill '#2F66B8' -draw "rectangle 4,94 10,96 rectangle 14,94 20,96 rectangle 24,94 30,96" \
  -fill none -stroke '#FFFFFF' -strokewidth 1 -draw "rectangle 6,6 18,16" \
  -stroke '#FFC870' -draw "line 12,9 12,13 line 10,11 14,11" +stroke \
  -fill '#FFC870' -draw "rectangle 4,4 7,5 rectangle 4,4 5,7" \
  \( +size -background none -fill '#FFFFFF' -font "$cjk_font" -pointsize 13 +antialias \
     "label:屏幕截图" -trim +repage \) -gravity northwest -geometry +25+5 -composite \
  "PNG24:$work/panel.png"
# The label is placed by its ink: 13 px glyphs from y 5 keep it inside the 24 px band.
emit "$work/panel.png" "$common/capture_panel.bmp" 172 100

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
echo "drew ${#made[@]} bitmaps; checked 40 button faces and the capture panel"

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
