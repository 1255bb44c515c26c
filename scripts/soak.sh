#!/usr/bin/env bash
# Long soak runs of both editors' real windows under Wine:
#   scripts/soak.sh [STEPS] [SEED] [tarvik|oblen|both]
# A failing run prints the step and the command line that replays it.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
steps=${1:-100000}
seed=${2:-1}
which=${3:-both}

source scripts/windows-tree.sh
cmake -S . -B "$windows_build" -DCMAKE_TOOLCHAIN_FILE="$windows_toolchain" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$windows_build" -j"$(nproc)" --target tarvik_soak oblen_soak >/dev/null

export VELMOR_HEADLESS=1  # nobody watches: Wine need not wait for a window manager
status=0
for editor in tarvik oblen; do
  [ "$which" = both ] || [ "$which" = "$editor" ] || continue
  echo "== $editor: $steps steps, seed $seed"
  start=$(date +%s)
  # A prefix of its own: a long run goes on beside the test suite without sharing its Wine.
  scripts/wine-run.sh --prefix "$repo/$windows_build/soak-prefix" \
    "$windows_build/tests/${editor}_soak.exe" --steps "$steps" --seed "$seed" \
    | grep -a -E '^soak:|^  window|Failure|unexpected|trace|^ *Actual|^Expected|OK \]|FAILED \]' || status=1
  echo "   $(( $(date +%s) - start )) s"
done
exit $status
