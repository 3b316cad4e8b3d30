#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks it holds exactly the program, its menu
# entry, its icons, its metadata and its licence, and that each PNG has the size its folder names.
# Usage: install_listing.sh CMAKE BUILD_DIR PREFIX APP_ID ICON_SIZE...
set -euo pipefail
cmake=$1 build=$2 prefix=$3 id=$4
shift 4

rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

fail=0
bad() { echo "FAIL: $*"; fail=1; }
expected=(
    bin/Brinmoor
    share/applications/$id.desktop
    share/doc/brinmoor/copyright
    share/icons/hicolor/scalable/apps/$id.svg
    share/metainfo/$id.metainfo.xml
)
# PNG width and height are the big-endian words at bytes 16 and 20 of the IHDR chunk.
for s in "$@"; do
    png=share/icons/hicolor/${s}x${s}/apps/$id.png
    expected+=("$png")
    [ -f "$prefix/$png" ] || continue
    read -r w h < <(od -An -tu4 --endian=big -j16 -N8 "$prefix/$png")
    [ "$w $h" = "$s $s" ] || bad "$png is ${w}x${h}"
done
diff -u <(printf '%s\n' "${expected[@]}" | sort) <(find "$prefix" -type f -printf '%P\n' | sort) ||
    bad "the installed files differ from the expected list (- expected, + installed)"
[ -x "$prefix/bin/Brinmoor" ] || bad "bin/Brinmoor is not executable"

# The menu entry must name what was installed: the icon by its id and the program by its name.
desktop=$prefix/share/applications/$id.desktop
if [ -f "$desktop" ]; then
    grep -qx "Icon=$id" "$desktop" || bad "Icon= does not name $id"
    exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    [ -x "$prefix/bin/$exec_name" ] || bad "Exec=$exec_name is not in bin/"
fi

[ $fail -eq 0 ] && echo "installed ${#expected[@]} files into $prefix"
exit $fail
