#!/usr/bin/env bash
# The Wine the Windows tests run Brinmoor.exe in: one prefix per build folder (else Wine quietly
# makes ~/.wine), with the crash dialog off (a crash would wait for a click in Xvfb), and a
# persistent wineserver started before the tests, detached from CTest's pipes (else every test
# waits for Wine's helpers, which hold its output open), and stopped after them. Wine's desktop
# process lives as long as the wineserver and tells every program the screen's size, so it
# gets an X server of its own, of the tests' screen size, for as long; its display number goes
# to PREFIX.display. Wine's clipboard lives in that process too, on that display.
# Usage: wine.sh start|stop PREFIX
set -euo pipefail
action=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=$WINEPREFIX.xvfb.pid

stop()
{
    wineserver -k </dev/null >/dev/null 2>&1 || true
    [ -f "$xvfb_pid" ] && kill "$(cat "$xvfb_pid")" 2>/dev/null || true
    rm -f "$xvfb_pid"
}

case $action in
start)
    stop # what an interrupted run left
    mkdir -p "$WINEPREFIX"
    exec {ready}<> <(:)
    setsid Xvfb -displayfd "$ready" -screen 0 1920x1200x24 -dpi 96 -nolisten tcp \
        </dev/null >"$WINEPREFIX.xvfb.log" 2>&1 &
    echo $! >"$xvfb_pid"
    read -r -t 10 number <&"$ready"
    export DISPLAY=":$number"
    echo "$DISPLAY" >"$WINEPREFIX.display"
    setsid wineserver -p </dev/null >/dev/null 2>&1
    [ -f "$WINEPREFIX/system.reg" ] || echo "Making the Wine prefix $WINEPREFIX (once per build folder)"
    wineboot </dev/null >"$WINEPREFIX.log" 2>&1 || { cat "$WINEPREFIX.log"; exit 1; }
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        </dev/null >/dev/null 2>&1
    echo "wineserver $(wine --version) running for $WINEPREFIX, its desktop on $DISPLAY"
    ;;
stop)
    stop
    ;;
esac
