#!/usr/bin/env bash
# Runs every fuzz target for a while and says what each found:
#   scripts/fuzz.sh SECONDS [JOBS]
# Builds build/fuzz (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) when
# needed, runs each target for SECONDS over a scratch copy of its seed corpus (JOBS targets at
# once, default the number of cores), and prints per target the runs, the corpus growth and
# any crash, leak or timeout input, which is kept in build/fuzz/findings/TARGET/.
# Exit status 1 when anything was found.
set -euo pipefail

seconds=${1:?"usage: scripts/fuzz.sh SECONDS [JOBS]"}
jobs=${2:-$(nproc)}
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

if [ ! -x build/fuzz/fuzz/lst_load_fuzzer ]; then
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMOR_FUZZ=ON -DVELMOR_SANITIZE=ON >/dev/null
fi
cmake --build build/fuzz -j"$(nproc)" >/dev/null

targets=(lst richtext cst package text)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run_target() {
  local target=$1 findings="build/fuzz/findings/$1"
  mkdir -p "$work/$target" "$findings"
  "build/fuzz/fuzz/${target}_load_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work/$target" "fuzz/corpus/$target" \
    >"$work/$target.log" 2>&1 || true
}

running=0
for target in "${targets[@]}"; do
  run_target "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

found=0
printf '%-10s %14s %10s %8s  %s\n' target runs "exec/s" corpus findings
for target in "${targets[@]}"; do
  log="$work/$target.log"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n1)
  corpus=$(ls "$work/$target" | wc -l)
  artifacts=$(ls "build/fuzz/findings/$target" 2>/dev/null | wc -l)
  if grep -qE '^SUMMARY|ERROR: libFuzzer|==ERROR' "$log" || [ "$artifacts" -gt 0 ]; then
    found=1
    what="$(grep -m1 -E '^SUMMARY|ERROR' "$log" || true); inputs in build/fuzz/findings/$target"
  else
    what="none"
  fi
  printf '%-10s %14s %10s %8s  %s\n' "$target" "${runs:-?}" "${speed:-?}" "+$corpus" "$what"
done
exit "$found"
