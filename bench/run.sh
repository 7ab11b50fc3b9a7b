#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures Quillfen's speed on this machine:
#  1. whole processes, with hyperfine: quillfen-cli converting the largest ZX81 program, a large
#     ZX80 program, an SNA and a compressed Z80 snapshot, beside a floor (cp of the same input to
#     an output file); prints the ratios;
#  2. Google Benchmark micro-benchmarks of every reader and generator;
#  3. the behaviour proof: one 64K image run 250 frames beside its snapshot, and a batch of
#     snapshots converted with --verify on one thread and on one per core.
# Needs hyperfine and libbenchmark-dev; installs them with
# apt-get when run as root, otherwise says what is missing. Not part of CI.
#
# Usage: bench/run.sh [RUNS]      (RUNS: hyperfine runs per command, default 200)
# Environment: BUILD_DIR (default build-bench), WORK_DIR (inputs and outputs; default
# BUILD_DIR/bench-work, on the disk the build lives on, not tmpfs).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-200}
build=${BUILD_DIR:-$root/build-bench}
work=${WORK_DIR:-$build/bench-work}

packages=(hyperfine libbenchmark-dev python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" ||
      { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"; }
  else
    echo "bench/run.sh needs: ${missing[*]}" >&2
    echo "install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
fi

echo "== building (Release) in $build"
# The window is built too when Qt and Xvfb are there, to time its start.
window=OFF
targets=(quillfen-cli make_bench_inputs readers_builders_benchmark run_proof_benchmark)
if dpkg-query -W -f='${Status}' qt6-base-dev 2>/dev/null | grep -q 'install ok installed' &&
  command -v xvfb-run >/dev/null; then
  window=ON
  targets+=(quillfen window_start)
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLFEN_BENCH=ON \
  -DQUILLFEN_BUILD_TESTS=ON -DQUILLFEN_BUILD_WINDOW=$window >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null

cli=$build/quillfen-cli
in=$work/in
out=$work/out
rm -rf "$work"
mkdir -p "$in" "$out"
"$build/bench/make_bench_inputs" "$in"

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "== inputs and outputs in $work ($(df -T "$work" | awk 'NR==2 {print $2}'))"

# One hyperfine comparison; the first command is the floor. Writes $work/NAME.json.
compare() {
  local name=$1
  shift
  hyperfine --shell=none --warmup 10 --runs "$runs" --style basic \
    --export-json "$work/$name.json" "$@" >"$work/$name.txt" 2>&1
}

quill() { echo "$cli --rom-dir $in --output-dir $out $1"; }

# Each conversion must succeed before it is timed.
for f in LARGEST.P LARGE.O GAME.SNA GAME.Z80; do
  $(quill "$in/$f") >/dev/null
done

echo "== whole processes ($runs runs each, hyperfine)"
compare zx81 -n cp "cp $in/LARGEST.P $out/LARGEST.bin" -n quillfen-cli "$(quill "$in/LARGEST.P")"
compare zx80 -n cp "cp $in/LARGE.O $out/LARGE.bin" -n quillfen-cli "$(quill "$in/LARGE.O")"
compare sna -n cp "cp $in/GAME.SNA $out/GAME.bin" -n quillfen-cli "$(quill "$in/GAME.SNA")"
compare z80 -n cp "cp $in/GAME.Z80 $out/GAME.bin" -n quillfen-cli "$(quill "$in/GAME.Z80")"

python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
cases = [("zx81", "ZX81 largest program (.P, 24449 bytes)"),
         ("zx80", "ZX80 large program (.O, 16383 bytes)"),
         ("sna", "Spectrum SNA (49179 bytes)"),
         ("z80", "Spectrum Z80 v3, compressed")]
print(f"{'input':40} {'command':13} {'mean ms':>8} {'± ms':>6} {'× cp':>6}")
worst = 0.0
for key, label in cases:
    results = json.load(open(f"{work}/{key}.json"))["results"]
    floor = results[0]["mean"]
    for r in results:
        ratio = r["mean"] / floor
        if r["command"] == "quillfen-cli":
            worst = max(worst, ratio)
        print(f"{label:40} {r['command']:13} {r['mean']*1e3:8.3f} {r['stddev']*1e3:6.3f} {ratio:6.2f}")
        label = ""
print(f"worst quillfen-cli / cp: {worst:.2f} (target: at most 1.50) -> {'met' if worst <= 1.5 else 'MISSED'}")
PY

echo "== readers and generators (Google Benchmark; files on tmpfs, then on $work)"
"$build/bench/readers_builders_benchmark" --benchmark_min_time=0.2
echo "-- generators writing to the disk folder $work/disk"
"$build/bench/readers_builders_benchmark" --benchmark_min_time=0.2 \
  --benchmark_filter='^Generate' --folder="$work/disk"

echo "== behaviour proof: a 64K image's 250-frame run beside its snapshot; a --verify batch"
"$build/bench/run_proof_benchmark" 5 8

if [ "$window" = ON ]; then
  echo "== window: from start until its window is mapped, under Xvfb without a window manager"
  xvfb-run -a "$build/bench/window_start" 20 "$build/quillfen" 2>&1 | grep -v '^QStandardPaths' | tail -1
else
  echo "== window: not measured (needs qt6-base-dev and xvfb)"
fi
