// SPDX-License-Identifier: GPL-3.0-or-later
// A ROM image file that is missing, empty, of the wrong size or not the machine's ROM keeps the
// converter's own message and adds, as its detail, where it looked or what it found.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "hostile/hostile_inputs.h"
#include "support/rom_images.h"

namespace quillfen {
namespace {

struct Machine {
  const char* kind;
  const char* rom_name;
  std::pair<std::size_t, std::uint8_t> wait;  // the byte the start-up code waits for
  const char* read_failed;
  const char* insert_failed;
  const char* content;  // what the ROM image must hold
};

const Machine kMachines[] = {
    {"P",
     "ZX81_ROM.bin",
     {0x000A, 0x40},
     "Failed to read ZX81 ROM file (ZX81_ROM.bin)",
     "Failed to insert ZX81 ROM data",
     "the ZX81 ROM followed by free space filled with 0xFF"},
    {"O",
     "ZX80_ROM.bin",
     {0x000A, 0xFD},
     "Failed to read ZX80 ROM file (ZX80_ROM.bin)",
     "Failed to insert ZX80 ROM data",
     "the ZX80 ROM followed by free space filled with 0xFF"},
    {"SNA",
     "SPECTRUM_ROM.bin",
     {0x0000, 0xF3},
     "Failed to read Spectrum ROM file (SPECTRUM_ROM.bin)",
     "Failed to insert Spectrum ROM data",
     "the 48K Spectrum ROM"},
};

class RomFilesTest : public testing::HostileInputTest,
                     public ::testing::WithParamInterface<Machine> {
 protected:
  // ROM images are searched in an empty folder first, then in the test's folder.
  void SetUp() override { host_.rom_folders = {empty_.path(), folder_.path()}; }

  // Loads a program of `kind_` (a ZX80 or ZX81 one of `length` bytes when given), writes `rom`
  // as the machine's ROM image (removes it when there is none) and generates with every question
  // answered No (the largest cartridge); the messages shown are kept.
  bool Generate(const std::optional<Bytes>& rom, std::size_t length = 0) {
    if (rom)
      folder_.Write(GetParam().rom_name, *rom);
    else
      std::filesystem::remove(RomPath());
    Bytes program = ValidFile(kind_);
    if (length)
      program = kind_ == "P" ? testing::MakeZX81Program(length) : testing::MakeZX80Program(length);
    EXPECT_TRUE(Load(kind_, folder_.Write("GAME." + kind_, program)));
    host_.errors.clear();
    host_.details.clear();
    host_.ScriptAnswer(Host::Answer::No);
    std::int32_t ram_size = kind_ == "SNA" ? 49152 : 16384;
    const std::string name = "GAME." + kind_;
    return kind_ == "P"   ? converters_.GenerateZX81Cartridge(name, ram_size, 0)
           : kind_ == "O" ? converters_.GenerateZX80Cartridge(name, ram_size, 0)
                          : converters_.GenerateSpectrumCartridge(name, ram_size);
  }
  Bytes GoodRom() const { return testing::MakeRomImage(8000, {GetParam().wait}); }
  std::string RomPath() const { return (folder_ / GetParam().rom_name).string(); }
  void ExpectMessage(const std::string& text, const std::string& detail) {
    EXPECT_EQ(host_.errors, std::vector{text});
    EXPECT_EQ(host_.details, std::vector{detail});
  }

  const std::string kind_ = GetParam().kind;
  testing::TempDir empty_;
};

TEST_P(RomFilesTest, FoundInALaterFolderElseEveryFolderIsNamed) {
  EXPECT_TRUE(Generate(GoodRom()));
  EXPECT_TRUE(host_.errors.empty());
  EXPECT_FALSE(Generate(std::nullopt));
  ExpectMessage(GetParam().read_failed,
                std::string(GetParam().rom_name) + " is in none of these folders:\n" +
                    empty_.path().string() + "\n" + folder_.path().string());
}

TEST_P(RomFilesTest, EmptyShortLongOrForeignImagesSayWhatWasFound) {
  EXPECT_FALSE(Generate(Bytes{}));
  ExpectMessage(GetParam().read_failed, RomPath() + ": an empty file");

  const std::string needed = " bytes; 16384 are needed: " + std::string(GetParam().content);
  for (const std::size_t length : {8192u, 4096u, 16385u}) {
    EXPECT_FALSE(Generate(testing::MakeRomImage(3000, {GetParam().wait}, length)));
    ExpectMessage(GetParam().insert_failed,
                  RomPath() + " holds " + std::to_string(length) + needed);
  }
  // A long ZX80 or ZX81 program beside a short ROM dump: the dump is the fault, not the program.
  if (kind_ != "SNA") {
    EXPECT_FALSE(Generate(testing::MakeRomImage(3000, {GetParam().wait}, 8192), 16340));
    ExpectMessage(GetParam().insert_failed, RomPath() + " holds 8192" + needed);
  }

  Bytes foreign = GoodRom();
  foreign[GetParam().wait.first] ^= 0x01;
  EXPECT_FALSE(Generate(foreign));
  char expected[160];
  std::snprintf(expected, sizeof expected,
                " holds 0x%02X at 0x%04zX, where the cartridge waits for 0x%02X: it must be ",
                foreign[GetParam().wait.first], GetParam().wait.first, GetParam().wait.second);
  ExpectMessage(GetParam().insert_failed, RomPath() + expected + GetParam().content);
}

INSTANTIATE_TEST_SUITE_P(EveryMachine, RomFilesTest, ::testing::ValuesIn(kMachines),
                         [](const auto& info) { return std::string(info.param.kind); });

}  // namespace
}  // namespace quillfen
