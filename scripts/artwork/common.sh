# Sourced by scripts/draw_resources.sh: the palette, the button face and caption helpers, writing
# and checking bitmaps and icons. Everything here draws into $work and reads the fonts the
# driver found.

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

styles=(normal hover pressed)
made=()   # "file width height" of everything written, for the contact sheet

emit() {  # PNG FILE W H
  save_bmp "$1" "$2"
  made+=("$2 $3 $4")
}

