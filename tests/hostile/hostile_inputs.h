// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <span>
#include <string>

#include "inspection/converters.h"
#include "spectrum/z80_format.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/snapshot_files.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"

namespace quillfen::testing {

/// A snapshot whose RAM compresses to a few kilobytes (so every offset of its compressed files
/// can be visited) yet holds random stretches, lone 0xED bytes and runs.
inline SnapshotState SmallSnapshot() {
  std::mt19937 random(8);
  SnapshotState state = RandomSnapshot(random);
  for (std::size_t k = 0; k < state.Memory.size(); ++k)
    if (k % 4096 > 24) state.Memory[k] = k % 6000 < 3000 ? 0x00 : 0x5A;
  return state;
}

/// ReadZ80Snapshot with a host that asks nothing.
inline bool ReadZ80(std::span<const std::uint8_t> file, SnapshotState& state) {
  ScriptedHost host("/nonexistent");
  return ReadZ80Snapshot(file, state, host);
}

/// A generating machine: its program kind, its ROM image and a stand-in holding the awaited byte.
struct RomMachine {
  const char* kind;
  const char* name;
  const char* rom_name;
  std::size_t last_used;
  std::pair<std::size_t, std::uint8_t> wait;
  Bytes GoodRom() const { return MakeRomImage(last_used, {wait}); }
};
inline const RomMachine kRomMachines[] = {
    {"P", "ZX81", "ZX81_ROM.bin", 8191, {0x000A, 0x40}},
    {"O", "ZX80", "ZX80_ROM.bin", 4095, {0x000A, 0xFD}},
    {"SNA", "Spectrum", "SPECTRUM_ROM.bin", 0x3FFF, {0, 0xF3}}};

/// A folder, a host on it and the converters reading from and writing to it.
class HostileInputTest : public ::testing::Test {
 protected:
  static constexpr const char* kKinds[] = {"P", "O", "SNA", "Z80"};

  static Bytes ValidFile(const std::string& kind) {
    if (kind == "P") return MakeZX81Program(200, 0x407D);
    if (kind == "O") return MakeZX80Program(200);
    if (kind == "SNA") return MakeSnaFile(SmallSnapshot());
    return MakeZ80FileVersion1(SmallSnapshot(), true);
  }

  /// Reads `path` with the reader of `kind`, whatever the path's name.
  bool Load(const std::string& kind, const std::filesystem::path& path) {
    if (kind == "P") return converters_.LoadZX81Program(path);
    if (kind == "O") return converters_.LoadZX80Program(path);
    return converters_.LoadSnapshot(path);
  }

  /// Generates as `name`, answering No (the largest cartridge); an exception fails the test.
  bool Generate(const std::string& kind, const std::string& name) {
    host_.ScriptAnswer(Host::Answer::No);
    std::int32_t ram = kind == "SNA" ? 49152 : 16384;
    bool generated = true;
    EXPECT_NO_THROW(generated = kind == "P"   ? converters_.GenerateZX81Cartridge(name, ram, 0)
                                : kind == "O" ? converters_.GenerateZX80Cartridge(name, ram, 0)
                                              : converters_.GenerateSpectrumCartridge(name, ram));
    return generated;
  }

  TempDir folder_;
  ScriptedHost host_{folder_.path()};
  MachineConverters converters_{host_};
};

}  // namespace quillfen::testing
