#!/usr/bin/env bash
# orca_hears.sh BRINMOOR OUT-DIR: what Orca, the screen reader, says while a pupil works, on a
# private X server, session bus and accessibility bus. What Orca said during each step (XTEST
# keys, clicks, a drag), the SPEECH OUTPUT lines of its debug file, written whether or not a
# speech server runs (none can be found here), must match the step's pattern, and never the
# window's caption.
set -euo pipefail
program=$(realpath "$1")
mkdir -p "$2/settings" "$2/run" && chmod 700 "$2/run" && cd "$2" && rm -f orca.out starts
export QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LANG=C.UTF-8 \
    XDG_RUNTIME_DIR=$PWD/run XDG_CONFIG_HOME=$PWD SPEECHD_ADDRESS=unix_socket:$PWD/none
exec {ready}<> <(:) {bus}<> <(:)
Xvfb -displayfd "$ready" -screen 0 1280x1024x24 -nolisten tcp >xvfb.log 2>&1 &
trap 'kill $(jobs -p) 2>/dev/null; wait' EXIT
read -r -t 10 number <&"$ready"
export DISPLAY=":$number"
dbus-daemon --session --nofork --print-address="$bus" >bus.log 2>&1 &
read -r -t 10 DBUS_SESSION_BUS_ADDRESS <&"$bus"
export DBUS_SESSION_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately >a11y-bus.log 2>&1 &
"$program" >program.log 2>&1 &
w=$(xdotool search --sync --onlyvisible --name 'by Tolvane' | head -n 1)
xdotool windowfocus --sync "$w"
# Orca as /usr/bin/orca starts it, but writing its debug file line by line: ready once it has
# presented the window and its first control, which takes it a few seconds.
/usr/bin/python3 -I -c 'import builtins, runpy
opened = builtins.open
builtins.open = lambda f, m="r", b=-1, *a, **k: opened(f, m, 1 if f == "orca.out" else b, *a, **k)
runpy.run_path("/usr/bin/orca", run_name="__main__")' \
    -u settings --debug-file orca.out >orca.log 2>&1 &
orca=$!
for _ in {1..150}; do grep -qs "SPEECH OUTPUT: '初期画面" orca.out && break || sleep 0.2; done
at="mousemove --window $w"
steps=( # name|what Orca must say, a bash regular expression|xdotool's commands
    "Shift+Tab to the surface|図 canvas.*うった点は0個です|key shift+Tab"
    "three Right arrows|notification 点Ａは、点Ｂから右へ2\.3|key --delay 60 Right Right Right"
    "a click on 点をうつ|うった点は1個です|$at 52 95 click 1"
    "a drag lighting AFED|長方形です（水色）|$at 800 100 mousedown 1 $at 838 154 mouseup 1"
    "a click that changes nothing|^$|click 1"
    "Space on 点をけす|点をうつ push button.*うった点は0個です|key shift+Tab space")
for step in "${steps[@]}"; do
    date +%T.%N >>starts
    xdotool ${step##*|}
    sleep 3
done
kill "$orca" && wait "$orca" || true
date +%T.%N >>starts
mapfile -t starts <starts
failed=0
for i in "${!steps[@]}"; do
    IFS='|' read -r name expected _ <<<"${steps[$i]}"
    said=$(awk -F "SPEECH OUTPUT: '" -v from="${starts[$i]}" -v to="${starts[$i + 1]}" -v q="'" \
        '$1 >= from && $1 < to && NF > 1 { sub(q " ?[{v].*", "", $2); print $2 }' orca.out)
    printf '%s:\n%s\n' "$name" "${said:-(nothing)}" | sed '2,$s/^/    /'
    [[ $said =~ $expected && $said != *Tolvane* ]] || { echo "    FAILED: $expected"; failed=1; }
done
exit "$failed"
