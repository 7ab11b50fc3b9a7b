// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <span>
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
using Answer = Host::Answer;

// A stand-in ROM image (free space from 4097) with the 0xFD at 0x000A the 32K RAM code waits for.
Bytes StandInRom(std::size_t last_used = 4095) {
  return testing::MakeRomImage(last_used, {{10, 0xFD}});
}

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t length) {
  const auto part = std::span(bytes).subspan(offset, length);
  return Bytes(part.begin(), part.end());
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
  for (const char* name : {"GAME.O", "GAME.80", "GAME.P80", "game.o", "a.b.p80"}) {
    ASSERT_TRUE(Load(name, file)) << name;
    EXPECT_EQ(zx80_.ZX80Program(), Bytes(file.begin(), file.begin() + 500)) << name;
  }
  for (const char* name : {"GAME.P", "GAME.81", "GAME.O.SNA", "GAME"})
    EXPECT_FALSE(Load(name, MakeZX80Program(200))) << name;
  EXPECT_FALSE(zx80_.LoadZX80Program(dir_ / "MISSING.O"));
  EXPECT_EQ(zx80_.ZX80Program().size(), 500u);
  // E_LINE, file length, loads, trimmed length (0: E_LINE within the system variables).
  // clang-format off
  for (const auto& [e_line, file_length, loads, length] : {std::tuple{0x4027, 39u, false, 0},
       {0x4028, 40u, true, 40}, {0x4029, 40u, false, 0}, {0x7FFF, 16383u, true, 16383},
       {0xFFFF, 40u, false, 0}, {0x3FFF, 100u, false, 0}, {0x4010, 100u, true, 0},
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

TEST_F(ZX80Test, SixteenKKeepsTheRomBehindAJumpToTheLoaderAndDecoratesOnlyWhatFits) {
  LoadProgram(1000);
  host_.ScriptAnswer(Answer::Yes);
  ASSERT_TRUE(Generate(1));
  Bytes image = Output();
  ASSERT_EQ(image.size(), 16384u);
  EXPECT_EQ(Slice(image, 0, 3), (Bytes{0xC3, 0x01, 0x10}));  // JP 0x1001
  EXPECT_EQ(Slice(image, 3, 4094), Slice(StandInRom(), 3, 4094));
  // With auto-run all decoration fits: the loader takes X = 85 + 4 + 62 + 114 = 265 bytes.
  EXPECT_EQ(Slice(image, 4097, 3), (Bytes{0x21, 0x0A, 0x11}));       // LD HL,4362
  EXPECT_EQ(Slice(image, 4097 + 63, 3), (Bytes{0x21, 0x6E, 0x10}));  // LD HL,4206: the rows
  EXPECT_EQ(Slice(image, 4362, 1000), program_);
  // Without auto-run: no decoration, and the loader ends with CALL 0x0747; JP 0x0283.
  host_.ScriptAnswer(Answer::Yes);
  ASSERT_TRUE(Generate(0, 1024));
  image = Output();
  EXPECT_EQ(Slice(image, 4175 - 6, 6), (Bytes{0xCD, 0x47, 0x07, 0xC3, 0x83, 0x02}));
  EXPECT_EQ(Slice(image, 4175, 1000), program_);
  // Length, bytes from 4097 to the program (room behind the 85-byte auto-run loader: 12202).
  // clang-format off
  for (const auto& [length, loader] : {std::pair{12022u, 85 + 180}, {12023u, 85 + 66},
       {12136u, 85 + 66}, {12137u, 85 + 4}, {12198u, 85 + 4}, {12199u, 85}}) {
    // clang-format on
    LoadProgram(length);
    host_.ScriptAnswer(Answer::Yes);
    ASSERT_TRUE(Generate(1));
    const Bytes image = Output();
    EXPECT_EQ(image[4098] | image[4099] << 8, 4097 + loader) << length;
    EXPECT_EQ(Slice(image, 4097 + static_cast<std::size_t>(loader), length), program_) << length;
  }
}

TEST_F(ZX80Test, ThirtyTwoKWithoutTailKeepsTheRomUnchanged) {
  LoadProgram(1000);
  host_.ScriptAnswer(Answer::No);  // No gives 32K although 16K fits
  ASSERT_TRUE(Generate(0, 3072));
  const Bytes image = Output();
  ASSERT_EQ(image.size(), 32768u);
  EXPECT_EQ(Slice(image, 0, 3), (Bytes{0x21, 0xEE, 0x00}));  // full decoration: A = 58 + 180
  EXPECT_EQ(Slice(image, 238, 1000), program_);
  EXPECT_EQ(Slice(image, 1238, 34),
            (Bytes{0x21, 0x0A, 0x00, 0x44, 0x7E, 0xFE, 0xFD, 0x20, 0xFA, 0x10, 0xF9,  // wait
                   0xFD, 0x21, 0x00, 0x40, 0x3E, 0x0E, 0xED, 0x47, 0xED, 0x56,        // IY, I, IM
                   0x31, 0x00, 0x4C,                                                  // SP 0x4C00
                   0x21, 0xAA, 0x3F, 0xE5,                                            // PUSH 0x3FAA
                   0x00, 0x00, 0x00,                                                  // no tail
                   0xC3, 0x83, 0x02}));                                               // JP 0x0283
  EXPECT_EQ(Slice(image, 16384, 16384), StandInRom());
}

TEST_F(ZX80Test, ThirtyTwoKTailIsCopiedFromBankOneWhichThenStartsTheRomAboveRaisedRamtop) {
  const Bytes plain = {0xC3, 0x83, 0x02};
  const Bytes auto_run = {0xCD, 0x47, 0x07, 0x21, 0x47, 0x04, 0xE5,
                          0x01, 0x00, 0x00, 0xC3, 0x3D, 0x09};
  auto b = [](std::size_t value) { return static_cast<std::uint8_t>(value); };
  // Auto-run, length, head H0 - 180, the start, RAMTOP's high byte (raised above 16382 bytes).
  // clang-format off
  for (const auto& [run, length, head, start, ramtop] : {std::tuple{0, 16382u, 16110u, plain, 0x80},
       {0, 16383u, 16110u, plain, 0xC0}, {1, 16383u, 16100u, auto_run, 0xC0}}) {
    // clang-format on
    LoadProgram(length);
    ASSERT_TRUE(Generate(static_cast<std::int16_t>(run)));
    const Bytes image = Output();
    ASSERT_EQ(image.size(), 32768u);
    const std::size_t k = 11 + start.size(), tail = length - head, to = 0x4000 + head;
    EXPECT_EQ(Slice(image, 238 + head + 21, 3), (Bytes{0x31, 0x00, b(ramtop)}));  // LD SP,RAMTOP
    EXPECT_EQ(Slice(image, 238 + head + 28, 3), (Bytes{0xC3, 0x01, 0x10}));  // JP 0x1001, not CALL
    EXPECT_EQ(Slice(image, 16384, 4097), Slice(StandInRom(), 0, 4097));
    // LD HL,0x1001 + K; LD DE,0x4000 + H; LD BC,L - H; LDIR; the start; the tail. K: 14 or 24.
    EXPECT_EQ(Slice(image, 16384 + 4097, 11),
              (Bytes{0x21, b(4097 + k), 0x10, 0x11, b(to), b(to >> 8), 0x01, b(tail), b(tail >> 8),
                     0xED, 0xB0}));
    EXPECT_EQ(Slice(image, 16384 + 4097 + 11, start.size()), start);
    EXPECT_EQ(Slice(image, 16384 + 4097 + k, tail), Slice(program_, head, tail));
  }
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

TEST_F(ZX80Test, RomImageFailuresAndNames) {
  LoadProgram(1000);
  std::int32_t ram_size = 16384;
  EXPECT_FALSE(zx80_.GenerateZX80Cartridge("GAME.P", ram_size, 0));  // refused first
  EXPECT_EQ(ram_size, 16384);
  std::filesystem::remove(dir_ / "ZX80_ROM.bin");
  EXPECT_FALSE(Generate(0));
  // One byte short: nothing fits 16K, and the 32K build refuses it after building bank 0.
  dir_.Write("ZX80_ROM.bin", Slice(StandInRom(), 0, 16383));
  EXPECT_FALSE(Generate(0));
  // The 32K RAM code waits for 0xFD at 0x000A; without it the machine would never start.
  Bytes rom = StandInRom();
  rom[10] = 0xFC;
  dir_.Write("ZX80_ROM.bin", rom);
  host_.ScriptAnswer(Answer::No);
  EXPECT_FALSE(Generate(0));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "GAME.bin"));
  EXPECT_EQ(host_.errors, (std::vector<std::string>{"Failed to read ZX80 ROM file (ZX80_ROM.bin)",
                                                    "Failed to insert ZX80 ROM data",
                                                    "Failed to insert ZX80 ROM data"}));
  host_.ScriptAnswer(Answer::Yes);  // the 16K loader does not wait, so it takes the image
  EXPECT_TRUE(zx80_.GenerateZX80Cartridge("MY.GAME.P80", ram_size, 0));
  EXPECT_EQ(Slice(testing::ReadFileBytes(dir_ / "MY.GAME.bin"), 3, 4094), Slice(rom, 3, 4094));
  EXPECT_EQ(ZX80Processing::FindZX80RomEnd(StandInRom(100)), 4096);  // searched down to 4095
}

}  // namespace
}  // namespace quillfen
