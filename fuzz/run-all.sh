#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target (or the ones named) for SECONDS each and prints, per target, the
# executions and the findings (crash, leak, timeout, out-of-memory, sanitizer report).
# Exits 1 when any target found anything; the inputs that did are kept under build-fuzz/work/.
#
#   fuzz/run-all.sh SECONDS [TARGET...]     e.g. fuzz/run-all.sh 30, fuzz/run-all.sh 600 z80_reader
#
# FUZZ_PARALLEL=N runs N targets at a time (default 1). FUZZ_BUILD_DIR overrides build-fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
all_targets=(zx81_reader zx80_reader sna_reader z80_reader szx_reader zx81_generate zx80_generate spectrum_generate)
targets=("${@:-${all_targets[@]}}")
build=${FUZZ_BUILD_DIR:-build-fuzz}
parallel=${FUZZ_PARALLEL:-1}

# Longest input per target: room for a whole SNA or Z80 file, or a ZX80/ZX81 program that spills
# into the second bank.
max_len() {
  case $1 in
    zx81_reader | zx80_reader) echo 4096 ;;
    zx81_generate | zx80_generate) echo 20000 ;;
    *) echo 50000 ;;
  esac
}

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLFEN_FUZZ=ON -DQUILLFEN_BUILD_WINDOW=OFF -DQUILLFEN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target fuzzers >/dev/null

run_target() {
  local target=$1 work="$build/work/$1"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings"
  cp fuzz/corpus/"$target"/* "$work/corpus/"
  # Exit status is judged from the findings folder: libFuzzer stops at the first finding.
  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    LSAN_OPTIONS=suppressions="$PWD/fuzz/lsan_suppressions.txt" \
    "$build/fuzz/${target}_fuzzer" "$work/corpus" -max_total_time="$seconds" \
    -max_len="$(max_len "$target")" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/findings/" >"$work/log" 2>&1 || true
}

running=0
for target in "${targets[@]}"; do
  [ -x "$build/fuzz/${target}_fuzzer" ] || { echo "unknown target: $target" >&2; exit 2; }
  run_target "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$parallel" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

failed=0
clean=0
printf '%-20s %14s %9s  %s\n' target executions findings log
for target in "${targets[@]}"; do
  work="$build/work/$target"
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)
  findings=$(find "$work/findings" -type f | wc -l)
  # A sanitizer report or a check that aborts before libFuzzer writes an artifact counts too.
  if [ -z "$executions" ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|fuzz check failed' "$work/log"; then
    [ "$findings" -gt 0 ] || findings=1
  fi
  printf '%-20s %14s %9s  %s\n' "$target" "${executions:-?}" "$findings" "$work/log"
  if [ "$findings" -eq 0 ]; then clean=$((clean + 1)); else failed=$((failed + 1)); fi
done
echo "fuzz: $clean passed, $failed failed"
[ "$failed" -eq 0 ]
