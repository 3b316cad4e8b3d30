#!/usr/bin/env bash
# Builds the .deb as the README does (without installing it) and checks its control fields and
# contents: the project's version, library dependencies found in the binary, the platform
# plugins and the Japanese font, and the files of a desktop program under /usr.
# Usage: deb_package.sh CPACK CPACK_CONFIG WORK_DIR VERSION APP_ID
set -euo pipefail
cpack=$1 config=$2 work=$3 version=$4 id=$5

rm -rf "$work"
mkdir -p "$work"
"$cpack" --config "$config" -B "$work" >"$work/cpack.log" || { cat "$work/cpack.log"; exit 1; }
deb=$(find "$work" -maxdepth 1 -name 'brinmoor_*.deb')
[ -n "$deb" ] || { echo "FAIL: no brinmoor_*.deb in $work"; cat "$work/cpack.log"; exit 1; }

fail=0
bad() { echo "FAIL: $*"; fail=1; }
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = brinmoor ] || bad "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || bad "Version is '$(field Version)'"
depends=$(field Depends)
# libqt6widgets6 and libc6 can only come from dpkg-shlibdeps reading the binary.
for dep in libqt6widgets6 libc6 qt6-qpa-plugins fonts-ipafont-gothic; do
    grep -qE "(^|, )$dep( |,|$)" <<<"$depends" || bad "Depends lacks $dep: $depends"
done

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for path in ./usr/bin/Brinmoor ./usr/share/applications/$id.desktop \
    ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/$id.svg \
    ./usr/share/icons/hicolor/16x16/apps/$id.png ./usr/share/doc/brinmoor/copyright; do
    grep -qxF "$path" <<<"$contents" || bad "the package lacks $path"
done

[ $fail -eq 0 ] && echo "$(basename "$deb"): $(stat -c %s "$deb") bytes; Depends: $depends"
exit $fail
