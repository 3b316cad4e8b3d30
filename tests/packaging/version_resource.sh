#!/usr/bin/env bash
# Compiles the generated Windows version resource with MinGW's windres and reads it back: the
# numeric and the text versions must be the project's.
# Usage: version_resource.sh VERSION_RC WORK_DIR MAJOR MINOR VERSION
set -euo pipefail
rc=$1 work=$2 major=$3 minor=$4 version=$5
windres=x86_64-w64-mingw32-windres

rm -rf "$work"
mkdir -p "$work"
# Without the MinGW compiler, the host's cpp preprocesses; the MinGW headers then need the
# target's _WIN32 and the API family macros that the MinGW compiler would bring in.
flags=(--preprocessor=cpp --preprocessor-arg=-D_WIN32 --preprocessor-arg=-D_WIN64
    --preprocessor-arg=-includewinapifamily.h -I/usr/share/mingw-w64/include)
"$windres" "${flags[@]}" -i "$rc" -O coff -o "$work/version.o"
"$windres" "${flags[@]}" -i "$rc" -O res -o "$work/version.res"
"$windres" -i "$work/version.res" -O rc -o "$work/readback.rc"

numeric="$((10#$major)), $((10#$minor)), 0, 0"
fail=0
for line in "FILEVERSION $numeric" "PRODUCTVERSION $numeric" \
    "VALUE \"FileVersion\", \"$version\"" "VALUE \"ProductVersion\", \"$version\"" \
    "VALUE \"CompanyName\", \"Tolvane\"" "VALUE \"ProductName\", \"Brinmoor\"" \
    "LANGUAGE 17, 1" "VALUE \"Translation\", 0x411, 1200"; do
    grep -qF -- "$line" "$work/readback.rc" || { echo "FAIL: the resource lacks: $line"; fail=1; }
done
[ $fail -eq 0 ] || { cat "$work/readback.rc"; exit 1; }
echo "version resource compiled: $(grep -F FILEVERSION "$work/readback.rc" | xargs), \"$version\""
