// SPDX-License-Identifier: GPL-3.0-or-later
// Micro-benchmarks of each reader and each cartridge generator, one file per iteration.
// Generators read their ROM image and write the cartridge image like the window does, into a
// folder on tmpfs (/dev/shm) unless --folder=DIR names another; the Build* functions that are
// public are also measured on their own, without any file.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "bench_inputs.h"
#include "cartridge/cartridge_maker.h"
#include "cartridge/host.h"
#include "spectrum/spectrum_layout.h"
#include "spectrum/spectrum_processing.h"
#include "zx80/zx80_processing.h"
#include "zx81/zx81_processing.h"

namespace quillfen::bench {
namespace {

// Reads ROM images from and writes images to one folder; answers the size question with one
// fixed answer; stops the benchmark on any message, since a measured run must succeed.
class BenchHost : public Host {
 public:
  BenchHost(std::filesystem::path folder, Answer size_answer)
      : folder_(std::move(folder)), size_answer_(size_answer) {}
  Answer AskCartridgeSize(const std::string&) override { return size_answer_; }
  std::vector<std::filesystem::path> RomFolders() const override { return {folder_}; }
  std::filesystem::path OutputPath(const std::string& output_name) const override {
    return folder_ / output_name;
  }
  void YieldToWindow() override {}
  void RepaintWindow() override {}

 private:
  void ShowErrorBox(const std::string& text, const std::string& detail) override {
    std::cerr << "unexpected message: " << text << " (" << detail << ")\n";
    std::abort();
  }

  std::filesystem::path folder_;
  Answer size_answer_;
};

void Require(benchmark::State& state, bool ok, const char* what) {
  if (!ok) state.SkipWithError(what);
}

void BM_LoadZX81Program(benchmark::State& state, const std::filesystem::path& folder) {
  BenchHost host(folder, Host::Answer::No);
  CartridgeMaker maker;
  ZX81Processing zx81(host, maker);
  const std::filesystem::path path = folder / "LARGEST.P";
  for (auto _ : state) {
    const bool loaded = zx81.LoadZX81Program(path);
    benchmark::DoNotOptimize(loaded);
    if (!loaded) state.SkipWithError("LoadZX81Program failed");
  }
}

void BM_LoadZX80Program(benchmark::State& state, const std::filesystem::path& folder) {
  BenchHost host(folder, Host::Answer::No);
  CartridgeMaker maker;
  ZX80Processing zx80(host, maker);
  const std::filesystem::path path = folder / "LARGE.O";
  for (auto _ : state) {
    const bool loaded = zx80.LoadZX80Program(path);
    benchmark::DoNotOptimize(loaded);
    if (!loaded) state.SkipWithError("LoadZX80Program failed");
  }
}

void BM_LoadSnapshot(benchmark::State& state, const std::filesystem::path& folder,
                     const char* file_name) {
  BenchHost host(folder, Host::Answer::No);
  CartridgeMaker maker;
  SpectrumProcessing spectrum(host, maker);
  const std::filesystem::path path = folder / file_name;
  for (auto _ : state) {
    const bool loaded = spectrum.LoadSnapshot(path);
    benchmark::DoNotOptimize(loaded);
    if (!loaded) state.SkipWithError("LoadSnapshot failed");
  }
}

void BM_GenerateZX81Cartridge(benchmark::State& state, const std::filesystem::path& folder) {
  BenchHost host(folder, Host::Answer::No);
  CartridgeMaker maker;
  ZX81Processing zx81(host, maker);
  Require(state, zx81.LoadZX81Program(folder / "LARGEST.P"), "LoadZX81Program failed");
  for (auto _ : state) {
    std::int32_t ram_size = 16384;
    if (!zx81.GenerateZX81Cartridge("LARGEST.P", ram_size, 0))
      state.SkipWithError("GenerateZX81Cartridge failed");
  }
}

void BM_BuildZX81Cartridge(benchmark::State& state, const std::filesystem::path& folder) {
  BenchHost host(folder, Host::Answer::No);
  CartridgeMaker maker;
  ZX81Processing zx81(host, maker);
  Require(state, zx81.LoadZX81Program(folder / "LARGEST.P"), "LoadZX81Program failed");
  std::int32_t ram_size = 16384;  // one generation puts ZX81Rom in place
  Require(state, zx81.GenerateZX81Cartridge("LARGEST.P", ram_size, 0), "generation failed");
  for (auto _ : state) {
    maker.Clear();
    std::int32_t ramtop = 32768;
    if (!zx81.BuildZX81Cartridge(ramtop)) state.SkipWithError("BuildZX81Cartridge failed");
    benchmark::DoNotOptimize(maker.CartridgeImage().data());
  }
}

// 16K: the smaller program, size question answered Yes; 32K: the largest program.
void BM_GenerateZX80Cartridge(benchmark::State& state, const std::filesystem::path& folder,
                              const char* file_name, Host::Answer answer) {
  BenchHost host(folder, answer);
  CartridgeMaker maker;
  ZX80Processing zx80(host, maker);
  Require(state, zx80.LoadZX80Program(folder / file_name), "LoadZX80Program failed");
  for (auto _ : state) {
    std::int32_t ram_size = 16384;
    if (!zx80.GenerateZX80Cartridge(file_name, ram_size, 0))
      state.SkipWithError("GenerateZX80Cartridge failed");
  }
  state.counters["bytes"] = static_cast<double>(maker.CartridgeImage().size());
}

// 64K: size question answered No; 48K: Yes (the snapshot has an unused area).
void BM_GenerateSpectrumCartridge(benchmark::State& state, const std::filesystem::path& folder,
                                  const char* file_name, Host::Answer answer) {
  BenchHost host(folder, answer);
  CartridgeMaker maker;
  SpectrumProcessing spectrum(host, maker);
  Require(state, spectrum.LoadSnapshot(folder / file_name), "LoadSnapshot failed");
  for (auto _ : state) {
    std::int32_t ram_size = 49152;
    if (!spectrum.GenerateSpectrumCartridge(file_name, ram_size))
      state.SkipWithError("GenerateSpectrumCartridge failed");
  }
}

void BM_BuildSpectrumCartridge64K(benchmark::State& state) {
  const SnapshotState snapshot = BenchSnapshot();
  const Bytes rom = StandInSpectrumRom();
  CartridgeMaker maker;
  for (auto _ : state) {
    maker.Clear();
    if (!spectrum::BuildSpectrumCartridge64K(maker, snapshot, spectrum::SnapshotKind::kSna, rom))
      state.SkipWithError("BuildSpectrumCartridge64K failed");
    benchmark::DoNotOptimize(maker.CartridgeImage().data());
  }
}

void BM_BuildSpectrumCartridge48K(benchmark::State& state) {
  const SnapshotState snapshot = BenchSnapshot();
  CartridgeMaker maker;
  std::int32_t top = 0;
  std::int16_t page = 0;
  const std::int32_t low = spectrum::FindUnusedArea(snapshot.Memory, top, page);
  Require(state, low != 0, "no unused area");
  for (auto _ : state) {
    maker.Clear();
    if (!spectrum::BuildSpectrumCartridge48K(maker, snapshot, spectrum::SnapshotKind::kSna, low,
                                             top, page))
      state.SkipWithError("BuildSpectrumCartridge48K failed");
    benchmark::DoNotOptimize(maker.CartridgeImage().data());
  }
}

void BM_FindUnusedArea(benchmark::State& state) {
  const SnapshotState snapshot = BenchSnapshot();
  for (auto _ : state) {
    std::int32_t top = 0;
    std::int16_t page = 0;
    benchmark::DoNotOptimize(spectrum::FindUnusedArea(snapshot.Memory, top, page));
  }
}

// The file work every generation does around its build: reading a ROM image, writing an image.
void BM_ReadWholeFile(benchmark::State& state, const std::filesystem::path& folder) {
  Bytes rom;
  for (auto _ : state) {
    if (!ReadWholeFile(rom, folder / "SPECTRUM_ROM.bin")) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(rom.data());
  }
}

void BM_WriteFileAtomically(benchmark::State& state, const std::filesystem::path& folder) {
  const Bytes image(static_cast<std::size_t>(state.range(0)), 0xA5);
  for (auto _ : state) {
    if (!WriteFileAtomically(image, folder / "WRITTEN.bin")) state.SkipWithError("write failed");
  }
}

void RegisterAll(const std::filesystem::path& folder) {
  using Answer = Host::Answer;
  benchmark::RegisterBenchmark("LoadZX81Program/largest", BM_LoadZX81Program, folder);
  benchmark::RegisterBenchmark("LoadZX80Program/largest", BM_LoadZX80Program, folder);
  benchmark::RegisterBenchmark("LoadSnapshot/SNA", BM_LoadSnapshot, folder,
                               spectrum::SnapshotKind::kSna);
  benchmark::RegisterBenchmark("LoadSnapshot/Z80", BM_LoadSnapshot, folder,
                               spectrum::SnapshotKind::kZ80);
  benchmark::RegisterBenchmark("GenerateZX81Cartridge/largest", BM_GenerateZX81Cartridge, folder);
  benchmark::RegisterBenchmark("GenerateZX80Cartridge/16K", BM_GenerateZX80Cartridge, folder,
                               "SMALLER.O", Answer::Yes);
  benchmark::RegisterBenchmark("GenerateZX80Cartridge/32K", BM_GenerateZX80Cartridge, folder,
                               "LARGE.O", Answer::No);
  benchmark::RegisterBenchmark("GenerateSpectrumCartridge/64K", BM_GenerateSpectrumCartridge,
                               folder, spectrum::SnapshotKind::kSna, Answer::No);
  benchmark::RegisterBenchmark("GenerateSpectrumCartridge/48K", BM_GenerateSpectrumCartridge,
                               folder, spectrum::SnapshotKind::kSna, Answer::Yes);
  benchmark::RegisterBenchmark("BuildZX81Cartridge/largest", BM_BuildZX81Cartridge, folder);
  benchmark::RegisterBenchmark("BuildSpectrumCartridge64K", BM_BuildSpectrumCartridge64K);
  benchmark::RegisterBenchmark("BuildSpectrumCartridge48K", BM_BuildSpectrumCartridge48K);
  benchmark::RegisterBenchmark("FindUnusedArea", BM_FindUnusedArea);
  benchmark::RegisterBenchmark("ReadWholeFile/ROM image", BM_ReadWholeFile, folder);
  benchmark::RegisterBenchmark("WriteFileAtomically", BM_WriteFileAtomically, folder)
      ->Arg(16384)
      ->Arg(32768)
      ->Arg(65536);
}

}  // namespace
}  // namespace quillfen::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::optional<std::filesystem::path> given;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--folder=")) {
      given = std::filesystem::path(std::string(arg.substr(9)));
    } else {
      std::cerr << "unknown argument: " << arg << " (only --folder=DIR and benchmark flags)\n";
      return 2;
    }
  }
  const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                         ? "/dev/shm"
                                         : std::filesystem::temp_directory_path();
  const std::filesystem::path folder =
      given ? *given : base / ("quillfen-bench-" + std::to_string(::getpid()));
  quillfen::bench::WriteBenchInputs(folder);
  quillfen::bench::RegisterAll(folder);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!given) std::filesystem::remove_all(folder);
  return 0;
}
