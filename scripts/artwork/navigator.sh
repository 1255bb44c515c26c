# Sourced by scripts/draw_resources.sh: the question list of the answering window.

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

