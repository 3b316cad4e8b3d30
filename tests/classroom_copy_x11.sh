#!/usr/bin/env bash
# Ctrl+C in the real program under a private Xvfb: another program (xclip) reads a PNG off the
# clipboard while Brinmoor runs, and it is the window as the screen shows it, after a drag onto
# a rectangle, except where the controls and their panels stand, which it leaves out.
# classroom_copy_x11.sh BRINMOOR OUT-DIR
set -euo pipefail
program=$1 out=$2
mkdir -p "$out"
exec {ready}<> <(:)
Xvfb -displayfd "$ready" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $program_pid $xvfb 2>/dev/null || true' EXIT
read -r -t 10 number <&"$ready"
export DISPLAY=":$number"
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 "$program" >"$out/program.log" 2>&1 &
program_pid=$!
window=$(xdotool search --sync --onlyvisible --name 'by Tolvane' | head -n 1)
xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" 800 300 mousedown 1 mousemove --window "$window" 819 327 \
    mousemove --window "$window" 838 354 mouseup 1
sleep 0.5
import -window "$window" "$out/screen.png"
xdotool key --window "$window" ctrl+c
sleep 0.5
xclip -selection clipboard -t TARGETS -o | grep -qx image/png
xclip -selection clipboard -t image/png -o >"$out/copied.png"

size=$(identify -format %wx%h "$out/screen.png")
[ "$(identify -format %wx%h "$out/copied.png")" = "$size" ] || { echo "copied at another size than $size"; exit 1; }
# The controls and their panels lie within 270 x 175 at the top left.
for shot in screen copied; do
    convert "$out/$shot.png" -fill black -draw 'rectangle 0,0 270,175' "$out/$shot-board.png"
done
board=$(compare -metric AE "$out/screen-board.png" "$out/copied-board.png" null: 2>&1 || true)
[ "$board" = 0 ] || { echo "the copied board differs from the screen in $board pixels"; exit 1; }
colours=$(convert "$out/copied.png" -crop 270x175+0+0 -unique-colors -format %k info:)
[ "$colours" -le 2 ] || { echo "the controls' corner of the copy has $colours colours, not white and grid"; exit 1; }
echo "xclip read image/png, $size, equal to the screen outside the controls, which it leaves out"
