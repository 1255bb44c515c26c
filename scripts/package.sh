#!/usr/bin/env bash
# Builds what a teacher downloads: dist/Velmor-<version>-setup.exe (NSIS, per user, no
# administrator rights) and dist/Velmor-<version>-portable.zip, from an optimised build of
# the Windows programs without debug information.
#   scripts/package.sh [win32|win64]
# win32 (the default) is what ships; win64 is for machines whose kernel runs no 32-bit code,
# where the installer test runs the x86-64 build under 64-bit Wine.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
arch=${1:-win32}
case "$arch" in
  win32) toolchain=cmake/mingw-i686.cmake strip=i686-w64-mingw32-strip nsis_target= ;;
  win64) toolchain=cmake/mingw-x86_64.cmake strip=x86_64-w64-mingw32-strip nsis_target=-DAMD64 ;;
  *) echo "usage: scripts/package.sh [win32|win64]" >&2; exit 64 ;;
esac
version=$(head -n 1 VERSION)
build=build/$arch-release
stage=$build/stage
dist=$(realpath -m "${VELMOR_DIST:-$repo/dist}")

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target Tarvik Oblen banktool >/dev/null

rm -rf "$stage"
mkdir -p "$stage/示例题库" "$stage/说明图片" "$dist"
for program in tarvik/Tarvik oblen/Oblen tools/banktool; do
  "$strip" -o "$stage/$(basename "$program").exe" "$build/$program.exe"
done
cp examples/Date.dat "$stage/"
cp examples/choice.lst examples/questionnaire.lst examples/peer-review.lst "$stage/示例题库/"
cp installer/使用说明.html "$stage/"
cp installer/说明图片/*.png "$stage/说明图片/"

setup="$dist/Velmor-$version-setup.exe"
portable="$dist/Velmor-$version-portable.zip"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$repo/$stage" \
  -DOUTFILE="$setup" -DICON="$repo/tarvik/resources/tarvik.ico" $nsis_target \
  installer/velmor.nsi
rm -f "$portable"
(cd "$stage" && zip -q -r -X "$portable" .)

size() { stat -c %s "$1"; }
printf "%s  %d bytes (%s MB)\n" "$setup" "$(size "$setup")" "$(awk "BEGIN{printf \"%.1f\", $(size "$setup") / 1048576}")"
printf "%s  %d bytes (%s MB)\n" "$portable" "$(size "$portable")" "$(awk "BEGIN{printf \"%.1f\", $(size "$portable") / 1048576}")"
if [ "$(size "$setup")" -ge $((5 * 1024 * 1024)) ]; then
  echo "the installer is 5 MB or more" >&2
  exit 1
fi
