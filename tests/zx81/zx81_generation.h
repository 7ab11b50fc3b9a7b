// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "cartridge/cartridge_maker.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "zx81/zx81_processing.h"

namespace quillfen::testing {

/// A folder with a stand-in ZX81_ROM.bin and a ZX81Processing that reads from and writes to it.
class ZX81GenerationTest : public ::testing::Test {
 protected:
  /// A stand-in ZX81 ROM image whose last used byte is at `last_used` (free space from
  /// last_used + 2) and whose byte 0x000A is the 0x40 the RAM code waits for.
  static Bytes StandInRom(std::size_t last_used = 8191, std::size_t length = kBankSize) {
    return MakeRomImage(last_used, {{0x000A, 0x40}}, length);
  }
  void WriteRom(const Bytes& rom) { folder_.Write("ZX81_ROM.bin", rom); }
  bool Load(const std::string& name, const Bytes& file) {
    return zx81_.LoadZX81Program(folder_.Write(name, file));
  }
  void LoadProgram(const Bytes& image) { ASSERT_TRUE(Load("GAME.P", image)); }
  bool Generate(std::int32_t ram_size = 16384, std::int16_t auto_run = 0,
                const std::string& name = "GAME.P") {
    return zx81_.GenerateZX81Cartridge(name, ram_size, auto_run);
  }
  Bytes Output(const std::string& name = "GAME.bin") const { return ReadFileBytes(folder_ / name); }

  TempDir folder_;
  ScriptedHost host_{folder_.path()};
  CartridgeMaker maker_;
  ZX81Processing zx81_{host_, maker_};
};

}  // namespace quillfen::testing
