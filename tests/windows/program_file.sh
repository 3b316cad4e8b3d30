#!/usr/bin/env bash
# Reads the built Brinmoor.exe back as Windows would meet it: a 64-bit GUI program of at most
# 2 MB that imports only DLLs every Windows 10 PC has, with its version information (the
# project's version, company, product, Japanese), its icon sizes and its manifest.
# Usage: program_file.sh BRINMOOR_EXE WORK_DIR MAJOR MINOR VERSION
set -euo pipefail
exe=$1 work=$2 major=$3 minor=$4 version=$5

rm -rf "$work"
mkdir -p "$work"
fail=0
problem() { echo "FAIL: $*"; fail=1; }

x86_64-w64-mingw32-objdump -p "$exe" >"$work/headers.txt"
grep -q '^Magic.*PE32+' "$work/headers.txt" || problem "not a 64-bit program"
grep -q '^Subsystem.*Windows GUI' "$work/headers.txt" || problem "not a GUI program"
size=$(stat -c %s "$exe")
[ "$size" -le $((2 * 1024 * 1024)) ] || problem "$size bytes, more than 2 MB"
system_dlls=' KERNEL32.dll USER32.dll GDI32.dll gdiplus.dll ole32.dll OLEAUT32.dll UxTheme.dll msvcrt.dll '
imports=$(sed -n 's/^\s*DLL Name: //p' "$work/headers.txt" | tr '\n' ' ')
for dll in $imports; do
    [[ "$system_dlls" == *" $dll "* ]] || problem "imports $dll, which is not part of every Windows"
done

x86_64-w64-mingw32-windres -J coff -i "$exe" -O rc -o "$work/readback.rc"
numeric="$((10#$major)), $((10#$minor)), 0, 0"
for line in "FILEVERSION $numeric" "PRODUCTVERSION $numeric" \
    "VALUE \"FileVersion\", \"$version\"" "VALUE \"ProductVersion\", \"$version\"" \
    "VALUE \"CompanyName\", \"Tolvane\"" "VALUE \"ProductName\", \"Brinmoor\"" \
    "VALUE \"InternalName\", \"Brinmoor\"" "VALUE \"OriginalFilename\", \"Brinmoor.exe\"" \
    "LANGUAGE 17, 1" "VALUE \"Translation\", 0x411, 1200"; do
    grep -qF -- "$line" "$work/readback.rc" || problem "the version information lacks: $line"
done
icons=$(grep -c 'RT_ICON \*/$' "$work/readback.rc" || true)
[ "$icons" -eq 7 ] || problem "$icons icon images, not the 7 sizes from 16 to 256"
grep -q 'RT_MANIFEST' "$work/readback.rc" || problem "no manifest"
for setting in PerMonitorV2 Microsoft.Windows.Common-Controls '>UTF-8<'; do
    grep -qF -- "$setting" "$exe" || problem "the manifest lacks $setting"
done
[ $fail -eq 0 ] || exit 1
echo "Brinmoor.exe: $size bytes, imports $imports; version $(grep -F FILEVERSION "$work/readback.rc" | xargs), \"$version\""
