# Sourced by scripts/draw_resources.sh: the 40 faces of the editor's picture buttons, btn144..btn183.

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

