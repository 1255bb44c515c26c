#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the Windows programs and starts them under Wine
# (in a Chinese locale, on the current X display or a headless one when there is none).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

bash scripts/setup.sh

source scripts/windows-tree.sh
cmake -S . -B "$windows_build" -DCMAKE_TOOLCHAIN_FILE="$windows_toolchain" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$windows_build" -j"$(nproc)"

wine_run() { scripts/wine-run.sh --prefix "$repo/$windows_build/wineprefix" "$@"; }

started=0
for program in Tarvik Oblen; do
  exe=$(find "$windows_build" -name "$program.exe" -print -quit)
  if [ -n "$exe" ]; then
    echo "starting $exe"
    wine_run "$exe" &
    started=$((started + 1))
  fi
done

if [ "$started" -eq 0 ]; then
  echo "The Windows programs Tarvik.exe and Oblen.exe are not built yet. Built so far:"
  find "$windows_build" -name '*.exe' -not -path '*/wineprefix/*' -not -path '*/CMakeFiles/*' | sed 's/^/  /'
  echo "banktool.exe under Wine, dumping an example bank:"
  wine_run "$windows_build/tools/banktool.exe" dump "Z:$repo/fuzz/corpus/lst/example.lst"
else
  wait
fi
