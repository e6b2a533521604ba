#!/usr/bin/env bash
# Lays out the Windows release from the cross-build in WIN_BUILD (build-win) and zips it as
# WIN_BUILD/kaleth-<version>-win64.zip: the programs, kaleth.pak, the DejaVu faces the capture's
# sheet is lettered with, README.txt, the licences and file_id.diz, text in Windows' line ends.
set -euo pipefail

win=$(realpath "${1:?usage: make-win-release.sh WIN_BUILD}")
root=$(cd "$(dirname "$0")/.." && pwd)
cmake_build="$win/cmake"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$cmake_build/CMakeCache.txt")
[[ -n "$version" ]] || { echo "make-win-release: no version in $cmake_build/CMakeCache.txt" >&2; exit 1; }
name="kaleth-$version-win64"
stage="$win/release/$name"
rm -rf "$win/release" && mkdir -p "$stage/fonts"

for program in kaleth kaleth-dx kaleth-capture kaleth-pak; do
  x86_64-w64-mingw32-strip -o "$stage/$program.exe" "$cmake_build/$program.exe"
done
cp "$cmake_build/kaleth.pak" "$stage/"
fonts=/usr/share/fonts/truetype/dejavu
for face in DejaVuSans DejaVuSans-Bold DejaVuSerif DejaVuSerif-Bold DejaVuSansMono-Bold; do
  cp "$fonts/$face.ttf" "$stage/fonts/"
done

# Text for Notepad: CRLF line ends.
crlf() { sed -e 's/\r$//' -e 's/$/\r/'; }
sed "s/@VERSION@/$version/g" "$root/packaging/windows/README.txt.in" | crlf >"$stage/README.txt"
sed "s/@VERSION@/$version/g" "$root/packaging/windows/file_id.diz.in" | crlf >"$stage/file_id.diz"
sed 's#/usr/share/games/kaleth/kaleth.pak#kaleth.pak#' "$root/packaging/copyright" | crlf >"$stage/LICENSE.txt"
{
  echo "The libraries built into the programs, from Debian's source packages, and the fonts."
  for library in sdl2 libxmp libpng zlib freetype; do
    copyright=$(find "$win/deps/source/$library" -maxdepth 3 -path '*/debian/copyright' | head -1)
    [[ -n "$copyright" ]] || { echo "make-win-release: no licence of $library in $win/deps/source" >&2; exit 1; }
    printf '\n==== %s %s ====\n\n' "$library" "$(cat "$win/deps/$library.built")"
    cat "$copyright"
  done
  printf '\n==== DejaVu fonts (fonts\\) ====\n\n'
  cat /usr/share/doc/fonts-dejavu-core/copyright
} | crlf >"$stage/THIRD-PARTY.txt"

rm -f "$win/$name.zip"
(cd "$win/release" && zip -q -X -r "$win/$name.zip" "$name")
echo "make-win-release: $win/$name.zip ($(du -k "$win/$name.zip" | cut -f1) kB)"
