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

# ---------------------------------------------------------------- palette
# Outside its rounded face a button shows the editor background where it sits (set before
# each group of faces below: the panel is a gradient); the blank fillers are white.
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
# check_bmp FILE W H: the file is the kind of bitmap LoadBitmap takes, of exactly this size:
# a version 3 BMP (a 40-byte header), uncompressed, whose size is the 54 bytes of headers and
# rows of 3 bytes a pixel padded to 4, nothing more: 24 bits a pixel, no palette.
check_bmp() {
  local f=$1 w=$2 h=$3 got want stride
  stride=$(( (w * 3 + 3) / 4 * 4 ))
  got="$(head -c2 "$f") $(identify -format '%m %w %h %C' "$f" 2>/dev/null) $(stat -c %s "$f")"
  want="BM BMP3 $w $h None $((54 + stride * h))"
  if [[ "$got" != "$want" ]]; then
    echo "bad bitmap $f: $got (want $want)" >&2
    exit 1
  fi
}

# check_ico FILE SIZE...: a Windows icon holding one image of each of these square sizes (in
# any order) with 32 bits a pixel (8 a channel, alpha included)
check_ico() {
  local f=$1; shift
  local got want
  got=$(identify -format '%m %w %h %z %A\n' "$f" 2>/dev/null | sort -n -k2 | tr '\n' ' ')
  want=$(for size in $(printf '%s\n' "$@" | sort -n); do printf 'ICO %s %s 8 True ' "$size" "$size"; done)
  if [[ "$got" != "$want" ]]; then
    echo "bad icon $f: $got(want $want)" >&2
    exit 1
  fi
}

# relation A B GAP -> inside | apart | crossing, for rectangles "x y w h" where B's edge
# pixels are its outline: inside and apart both leave GAP free pixels between A and that line.
relation() {
  local ax ay aw ah bx by bw bh gap=$3
  read -r ax ay aw ah <<<"$1"
  read -r bx by bw bh <<<"$2"
  if (( ax >= bx + 1 + gap && ay >= by + 1 + gap &&
        ax + aw <= bx + bw - 1 - gap && ay + ah <= by + bh - 1 - gap )); then
    echo inside
  elif (( ax + aw + gap <= bx || bx + bw + gap <= ax || ay + ah + gap <= by || by + bh + gap <= ay )); then
    echo apart
  else
    echo crossing
  fi
}

framed() {  # "x y w h" of a control -> the rectangle with its one-pixel frame
  local x y w h
  read -r x y w h <<<"$1"
  echo "$((x - 1)) $((y - 1)) $((w + 2)) $((h + 2))"
}

# The painted parts keep clear of the controls and buttons: every caption box and the logo
# stand apart from them, each band, tab and frame either holds a control or button whole or
# stays away from it (one free pixel either way), every caption lies in or out of each
# decoration, and everything lies on the picture.
check_background_layout() {
  local occupied=() r d c rel fail="" x y w h
  for r in "${controls[@]}"; do occupied+=("$(framed "$r")"); done
  occupied+=("${picture_buttons[@]}")
  local boxes=("$logo_area")
  for c in "${captions[@]}"; do
    read -r x y w h _ <<<"$c"
    boxes+=("$x $y $w $h")
  done
  for r in "${occupied[@]}" "${decorations[@]}" "${boxes[@]}"; do
    read -r x y w h <<<"$r"
    (( x >= 0 && y >= 0 && x + w <= bg_w && y + h <= bg_h )) || fail+=" off-picture:[$r]"
  done
  for c in "${boxes[@]}"; do
    for r in "${occupied[@]}"; do
      [[ $(relation "$c" "$r" 1) == apart ]] || fail+=" [$c]-touches-[$r]"
    done
    for d in "${decorations[@]}"; do
      [[ $(relation "$c" "$d" 0) != crossing ]] || fail+=" [$c]-crosses-[$d]"
    done
  done
  for d in "${decorations[@]}"; do
    for r in "${occupied[@]}"; do
      rel=$(relation "$r" "$d" 1)
      [[ $rel != crossing ]] || fail+=" [$d]-cuts-[$r]"
    done
  done
  if [[ -n "$fail" ]]; then
    echo "background layout:$fail" >&2
    exit 1
  fi
}

# colours FILE GEOMETRY -> the number of distinct colours in that part of the picture
colours() {
  convert "$1" -crop "$2" +repage -format '%k' info:
}

# On the finished bitmap: each control's field is pure white and its frame one colour all
# round, and each button rectangle is plain panel: every row one colour, and from row to row
# no more than the gradient's own step of a level or two, so that neither a caption nor a
# line of any direction reaches under a button.
check_background_pixels() {
  local f=$1 r x y w h fail="" k diff colour step range
  for r in "${controls[@]}"; do
    read -r x y w h <<<"$r"
    colour=$(convert "$f" -crop "1x1+$x+$y" +repage -format '%[hex:u.p{0,0}]' info:)
    k=$(colours "$f" "${w}x${h}+$x+$y")
    [[ $k -eq 1 && $colour == FFFFFF ]] || fail+=" field[$r]:$k-colours,$colour"
    k=$(convert "$f" -crop "$((w + 2))x$((h + 2))+$((x - 1))+$((y - 1))" +repage \
          -fill "$field_frame" -draw "rectangle 1,1 $w,$h" -format '%k' info:)
    colour=$(convert "$f" -crop "1x1+$((x - 1))+$((y - 1))" +repage -format '#%[hex:u.p{0,0}]' info:)
    [[ $k -eq 1 && $colour == "$field_frame" ]] || fail+=" frame[$r]:$k-colours,$colour"
  done
  for r in "${picture_buttons[@]}"; do
    read -r x y w h <<<"$r"
    diff=$(convert "$f" -crop "${w}x${h}+$x+$y" +repage \
             \( +clone -scale "1x${h}!" -scale "${w}x${h}!" \) \
             -metric AE -compare -format '%[distortion]' info:)
    [[ $diff == 0 ]] || fail+=" button[$r]:$diff-odd-pixels"
    read -r step range <<<"$(convert "$f" -crop "1x$((h + 1))+$x+$((y - 1))" +repage \
             \( +clone -roll +0+1 \) -compose difference -composite \
             -crop "1x${h}+0+1" +repage -format '%[max] %[fx:QuantumRange]' info:)"
    step=$(( (step * 255 + range / 2) / range ))
    (( step <= 2 )) || fail+=" button[$r]:a-step-of-$step-levels"
  done
  if [[ -n "$fail" ]]; then
    echo "background pixels:$fail" >&2
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
page='#3768A7'  # the panel along the four rows of 增加 / 修改 / 删除 (y 72 to 613)
wide_triple 153 "增加"
wide_triple 156 "修改"
wide_triple 159 "删除"
page='#3D74B5'  # beside the merge boxes
square_triple 162 icon_merge "合并"
page='#3A6FAF'  # between the big-question list and the stem editor
square_triple 165 icon_font "设置字体"
square_triple 168 icon_capture "屏幕截图"
page='#1F5090'  # along the bottom edge
banner_triple 171 "www.velmor-edu.cn"
page='#FFFFFF'
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

# ---------------------------------------------------------------- editor background
# Bitmap 184, painted 1:1 under the whole 800 x 681 client area of the editor window. The
# window moves its controls and picture buttons onto the rectangles below; the picture gives
# each control a white field with a dark one-pixel frame just outside it and leaves every
# button rectangle plain panel, since the buttons paint over it. No caption, frame or logo may
# reach under a control or a button: the checks at the end measure that on the finished file.

# Rectangles as "x y width height" in client pixels, read from the table the window places
# its controls and picture buttons by (one row to a line).
layout_rows() {  # KIND: "Placement" rows give x y w h from fields 2-5, button rows from 3-6
  local table="$repo/tarvik/editor/editor_layout.h"
  sed -n "/k${1}Placements\[\] = {/,/^};/p" "$table" | grep -o '{IDC_[A-Z_]*, [0-9, ]*}' |
    tr -d '{},' | awk -v skip="$2" '{ print $(skip + 1), $(skip + 2), $(skip + 3), $(skip + 4) }'
}
mapfile -t controls < <(layout_rows Control 1)
mapfile -t picture_buttons < <(layout_rows Button 2)
[[ ${#controls[@]} -eq 15 && ${#picture_buttons[@]} -eq 16 ]] ||
  { echo "tarvik/editor/editor_layout.h: expected 15 controls and 16 buttons" >&2; exit 1; }

# Decoration, drawn under the fields. Each editing area is a lighter rounded band with a darker
# tab in its left margin for the area's vertical caption; the merge boxes get a rounded frame
# of their own, closed on the left of the 合并 button.
bands=("3 41 794 129" "3 172 794 237" "3 411 794 116" "3 530 794 117")
tabs=("6 45 28 117" "6 176 28 227" "6 416 28 102" "6 536 28 102")
merge_frame="411 110 160 57"
logo_area="690 4 106 36"
decorations=("${bands[@]}" "${tabs[@]}" "$merge_frame")

# Captions: "x y width height pointsize gravity text"; the ink is centred in its box by the
# gravity, "|" breaks a line (the vertical captions are one character a line). A caption
# whose ink does not fit its box stops the script rather than being clipped.
captions=(
  "30 11 66 20 14 east 试卷说明"
  "7 46 26 115 13 center 题|目|分|类|编|辑"
  "7 177 26 225 13 center 大|题|目|说|明|编|辑"
  "7 417 26 100 13 center 小|题|目|编|辑"
  "7 537 26 100 13 center 选|项|编|辑"
  "414 47 82 20 14 east 分类名称"
  "414 114 154 20 13 center 分类合并操作（编号）"
  "336 417 44 74 14 center 题目|要求"
  "336 536 44 74 14 center 选项|说明"
  "466 496 38 20 14 east 分数"
  "466 615 38 20 14 east 分数"
  "40 659 520 20 13 west Velmor 教育软件 · 题库编辑器 v1.0"
)

panel_top='#2F6DB5'
panel_bottom='#1F4F8F'
band_fill='rgba(255,255,255,0.08)'
band_edge='rgba(255,255,255,0.30)'
tab_fill='rgba(6,26,64,0.30)'
merge_edge='#BCD3F2'
field_frame='#12335F'
label_ink='#FFFFFF'
latin_font=$(fc-list 2>/dev/null | grep -i 'DejaVuSans-Bold.ttf' | head -n1 | cut -d: -f1 || true)
[[ -n "$latin_font" && -f "$latin_font" ]] || latin_font=$cjk_font

# emblem OUT SIZE PAPER INK MARK: the question-bank emblem (a rounded card holding a short
# list and a large check mark), drawn 8x larger on a 48-unit grid and scaled down so that the
# small sizes stay smooth; the 16-pixel one leaves out the list, which would only be a blur.
emblem() {
  local out=$1 size=$2 paper=$3 ink=$4 mark=$5
  local big=$((size * 8)) s list
  s=$(awk -v b="$big" 'BEGIN { printf "%.4f", b / 48 }')
  list="stroke '$mark' stroke-width 3.2 stroke-linecap round
        line 11,13 26,13  line 11,21 21,21  line 11,29 13,29"
  [[ $size -le 16 ]] && list=""
  convert -size "${big}x${big}" xc:none \
    -draw "scale $s,$s
           stroke none fill '$paper' roundrectangle 2,2 45.5,45.5 9,9
           $list
           fill none stroke '$ink' stroke-width 5.5 stroke-linecap round stroke-linejoin round
           polyline 19,29 26,37 39,11" \
    -filter Lanczos -resize "${size}x${size}" "PNG32:$out"
}

# text_ink OUT POINTSIZE FONT TEXT: the caption's ink, trimmed, white on transparent
text_ink() {
  convert +size -background none -fill "$label_ink" -font "$3" -pointsize "$2" \
    -gravity center "label:${4//|/$'\n'}" -trim +repage "PNG32:$1"
}

# put IMAGE X Y W H GRAVITY PICTURE: places PICTURE inside the box by GRAVITY; stops if it
# does not fit.
put() {
  local img=$1 x=$2 y=$3 w=$4 h=$5 gravity=$6 pic=$7 pw ph
  read -r pw ph <<<"$(identify -format '%w %h' "$pic")"
  if (( pw > w || ph > h )); then
    echo "artwork $pic (${pw}x${ph}) does not fit its ${w}x${h} box at $x,$y" >&2
    exit 1
  fi
  convert "$img" \
    \( -size "${w}x${h}" xc:none "$pic" -gravity "$gravity" -composite \) \
    -gravity northwest -geometry "+$x+$y" -composite "PNG24:$img"
}

draw_background() {
  local out=$1 img=$work/background.png r x y w h size gravity text
  local deco=()
  for r in "${bands[@]}"; do
    read -r x y w h <<<"$r"
    deco+=(-fill "$band_fill" -stroke "$band_edge"
           -draw "roundrectangle $x.5,$y.5 $((x + w - 1)).5,$((y + h - 1)).5 9,9")
  done
  for r in "${tabs[@]}"; do
    read -r x y w h <<<"$r"
    deco+=(-fill "$tab_fill" -stroke none
           -draw "roundrectangle $x,$y $((x + w - 1)),$((y + h - 1)) 6,6")
  done
  read -r x y w h <<<"$merge_frame"
  deco+=(-fill 'rgba(255,255,255,0.06)' -stroke "$merge_edge"
         -draw "roundrectangle $x.5,$y.5 $((x + w - 1)).5,$((y + h - 1)).5 8,8")
  # an arrow from the source box to the target box: the source category moves into the target
  deco+=(-stroke "$merge_edge" -fill "$merge_edge"
         -draw "line 486,149 497,149 polygon 483,149 488,145 488,153")
  convert -size "${bg_w}x${bg_h}" "gradient:${panel_top}-${panel_bottom}" \
    -strokewidth 1 "${deco[@]}" +stroke "PNG24:$img"

  # the maker's logo: emblem and name, top right beside the title box
  emblem "$work/logo.png" 28 '#FFFFFF' "$panel_top" '#E8861A'
  read -r x y w h <<<"$logo_area"
  put "$img" "$x" "$y" 30 "$h" center "$work/logo.png"
  text_ink "$work/t.png" 17 "$latin_font" "Velmor"
  put "$img" $((x + 33)) "$y" $((w - 33)) "$h" west "$work/t.png"

  for r in "${captions[@]}"; do
    read -r x y w h size gravity text <<<"$r"
    text_ink "$work/t.png" "$size" "$cjk_font" "$text"
    put "$img" "$x" "$y" "$w" "$h" "$gravity" "$work/t.png"
  done

  # the fields last, so that nothing above can leak into them
  local fields=()
  for r in "${controls[@]}"; do
    read -r x y w h <<<"$r"
    fields+=(-fill "$field_frame" -draw "rectangle $((x - 1)),$((y - 1)) $((x + w)),$((y + h))"
             -fill '#FFFFFF' -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))")
  done
  convert "$img" +antialias -stroke none "${fields[@]}" "PNG24:$img"
  save_bmp "$img" "$out"
  made+=("$out $bg_w $bg_h")
}

bg_w=800
bg_h=681
draw_background "$tarvik_res/background.bmp"

# ---------------------------------------------------------------- program icon
# Icon 128: the emblem in the program's blue at 48, 32 and 16 pixels, with transparency.
for size in 48 32 16; do
  emblem "$work/icon$size.png" "$size" "$panel_top" '#FFFFFF' '#FFD08A'
done
convert "$work/icon48.png" "$work/icon32.png" "$work/icon16.png" "$tarvik_res/tarvik.ico"

# Oblen's icon 128: a green tile, an open folder of task files and the grader's tick.
oblen_res="$repo/oblen/resources"
mkdir -p "$oblen_res"
oblen_emblem() {
  local out=$1 size=$2 big=$(( $2 * 8 )) s sheet
  s=$(awk -v b="$big" 'BEGIN { printf "%.4f", b / 48 }')
  sheet="stroke '#9FB7C9' stroke-width 1.2 fill '#FFFFFF' rectangle 13,10 35,30"
  [[ $size -le 16 ]] && sheet=""
  convert -size "${big}x${big}" xc:none \
    -draw "scale $s,$s
           stroke none fill '#1F8A6E' roundrectangle 2,2 45.5,45.5 9,9
           fill '#F2C14E' stroke none polygon 7,16 19,16 22,19 41,19 41,39 7,39
           $sheet
           fill '#FFD978' stroke none polygon 5,23 43,23 40,40 8,40
           fill none stroke '#E8561A' stroke-width 5 stroke-linecap round stroke-linejoin round
           polyline 15,29 22,35 34,23" \
    -filter Lanczos -resize "${size}x${size}" "PNG32:$out"
}
for size in 48 32 16; do
  oblen_emblem "$work/oblen$size.png" "$size"
done
convert "$work/oblen48.png" "$work/oblen32.png" "$work/oblen16.png" "$oblen_res/oblen.ico"

# ---------------------------------------------------------------- answering navigator
# 139 and 140: the unfolded and folded group icons, a green disc with a white triangle
# pointing down or right; 141: the item icon, a small window showing a list; 142: the
# header bar of the question list, light blue with a darker frame, drawn in three slices
# (10 columns left, 8 right, the middle stretched) so its ends keep their corners.
nav_disc() {  # OUT TRIANGLE-POINTS
  convert -size 52x52 xc:white -fill '#2E9A3E' -stroke '#1F7A2C' -strokewidth 3 \
    -draw 'circle 26,26 26,3' -fill white -stroke none -draw "polygon $2" \
    -resize 13x13 "PNG24:$work/disc.png"
  save_bmp "$work/disc.png" "$1"
}
nav_disc "$tarvik_res/nav_unfolded.bmp" '14,19 38,19 26,35'
nav_disc "$tarvik_res/nav_folded.bmp" '20,13 36,26 20,39'
convert -size 40x40 xc:white +antialias -strokewidth 1 \
  -fill '#F4F8FF' -stroke '#3B6BB5' -draw 'rectangle 3,4 36,35' \
  -fill '#3B6BB5' -stroke none -draw 'rectangle 4,5 35,10' \
  -fill white -draw 'rectangle 31,7 33,8' \
  -fill '#7FA7DD' -draw 'rectangle 7,14 10,16' -draw 'rectangle 7,20 10,22' \
  -draw 'rectangle 7,26 10,28' \
  -fill '#5A6B80' -draw 'rectangle 13,15 31,15' -draw 'rectangle 13,21 28,21' \
  -draw 'rectangle 13,27 30,27' -fill '#C9D6EA' -draw 'rectangle 7,31 32,31' \
  "PNG24:$work/item.png"
save_bmp "$work/item.png" "$tarvik_res/nav_item.bmp"
convert -size 91x20 gradient:'#EAF5FF-#BFDDF7' +antialias -fill none -stroke '#6F9FCF' \
  -strokewidth 1 -draw 'roundrectangle 0,0 90,19 3,3' "PNG24:$work/header.png"
save_bmp "$work/header.png" "$tarvik_res/nav_header.bmp"
made+=("$tarvik_res/nav_unfolded.bmp 13 13" "$tarvik_res/nav_folded.bmp 13 13"
       "$tarvik_res/nav_item.bmp 40 40" "$tarvik_res/nav_header.bmp 91 20")

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
