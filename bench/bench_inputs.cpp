// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench_inputs.h"

#include <fstream>
#include <random>
#include <stdexcept>

#include "support/rom_images.h"
#include "support/snapshot_files.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"

namespace quillfen::bench {
namespace {

constexpr std::size_t kStackPointer = 0xFF00;
constexpr std::size_t kProgramCounter = 0x8123;
constexpr std::size_t kUnusedAreaStart = 0xC800;
constexpr std::size_t kUnusedAreaEnd = 0xE3E0;

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

Bytes StandInZX81Rom() { return testing::MakeRomImage(8191, {{0x000A, 0x40}}); }
Bytes StandInZX80Rom() { return testing::MakeRomImage(4095, {{0x000A, 0xFD}}); }
Bytes StandInSpectrumRom() { return testing::MakeRomImage(0x3FFF, {{0x0000, 0xF3}}); }

Bytes LargestZX81Program() { return testing::MakeZX81Program(kLargestZX81Program); }
Bytes LargeZX80Program(std::size_t length) { return testing::MakeZX80Program(length); }

SnapshotState BenchSnapshot() {
  std::mt19937 random(81);
  SnapshotState state = testing::RandomSnapshot(random);
  state.SP = kStackPointer;
  state.PC = kProgramCounter;
  Bytes& ram = state.Memory;
  for (std::size_t a = kUnusedAreaStart; a < kUnusedAreaEnd; ++a) ram[a - 0x4000] = 0x00;
  ram[kUnusedAreaStart - 1 - 0x4000] = 0x01;  // ends the zero run inside its window
  ram[kStackPointer - 0x4000] = kProgramCounter & 0xFF;
  ram[kStackPointer + 1 - 0x4000] = kProgramCounter >> 8;
  return state;
}

Bytes BenchSnaFile() { return testing::MakeSnaFile(BenchSnapshot()); }
Bytes BenchZ80File() { return testing::MakeZ80FilePaged(BenchSnapshot(), 54, true); }

void WriteBenchInputs(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  WriteFile(folder / "ZX81_ROM.bin", StandInZX81Rom());
  WriteFile(folder / "ZX80_ROM.bin", StandInZX80Rom());
  WriteFile(folder / "SPECTRUM_ROM.bin", StandInSpectrumRom());
  WriteFile(folder / "LARGEST.P", LargestZX81Program());
  WriteFile(folder / "LARGE.O", LargeZX80Program(kLargestZX80Program));
  WriteFile(folder / "SMALLER.O", LargeZX80Program(kZX80ProgramFor16K));
  WriteFile(folder / "GAME.SNA", BenchSnaFile());
  WriteFile(folder / "GAME.Z80", BenchZ80File());
}

}  // namespace quillfen::bench
