# Sourced by scripts/draw_resources.sh: the editor window's background (bitmap 184) and the checks
# that its painted parts keep clear of the controls and buttons the window places over it.

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

