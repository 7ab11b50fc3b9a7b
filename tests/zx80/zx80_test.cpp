// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "cartridge/cartridge_maker.h"
#include "cartridge/error.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "zx80/zx80_processing.h"

namespace quillfen {
namespace {

using testing::MakeZX80Program;
using testing::MakeZX80ProgramWithELine;
using testing::Slice;
using Answer = Host::Answer;

// A stand-in ROM image (free space from 4097) with the 0xFD at 0x000A the 32K RAM code waits for.
Bytes StandInRom(std::size_t last_used = 4095) {
  return testing::MakeRomImage(last_used, {{10, 0xFD}});
}

class ZX80Test : public ::testing::Test {
 protected:
  void SetUp() override { dir_.Write("ZX80_ROM.bin", StandInRom()); }
  bool Load(const std::string& name, const Bytes& file) {
    return zx80_.LoadZX80Program(dir_.Write(name, file));
  }
  void LoadProgram(std::size_t length) {
    ASSERT_TRUE(Load("GAME.O", program_ = MakeZX80Program(length)));
  }
  bool Generate(std::int16_t auto_run, std::int32_t ram_size = 16384) {
    return zx80_.GenerateZX80Cartridge("GAME.O", ram_size, auto_run);
  }
  Bytes Output() const { return testing::ReadFileBytes(dir_ / "GAME.bin"); }

  testing::TempDir dir_;
  testing::ScriptedHost host_{dir_.path()};
  CartridgeMaker maker_;
  ZX80Processing zx80_{host_, maker_};
  Bytes program_;
};

TEST_F(ZX80Test, ProgramFiles) {
  const Bytes file = MakeZX80Program(500, 100);  // 100 bytes beyond E_LINE are dropped
  for (const char* name : {"GAME.80", "game.o", "a.b.p80"}) {
    ASSERT_TRUE(Load(name, file)) << name;
    EXPECT_EQ(zx80_.ZX80Program(), Bytes(file.begin(), file.begin() + 500)) << name;
  }
  for (const char* name : {"GAME.81", "GAME.O.SNA"})
    EXPECT_FALSE(Load(name, MakeZX80Program(200))) << name;
  EXPECT_EQ(zx80_.ZX80Program().size(), 500u);
  // E_LINE, file length, loads, trimmed length (0: E_LINE within the system variables);
  // tests/hostile tries every E_LINE of a short file.
  // clang-format off
  for (const auto& [e_line, file_length, loads, length] : {std::tuple{0x4027, 39u, false, 0},
       {0x4028, 40u, true, 40}, {0x7FFF, 16383u, true, 16383}, {0x4010, 100u, true, 0},
       {0x8000, 20000u, false, 0}}) {
    // clang-format on
    ASSERT_EQ(Load("GAME.O", MakeZX80ProgramWithELine(e_line, file_length)), loads) << e_line;
    if (!loads) continue;
    EXPECT_EQ(zx80_.ZX80ProgramLength(), length) << e_line;
    EXPECT_EQ(zx80_.ZX80Program().size(), static_cast<std::size_t>(e_line - 0x4000)) << e_line;
  }
  EXPECT_THROW((void)zx80_.ZX80ProgramLength(), Error);  // the refused 0x8000 image raises it
}

TEST_F(ZX80Test, SizeQuestionAskedExactlyWhenSixteenKFitsAndAnsweredAsTheUserSays) {
  // 16384 - 4097 - 78 = 12209 without auto-run, 16384 - 4097 - 85 = 12202 with it.
  // clang-format off
  for (const auto& [auto_run, length, asked] : {std::tuple{0, 12210u, false}, {1, 12203u, false},
       {1, 12202u, true}, {0, 12209u, true}}) {
    // clang-format on
    LoadProgram(length);
    host_.questions.clear();
    if (asked) host_.ScriptAnswer(Answer::Yes);
    ASSERT_TRUE(Generate(static_cast<std::int16_t>(auto_run)));
    EXPECT_EQ(host_.questions.size(), asked ? 1u : 0u) << length;
    EXPECT_EQ(Output().size(), asked ? 16384u : 32768u) << length;
  }
  EXPECT_EQ(host_.questions.back(),
            "The program and ZX80 ROM will fit within 16K.\r\n\r\n"
            "Generate a 16K instead of a 32K ROM cartridge?");
  std::filesystem::remove(dir_ / "GAME.bin");
  LoadProgram(1000);
  host_.ScriptAnswer(Answer::Cancel);
  EXPECT_FALSE(Generate(0));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "GAME.bin"));
}

TEST_F(ZX80Test, ThirtyTwoKSizeLimitLeavesRoomForTheCopyRoutine) {
  EXPECT_EQ(ZX80Processing::Largest32KProgram(4097, 0), 28563);  // H0 + 16384 - 4097 - K (14)
  // Files declare at most 16383 bytes: from 16300 free, 16280 + 84 - 24 (K = 24 with auto-run).
  dir_.Write("ZX80_ROM.bin", StandInRom(16298));
  LoadProgram(16340);
  ASSERT_TRUE(Generate(1));
  EXPECT_EQ(Output().back(), program_.back());  // the tail fills bank 1 to its last byte
  std::filesystem::remove(dir_ / "GAME.bin");
  LoadProgram(16341);
  EXPECT_FALSE(Generate(1));
  EXPECT_EQ(host_.errors, std::vector<std::string>{"Program is too large"});
  EXPECT_FALSE(std::filesystem::exists(dir_ / "GAME.bin"));
}

// tests/hostile refuses missing, short and foreign ROM images for every machine.
TEST_F(ZX80Test, OnlyTheThirtyTwoKCartridgeNeedsTheRomByteItWaitsForAndNamesAreKept) {
  LoadProgram(1000);
  std::int32_t ram_size = 16384;
  EXPECT_FALSE(zx80_.GenerateZX80Cartridge("GAME.P", ram_size, 0));  // refused first
  EXPECT_EQ(ram_size, 16384);
  Bytes rom = StandInRom();
  rom[10] = 0xFC;  // not the 0xFD the 32K RAM code waits for
  dir_.Write("ZX80_ROM.bin", rom);
  host_.ScriptAnswer(Answer::No);
  EXPECT_FALSE(Generate(0));
  EXPECT_EQ(host_.errors, std::vector<std::string>{"Failed to insert ZX80 ROM data"});
  host_.ScriptAnswer(Answer::Yes);  // the 16K loader does not wait, so it takes the image
  EXPECT_TRUE(zx80_.GenerateZX80Cartridge("MY.GAME.P80", ram_size, 0));
  EXPECT_EQ(Slice(testing::ReadFileBytes(dir_ / "MY.GAME.bin"), 3, 4094), Slice(rom, 3, 4094));
  EXPECT_EQ(ZX80Processing::FindZX80RomEnd(StandInRom(100)), 4096);  // searched down to 4095
}

}  // namespace
}  // namespace quillfen
