# Sourced by scripts/draw_resources.sh: the program icons of Tarvik and Oblen.

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

