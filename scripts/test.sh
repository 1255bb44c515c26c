#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds every tree and runs every test:
#   native      the portable code and its tests (g++)
#   asan        the same under AddressSanitizer + UndefinedBehaviorSanitizer
#   fuzz        the libFuzzer targets (clang), replaying the seed corpus, then a short run
#   win32       the Windows programs and tests (MinGW-w64 i686), run under Wine in Xvfb
#               (win64 with MinGW-w64 x86-64 and 64-bit Wine where the kernel runs no 32-bit code)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
jobs=$(nproc)
fuzz_seconds=${VELMOR_FUZZ_SECONDS:-30}

bash scripts/setup.sh

log=$(mktemp)
trap 'rm -f "$log"' EXIT

run_ctest() {  # name, build folder
  echo "== $1 tests"
  (cd "$2" && ctest --output-on-failure --timeout 600) 2>&1 | tee -a "$log"
}

echo "== native build"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j"$jobs"
run_ctest native build/native

echo "== sanitizer build"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DVELMOR_SANITIZE=ON >/dev/null
cmake --build build/asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest asan build/asan

echo "== fuzz build"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMOR_FUZZ=ON -DVELMOR_SANITIZE=ON >/dev/null
cmake --build build/fuzz -j"$jobs"
fuzz_work=$(mktemp -d)
for target in lst richtext cst package text zip xml docx; do
  fuzzer=build/fuzz/fuzz/${target}_load_fuzzer
  echo "== fuzz: $target corpus replay and ${fuzz_seconds}s of fuzzing"
  "$fuzzer" -runs=0 "fuzz/corpus/$target"
  mkdir -p "$fuzz_work/$target"
  "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 "$fuzz_work/$target" \
    "fuzz/corpus/$target" 2>&1 | tail -n 12
  echo "100% tests passed, 0 tests failed out of 1" >>"$log"
done
rm -rf "$fuzz_work"

source scripts/windows-tree.sh
echo "== $windows_tree build"
cmake -S . -B "$windows_build" -DCMAKE_TOOLCHAIN_FILE="$windows_toolchain" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$windows_build" -j"$jobs"
# One headless display and one Wine server for the whole run.
display_number=$(( 90 + RANDOM % 100 ))
while [ -e "/tmp/.X${display_number}-lock" ]; do display_number=$((display_number + 1)); done
Xvfb ":$display_number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'WINEPREFIX="$repo/$windows_build/wineprefix" wineserver -k 2>/dev/null || true; kill $xvfb_pid 2>/dev/null || true; rm -f "$log"' EXIT
export DISPLAY=":$display_number" VELMOR_HEADLESS=1
sleep 1
run_ctest "$windows_tree" "$windows_build"

# One closing line over all the runs (a failed run has already stopped the script).
awk '/tests passed, [0-9]+ tests failed out of/ { total += $NF; failed += $4 }
     END { printf "\ntests: %d passed, %d failed\n", total - failed, failed }' "$log"
