# Sourced by scripts/draw_resources.sh: the information panel of the screen-capture window.

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

