#!/usr/bin/env bash
# Starts the installed program in its own X server and reads what a task bar reads: the
# window's _NET_WM_ICON must carry the icon at every rendered size, with a 16 px picture that is
# not empty, and WM_CLASS must match the menu entry's StartupWMClass.
# Usage: window_icon.sh PREFIX APP_ID ICON_SIZE...
set -euo pipefail
prefix=$1 id=$2
shift 2

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait || true; rm -rf "$work"' EXIT
# -displayfd writes a free display's number once the server accepts clients.
exec {ready}<> <(:)
Xvfb -displayfd "$ready" -screen 0 1280x800x24 -nolisten tcp 2>"$work/xvfb.log" &
read -r -t 10 number <&$ready || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$number QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work

"$prefix/bin/Brinmoor" 2>"$work/app.log" &
window=$(timeout 20 xdotool search --sync --onlyvisible --pid $! | head -n1) || true
[ -n "$window" ] || { echo "FAIL: no window from bin/Brinmoor"; cat "$work/app.log"; exit 1; }

fail=0
bad() { echo "FAIL: $*"; fail=1; }
# The property is width, height, then width × height ARGB pixels, once per size; -len lifts
# xprop's default cut-off, which would drop the larger sizes. awk prints the opaque pixels
# (alpha 128 or more) of the 16 px picture, then every size.
xprop -len 16000000 -id "$window" -notype 32c _NET_WM_ICON | sed 's/.*= //; s/, /\n/g' >"$work/icon"
{ read -r opaque16; found=$(sort -n | paste -sd,); } < <(awk '{ v[NR - 1] = $1 } END {
    for (i = 0; i + 1 < NR; i += 2 + v[i] * v[i + 1])
        if (v[i] == 16 && v[i + 1] == 16)
            for (p = 0; p < 256; p++) opaque += v[i + 2 + p] >= 2^31
    print opaque + 0
    for (i = 0; i + 1 < NR; i += 2 + v[i] * v[i + 1]) print v[i] "x" v[i + 1] }' "$work/icon")
expected=$(for s in "$@"; do echo "${s}x$s"; done | sort -n | paste -sd,)
[ "$found" = "$expected" ] || bad "window icon sizes are '$found', expected '$expected'"
# The white tile fills most of the 16 px icon; a blank or failed image has no opaque pixel.
[ "$opaque16" -ge 128 ] || bad "the 16 px window icon has $opaque16 opaque pixels of 256"

wm_class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= "[^"]*", "\([^"]*\)".*/\1/p')
startup=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/$id.desktop")
[ "$wm_class" = "$startup" ] || bad "WM_CLASS '$wm_class' differs from StartupWMClass '$startup'"

[ $fail -eq 0 ] && echo "window icon $found, 16 px: $opaque16 opaque pixels; WM_CLASS $wm_class"
exit $fail
