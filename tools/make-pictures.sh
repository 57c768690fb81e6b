#!/usr/bin/env bash
# Draws the pictures that res/setup.rc takes in:
#   res/logo.bmp   bitmap 147, the product logo in the page header: 48 x 48, 24 bits per pixel
#   res/menu.bmp   bitmap 151, the plug-in's menu in AutoCAD 2010: 307 x 175, 16 colours (4 bits)
#   res/setup.ico  icon group 1: 48, 32 and 16 pixels, each at 4, 8 and 32 bits per pixel
# Needs ImageMagick 6 (convert), the WenQuanYi Micro Hei font and python3.
# Same tools, same bytes: nothing here depends on the time or on randomness.
#   tools/make-pictures.sh [OUTPUT_DIR]     (default: res/ of this tree)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$(cd "$here/.." && pwd)/res}
font=${TAVRIN_PICTURE_FONT:-/usr/share/fonts/truetype/wqy/wqy-microhei.ttc}
im=${IM_CONVERT:-convert}

[ -f "$font" ] || { echo "make-pictures: font $font is missing (Debian fonts-wqy-microhei)" >&2; exit 1; }
command -v "$im" >/dev/null || { echo "make-pictures: ImageMagick's convert is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The page background behind the logo, RGB(160, 180, 220): the header bitmap is
# drawn opaque, so the logo carries the page colour around its shapes.
page_bg='#A0B4DC'

# The 16 colours of the standard Windows palette, in its usual order: the menu
# picture and the 4-bit icons use exactly these.
vga16=(
  '#000000' '#800000' '#008000' '#808000' '#000080' '#800080' '#008080' '#C0C0C0'
  '#808080' '#FF0000' '#00FF00' '#FFFF00' '#0000FF' '#FF00FF' '#00FFFF' '#FFFFFF'
)
palette_args=()
for c in "${vga16[@]}"; do palette_args+=("xc:$c"); done
"$im" -size 1x1 "${palette_args[@]}" +append "$work/vga16.png"

# ---------------------------------------------------------------------------
# The logo: a printer with a batch of two sheets coming out of it, a T on the
# front sheet. Drawn on a 192-pixel square whose main edges sit on a 12-pixel
# grid, so that the 48, 32 and 16 pixel reductions stay sharp.
logo_mvg=$(cat <<'EOF'
stroke none
fill '#B9C4D6' polygon 24,168 168,168 180,182 12,182
fill '#7F8DA6' rectangle 12,180 180,186
fill '#DCE4F0' stroke '#7C8CA8' stroke-width 3 rectangle 61,2 155,90
fill '#FFFFFF' rectangle 37,14 131,96
stroke none
fill '#1D4F9E' rectangle 48,24 120,48
fill '#1D4F9E' rectangle 72,48 96,84
fill '#6C7D9C' polygon 24,84 168,84 180,108 12,108
fill '#171C28' rectangle 24,84 168,96
fill '#3B4863' roundrectangle 12,108 180,168 10,10
fill '#56668C' rectangle 12,108 180,118
fill '#3BD24E' circle 150,138 150,147
fill '#9AA8C2' rectangle 102,133 126,143
EOF
)
"$im" -size 192x192 xc:none -draw "$logo_mvg" "$work/logo192.png"

"$im" "$work/logo192.png" -filter box -resize 48x48 -background "$page_bg" -flatten \
  -alpha off -type TrueColor -compress none BMP3:"$out/logo.bmp"

# ---------------------------------------------------------------------------
# The icon images. 32 bits: the reduction with its alpha. 8 bits: up to 255
# colours without dithering, transparent where alpha is below half. 4 bits: the
# logo drawn again in the 16 standard colours without smoothing and sampled
# down, since a mapped reduction turns the printer's slate into teal.
logo4_mvg=$(printf '%s\n' "$logo_mvg" | sed \
  -e "s/'#B9C4D6'/'#C0C0C0'/; s/'#7F8DA6'/'#808080'/; s/'#DCE4F0'/'#C0C0C0'/" \
  -e "s/'#7C8CA8'/'#808080'/; s/'#1D4F9E'/'#000080'/g; s/'#6C7D9C'/'#C0C0C0'/" \
  -e "s/'#171C28'/'#000000'/; s/'#3B4863'/'#808080'/; s/'#56668C'/'#808080'/" \
  -e "s/'#3BD24E'/'#00FF00'/; s/'#9AA8C2'/'#C0C0C0'/")
"$im" -size 192x192 xc:none +antialias -draw "$logo4_mvg" "$work/logo192-4.png"
for s in 48 32 16; do
  "$im" "$work/logo192.png" -filter box -resize ${s}x$s "$work/icon$s.png"
  "$im" "$work/icon$s.png" -depth 8 PAM:"$work/icon$s-32.pam"
  "$im" "$work/icon$s.png" -channel A -threshold 50% +channel \
    -background black -alpha background +dither -colors 255 -depth 8 PAM:"$work/icon$s-8.pam"
  "$im" "$work/logo192-4.png" -sample ${s}x$s -depth 8 PAM:"$work/icon$s-4.pam"
done
python3 "$here/pack-icon.py" "$out/setup.ico" \
  4:"$work/icon48-4.pam" 4:"$work/icon32-4.pam" 4:"$work/icon16-4.pam" \
  8:"$work/icon48-8.pam" 8:"$work/icon32-8.pam" 8:"$work/icon16-8.pam" \
  32:"$work/icon48-32.pam" 32:"$work/icon32-32.pam" 32:"$work/icon16-32.pam"

# ---------------------------------------------------------------------------
# The menu picture: an AutoCAD 2010 window, narrow enough that its menu bar
# wraps onto three rows, with the plug-in's menu opened at the end of the bar
# and a red arrow pointing at it. Plain Windows look in the 16 standard
# colours, text without smoothing so that every pixel is a palette colour.
W=307; H=175
mvg=""
add() { mvg+="$*"$'\n'; }
text_at() { add "fill '$3' text $1,$2 '$4'"; }        # x, baseline, colour, text
text_width() { "$im" -font "$font" -pointsize 12 +antialias label:"$1" -format '%w' info:; }

# window frame and title bar
add "fill '#C0C0C0' rectangle 0,0 $((W-1)),$((H-1))"
add "fill '#FFFFFF' rectangle 1,1 $((W-3)),1"
add "fill '#FFFFFF' rectangle 1,1 1,$((H-1))"
add "fill '#808080' rectangle $((W-2)),1 $((W-2)),$((H-1))"
add "fill '#000000' rectangle $((W-1)),0 $((W-1)),$((H-1))"
add "fill '#000080' rectangle 4,4 $((W-5)),21"
# AutoCAD's application icon: a red A on a white tile
add "fill '#FFFFFF' rectangle 6,5 21,20"
add "fill '#FF0000' polygon 13,6 14,6 20,19 17,19 13,10 9,19 7,19"
add "fill '#FF0000' rectangle 11,14 16,15"
text_at 26 17 '#FFFFFF' 'AutoCAD 2010 - [Drawing1.dwg]'
# caption buttons: minimise, maximise, close
for x in $((W-57)) $((W-39)) $((W-21)); do
  add "fill '#000000' rectangle $x,6 $((x+15)),19"
  add "fill '#FFFFFF' rectangle $x,6 $((x+14)),18"
  add "fill '#808080' rectangle $((x+1)),7 $((x+14)),18"
  add "fill '#C0C0C0' rectangle $((x+1)),7 $((x+13)),17"
done
x=$((W-57)); add "fill '#000000' rectangle $((x+4)),14 $((x+9)),15"
x=$((W-39)); add "fill '#000000' rectangle $((x+3)),8 $((x+11)),9"
add "fill none stroke '#000000' stroke-width 1 rectangle $((x+3)),8 $((x+11)),15"
x=$((W-21)); add "line $((x+4)),9 $((x+9)),14 line $((x+5)),9 $((x+10)),14 line $((x+9)),9 $((x+4)),14 line $((x+10)),9 $((x+5)),14"
add "stroke none"

# the menu bar: items laid out left to right, wrapping like a window's menu bar
items=('文件(F)' '编辑(E)' '视图(V)' '插入(I)' '格式(O)' '工具(T)' '绘图(D)' '标注(N)' '修改(M)' '窗口(W)' '帮助(H)' 'Tavrin批打印')
left=4; right=$((W-5)); row_h=19
x=$left; y=22
for t in "${items[@]}"; do
  w=$(( $(text_width "$t") + 12 ))
  if (( x + w - 1 > right )); then x=$left; y=$((y + row_h)); fi
  if [[ $t == Tavrin* ]]; then
    # the plug-in's menu, open: highlighted title
    add "fill '#000080' rectangle $x,$y $((x+w-1)),$((y+row_h-1))"
    text_at $((x+6)) $((y+14)) '#FFFFFF' "$t"
    menu_x=$x; menu_y=$y; menu_w=$w
  else
    text_at $((x+6)) $((y+14)) '#000000' "$t"
  fi
  x=$((x+w))
done
bar_end=$((y + row_h))
add "fill '#808080' rectangle $left,$bar_end $right,$bar_end"

# the drawing area, black as in AutoCAD, with a part drawn on it
top=$((bar_end + 1))
add "fill '#000000' rectangle $left,$top $right,$((H-1))"
add "fill none stroke '#FFFFFF' stroke-width 1 rectangle 24,$((top+10)) 272,$((top+70))"
add "stroke '#FFFF00' circle 248,$((top+40)) 248,$((top+56))"
add "stroke '#FFFF00' circle 40,$((top+26)) 40,$((top+34))"
add "stroke '#FFFFFF' circle 248,$((top+40)) 248,$((top+48))"
add "stroke '#00FFFF' line 226,$((top+40)) 270,$((top+40)) line 248,$((top+18)) 248,$((top+62))"
add "line 30,$((top+26)) 50,$((top+26)) line 40,$((top+16)) 40,$((top+36))"
# the UCS icon in the lower left corner
ox=9; oy=$((H-8))
add "stroke '#FFFFFF' line $ox,$oy $((ox+20)),$oy line $ox,$oy $ox,$((oy-20))"
add "stroke none fill '#FFFFFF' polygon $((ox+24)),$oy $((ox+19)),$((oy-3)) $((ox+19)),$((oy+3))"
add "polygon $ox,$((oy-24)) $((ox-3)),$((oy-19)) $((ox+3)),$((oy-19))"
add "font-size 10 text $((ox+26)),$((oy+4)) 'X' text $((ox+5)),$((oy-17)) 'Y' font-size 12"

# the plug-in's menu, dropped down under its title (raised popup)
entries=('单张打印到文件' '批量打印到文件' '批量打印到纸张' '信息定制' '批量打印到文件(定制型)')
widest=0
for t in "${entries[@]}"; do w=$(text_width "$t"); (( w > widest )) && widest=$w; done
entry_h=17
px=$menu_x; py=$bar_end; pw=$((widest + 40)); ph=$(( ${#entries[@]} * entry_h + 6 ))
px1=$((px + pw - 1)); py1=$((py + ph - 1))
add "fill '#000000' rectangle $px,$py $px1,$py1"
add "fill '#C0C0C0' rectangle $px,$py $((px1-1)),$((py1-1))"
add "fill '#808080' rectangle $((px+1)),$((py+1)) $((px1-1)),$((py1-1))"
add "fill '#FFFFFF' rectangle $((px+1)),$((py+1)) $((px1-2)),$((py1-2))"
add "fill '#C0C0C0' rectangle $((px+2)),$((py+2)) $((px1-2)),$((py1-2))"
y=$((py + 3))
for t in "${entries[@]}"; do
  text_at $((px + 20)) $((y + 13)) '#000000' "$t"
  y=$((y + entry_h))
done

# the red arrow: up from the drawing area, then along the menu row to the title
ay=$((menu_y + row_h / 2)); ax=$((W - 17)); tip=$((menu_x + menu_w + 3))
add "fill '#FF0000' rectangle $((ax - 2)),$((ay - 2)) $((ax + 2)),$((H - 14))"
add "rectangle $((tip + 12)),$((ay - 2)) $((ax + 2)),$((ay + 2))"
add "polygon $tip,$ay $((tip + 15)),$((ay - 8)) $((tip + 15)),$((ay + 8))"

"$im" -size ${W}x$H xc:white -font "$font" -pointsize 12 +antialias -draw "$mvg" \
  +dither -remap "$work/vga16.png" -type Palette -compress none BMP3:"$out/menu.bmp"

# The resource compiler takes the files as they are: check size and depth in
# the bitmap headers (width at byte 18, height at 22, bits per pixel at 28).
check_bmp() { # file, width, height, bits per pixel
  local got
  got=$(od -An -tu4 -j18 -N8 "$1" | tr -s ' ' | sed 's/^ //; s/ /x/')x$(od -An -tu2 -j28 -N2 "$1" | tr -d ' ')
  [ "$got" = "$2x$3x$4" ] || { echo "make-pictures: $1 is ${got}, want $2x$3x$4" >&2; exit 1; }
}
check_bmp "$out/logo.bmp" 48 48 24
check_bmp "$out/menu.bmp" 307 175 4

echo "make-pictures: wrote $out/logo.bmp, $out/menu.bmp, $out/setup.ico"
