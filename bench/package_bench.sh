#!/usr/bin/env bash
# Pack + unpack of a tree of 2,000 files / 100 MB under Wine against Wine's own xcopy /e /i
# of the same tree. Both run as one Wine process each, timed from outside the same way, best
# of three rounds; prints the ratio (goal: at most 1.5).
#
#   bench/package_bench.sh [build/win32]      needs the win32 tree built
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build/win32}" && pwd)
exe=$build/bench/package_bench.exe
[ -f "$exe" ] || { echo "build $exe first" >&2; exit 1; }
prefix=$build/wineprefix
run=("$repo/scripts/wine-run.sh" --prefix "$prefix")

work=$(mktemp -d "$build/package-bench.XXXXXX")
xvfb_pid=
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  display_number=$(( 200 + RANDOM % 100 ))
  while [ -e "/tmp/.X${display_number}-lock" ]; do display_number=$((display_number + 1)); done
  Xvfb ":$display_number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display_number"
  sleep 1
fi

# 40 folders of 50 files, sizes spread around 52 KB: 2,000 files, 100 MB.
python3 - "$work/src" <<'PY'
import os, random, sys
root = sys.argv[1]
random.seed(1)
block = bytes(random.randrange(256) for _ in range(1 << 20))
total = 0
for f in range(40):
    folder = os.path.join(root, "folder%02d" % f, "inner")
    os.makedirs(folder)
    for n in range(50):
        size = random.randrange(4 * 1024, 100 * 1024) if (f, n) != (39, 49) else 0
        size = min(size, 100 * 1000 * 1000 - total)
        with open(os.path.join(folder, "file%03d.dat" % n), "wb") as out:
            offset = random.randrange(len(block) - size) if size < len(block) else 0
            out.write(block[offset:offset + size])
        total += size
print("tree: 2000 files, %.1f MB" % (total / 1e6))
PY

windows() { echo "Z:${1//\//\\}"; }
WINEPREFIX=$prefix WINEDEBUG=-all wineserver -p 2>/dev/null || true
"${run[@]}" cmd /c echo warm >/dev/null 2>&1 || true

seconds() { date +%s.%N; }
best_ours=999 best_xcopy=999
for round in 1 2 3; do
  rm -rf "$work/ours" "$work/xcopy"
  start=$(seconds)
  line=$("${run[@]}" "$exe" "$(windows "$work/src")" "$(windows "$work/ours")" | tr -d '\r')
  ours=$(awk -v a="$(seconds)" -v b="$start" 'BEGIN { print a - b }')
  start=$(seconds)
  "${run[@]}" xcopy /e /i /q "$(windows "$work/src")" "$(windows "$work/xcopy")" >/dev/null 2>&1
  xcopy=$(awk -v a="$(seconds)" -v b="$start" 'BEGIN { print a - b }')
  echo "round $round: pack + unpack ${ours}s ($line), xcopy ${xcopy}s"
  diff -r "$work/src" "$work/ours" >/dev/null || { echo "unpacked tree differs" >&2; exit 1; }
  diff -r "$work/src" "$work/xcopy" >/dev/null || { echo "xcopy tree differs" >&2; exit 1; }
  best_ours=$(awk -v a="$ours" -v b="$best_ours" 'BEGIN { print (a < b) ? a : b }')
  best_xcopy=$(awk -v a="$xcopy" -v b="$best_xcopy" 'BEGIN { print (a < b) ? a : b }')
done
printf 'pack + unpack           %.3f s\n' "$best_ours"
printf 'xcopy /e /i             %.3f s\n' "$best_xcopy"
printf 'time ratio              %.2f     (goal: at most 1.5)\n' \
  "$(awk -v a="$best_ours" -v b="$best_xcopy" 'BEGIN { print a / b }')"
