#!/usr/bin/env bash
# classroom_copy_x11.sh OUT-DIR COMMAND...: in a private Xvfb, after a drag onto a rectangle,
# Ctrl+C; xclip reads a PNG off the clipboard while the program (COMMAND: the desktop Brinmoor,
# or wine and Brinmoor.exe) runs. It is the window as the screen shows it, but for the
# controls' corner, which it leaves white and grid.
set -euo pipefail
mkdir -p "$1" && cd "$1"
shift
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
# Under Wine, the clipboard is served on the display of Wine's desktop process: play there.
if [ -n "${WINEPREFIX:-}" ]; then
    DISPLAY=$(cat "$WINEPREFIX.display")
else
    exec {ready}<> <(:)
    Xvfb -displayfd "$ready" -screen 0 1280x1024x24 -nolisten tcp >xvfb.log 2>&1 &
    read -r -t 10 number <&"$ready"
    DISPLAY=":$number"
fi
export DISPLAY
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 "$@" >program.log 2>&1 &
w=$(xdotool search --sync --onlyvisible --name 'by Tolvane' | head -n 1)
xdotool windowfocus --sync "$w" mousemove --window "$w" 800 300 mousedown 1 \
    mousemove --window "$w" 819 327 mousemove --window "$w" 838 354 mouseup 1 sleep 0.5
import -window "$w" screen.png
xdotool key --window "$w" ctrl+c sleep 0.5
xclip -selection clipboard -t TARGETS -o | grep -qx image/png
xclip -selection clipboard -t image/png -o >copied.png
for shot in screen copied; do # sizes must match too, or compare fails
    convert $shot.png -fill black -draw 'rectangle 0,0 270,175' $shot-board.png
done
differing=$(compare -metric AE screen-board.png copied-board.png null: 2>&1 || true)
corner=$(convert copied.png -crop 271x176+0+0 -unique-colors -format %k info:)
echo "$differing pixels differ from the screen outside the controls' corner; $corner colours in it"
[ "$differing" = 0 ] && [ "$corner" -le 2 ]
