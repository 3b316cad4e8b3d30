#!/usr/bin/env bash
# Starts the installed program in its own X server and reads what a task bar reads: the
# window's _NET_WM_ICON must carry the icon at every rendered size, with a 16 px picture that is
# not empty, and WM_CLASS must match the menu entry's StartupWMClass.
# Usage: window_icon.sh PREFIX APP_ID ICON_SIZE...
set -euo pipefail
prefix=$1 id=$2
shift 2
sizes=("$@")

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait || true; rm -rf "$work"' EXIT
# -displayfd writes a free display's number once the server accepts clients.
exec {ready}<> <(:)
Xvfb -displayfd "$ready" -screen 0 1280x800x24 -nolisten tcp 2>"$work/xvfb.log" &
read -r -t 10 number <&"$ready" || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$number QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work

"$prefix/bin/Brinmoor" 2>"$work/app.log" &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$app_pid" | head -n1) || true
[ -n "$window" ] || { echo "FAIL: no window from $prefix/bin/Brinmoor"; cat "$work/app.log"; exit 1; }

fail=0
bad() { echo "FAIL: $*"; fail=1; }
# The property is width, height, then width × height ARGB pixels, once per size; -len lifts
# xprop's default cut-off, which would drop the larger sizes.
xprop -len 16000000 -id "$window" -notype 32c _NET_WM_ICON | sed 's/^[^=]*= *//; s/, */\n/g' >"$work/icon"
read -r found opaque16 < <(awk '
    BEGIN { n = 0 }
    { v[n++] = $1 }
    END {
        i = 0; list = ""; opaque = -1
        while (i + 1 < n) {
            w = v[i]; h = v[i + 1]
            if (w == 16 && h == 16) {
                opaque = 0
                for (p = 0; p < 256; p++) if (int(v[i + 2 + p] / 16777216) >= 128) opaque++
            }
            list = list (list == "" ? "" : ",") w "x" h
            i += 2 + w * h
        }
        print (list == "" ? "none" : list), opaque
    }' "$work/icon")
expected=$(printf '%s\n' "${sizes[@]}" | sort -n | awk '{ printf "%s%sx%s", (NR > 1 ? "," : ""), $1, $1 }')
found=$(tr ',' '\n' <<<"$found" | sort -t x -k1,1n | paste -sd,)
[ "$found" = "$expected" ] || bad "window icon sizes are '$found', expected '$expected'"
# The white tile fills most of the 16 px icon; a blank or failed image has no opaque pixel.
[ "$opaque16" -ge 128 ] || bad "the 16 px window icon has $opaque16 opaque pixels of 256"

wm_class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= "[^"]*", "\([^"]*\)".*/\1/p')
startup=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/$id.desktop")
[ "$wm_class" = "$startup" ] || bad "WM_CLASS class '$wm_class' differs from StartupWMClass '$startup'"

[ $fail -eq 0 ] && echo "window icon $found, 16 px: $opaque16 opaque pixels; WM_CLASS $wm_class"
exit $fail
