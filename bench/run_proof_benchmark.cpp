// SPDX-License-Identifier: GPL-3.0-or-later
// Times the behaviour proof: (1) one 64K Spectrum image booted and run for 250 frames beside its
// snapshot, on one core, the run alone and with its boot; (2) a batch of images converted with
// --verify, checked on one thread and on one per core.
//
// Usage: run_proof_benchmark [REPEATS] [BATCH_IMAGES]   (defaults 5 and 8)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cartridge/cartridge_maker.h"
#include "cli/cli.h"
#include "spectrum/spectrum_layout.h"
#include "support/program_snapshots.h"
#include "support/snapshot_files.h"
#include "support/temp_dir.h"
#include "verify/spectrum_run_proof.h"

namespace quillfen::bench {
namespace {

using Clock = std::chrono::steady_clock;

/// Wall and processor time (all threads) of one run, in seconds.
struct Timing {
  double wall = 1e9, cpu = 0;
};

/// The fastest of `repeats` runs of `work`.
Timing Best(int repeats, const std::function<void()>& work) {
  Timing best;
  for (int i = 0; i < repeats; ++i) {
    const auto start = Clock::now();
    const std::clock_t cpu_start = std::clock();
    work();
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    if (wall < best.wall)
      best = {wall, static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC};
  }
  return best;
}

/// A program that never halts: it adds up 16 KB of RAM over and over, with the frame interrupt
/// in IM 1, so the processor is busy through every frame.
SnapshotState BusyProgram(int seed) {
  return testing::ProgramSnapshot(testing::SumLoop(0x4000 + 0x100 * seed, 0x4000, false));
}

void Fail(const std::string& what) {
  std::cerr << "run_proof_benchmark: " << what << "\n";
  std::exit(1);
}

}  // namespace

int Main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::atoi(argv[1]) : 5;
  const int batch = argc > 2 ? std::atoi(argv[2]) : 8;
  const Bytes rom = testing::ProgramRom();

  const SnapshotState snapshot = BusyProgram(0);
  CartridgeMaker maker;
  if (!spectrum::BuildSpectrumCartridge64K(maker, snapshot, spectrum::SnapshotKind::kZ80, rom))
    Fail("no image");
  const Bytes image = maker.CartridgeImage();
  VerifyOptions options;
  SpectrumRunSetup setup;
  setup.rom = rom;
  auto check = [&](std::uint64_t frames) {
    setup.frames = frames;
    const VerifyResult result = VerifySpectrumImageAndRun(image, snapshot, "Z80", setup, options);
    if (!result.Passed()) Fail("the image did not pass its check");
  };
  const double boot = Best(repeats, [&] { check(0); }).wall;
  const double boot_and_run = Best(repeats, [&] { check(250); }).wall;
  std::printf("64K image, boot check only:                 %7.3f s\n", boot);
  std::printf("64K image, boot check and 250-frame run:    %7.3f s\n", boot_and_run);
  std::printf("64K image, the 250-frame run alone:         %7.3f s (target: under 0.5 s)\n",
              boot_and_run - boot);

  if (batch <= 0) return 0;
  testing::TempDir folder;
  folder.Write("SPECTRUM_ROM.bin", rom);
  std::vector<std::string> args = {"--verify", "--rom-dir", folder.path().string(), "--output-dir",
                                   (folder.path() / "out").string()};
  for (int i = 0; i < batch; ++i)
    args.push_back(folder
                       .Write("GAME" + std::to_string(i) + ".Z80",
                              testing::MakeZ80FileVersion1(BusyProgram(i), true))
                       .string());
  auto convert = [&](unsigned threads) {
    std::vector<std::string> with_jobs = args;
    with_jobs.insert(with_jobs.begin() + 1, {"-j", std::to_string(threads)});
    std::ostringstream out, err;
    if (RunCli(with_jobs, out, err) != 0) Fail("the batch failed: " + err.str());
  };
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const Timing serial = Best(repeats, [&] { convert(1); });
  const Timing parallel = Best(repeats, [&] { convert(cores); });
  std::printf("batch of %d snapshots, --verify -j 1:        %7.3f s (processor %.3f s)\n", batch,
              serial.wall, serial.cpu);
  std::printf(
      "batch of %d snapshots, --verify -j %u:        %7.3f s (processor %.3f s), %.2f times "
      "as fast\n",
      batch, cores, parallel.wall, parallel.cpu, serial.wall / parallel.wall);
  return 0;
}

}  // namespace quillfen::bench

int main(int argc, char** argv) { return quillfen::bench::Main(argc, argv); }
