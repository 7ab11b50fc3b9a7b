#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cartridge/error.h"
#include "support/zx81_files.h"
#include "zx81/zx81_generation.h"

namespace quillfen {
namespace {

using testing::MakeRomImage;
using testing::MakeZX81Program;
using testing::StoreWord;
using ZX81CartridgeTest = testing::ZX81GenerationTest;

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t length) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
               bytes.begin() + static_cast<std::ptrdiff_t>(offset + length));
}

bool AllFF(const Bytes& bytes, std::size_t from, std::size_t to) {
  return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                     bytes.begin() + static_cast<std::ptrdiff_t>(to),
                     [](std::uint8_t b) { return b == 0xFF; });
}

// The offset A of the system variable block: the operand of the first instruction, LD HL,A.
std::size_t SystemVariablesOffset(const Bytes& image) {
  EXPECT_EQ(image[0], 0x21);
  return image[1] | image[2] << 8;
}

TEST_F(ZX81CartridgeTest, ShortProgramWithEveryDecorationAndNoTail) {
  const Bytes rom = StandInRom(8191);  // free space from 8193
  WriteRom(rom);
  const Bytes program = MakeZX81Program(1000);
  LoadProgram(program);
  std::int32_t ram_size = 1024;
  ASSERT_TRUE(zx81_.GenerateZX81Cartridge("GAME.P", ram_size, 0));
  EXPECT_EQ(ram_size, 0x4400);
  EXPECT_TRUE(host_.errors.empty());

  const Bytes image = Output();
  ASSERT_EQ(image.size(), 32768u);
  EXPECT_EQ(image, maker_.CartridgeImage());
  EXPECT_EQ(Slice(image, 0, 3), (Bytes{0x21, 230, 0x00}));          // LD HL,230
  EXPECT_EQ(Slice(image, 42, 4), (Bytes{0x3E, 0x08, 0xD3, 0xFE}));  // black border
  EXPECT_EQ(Slice(image, 59, 4), (Bytes{0x16, 0xDA, 0x0E, 13}));    // 13 attribute rows
  EXPECT_EQ(Slice(image, 63, 3), (Bytes{0x21, 82, 0x00}));          // LD HL,T
  EXPECT_EQ(Slice(image, 79, 3), (Bytes{0xC3, 0xF1, 0x43}));        // JP 0x4009 + 1000
  EXPECT_EQ(Slice(image, 82, 3), (Bytes{0x1F, 0x01, 0x50}));        // first stripe row
  EXPECT_EQ(Slice(image, 124, 3), (Bytes{0x60, 0x13, 0x78}));       // first logo row
  EXPECT_EQ(Slice(image, 230, 9),  // ERR_NR, FLAGS, ERR_SP 0x43FC, RAMTOP 0x4400, MODE, PPC
            (Bytes{0xFF, 0x80, 0xFC, 0x43, 0x00, 0x44, 0x00, 0xFE, 0xFF}));
  EXPECT_EQ(Slice(image, 239, 1000), program);
  EXPECT_EQ(Slice(image, 1239, 3), (Bytes{0x21, 0x0A, 0x00}));       // second block: LD HL,0x000A
  EXPECT_EQ(Slice(image, 1239 + 27, 3), (Bytes{0x31, 0x00, 0x44}));  // LD SP,0x4400
  EXPECT_EQ(Slice(image, 1239 + 38, 3), (Bytes{0xC3, 0x07, 0x02}));  // JP 0x0207
  EXPECT_TRUE(AllFF(image, 1239 + 41, 16384));
  EXPECT_EQ(Slice(image, 16384, 16384), rom);
}

TEST_F(ZX81CartridgeTest, SizeLimitFollowsTheRomImagesFreeSpace) {
  WriteRom(StandInRom(8191));  // 16272 + (16384 - 8193 - 14) = 24449
  LoadProgram(MakeZX81Program(24449));
  EXPECT_TRUE(Generate());
  EXPECT_TRUE(host_.errors.empty());

  std::filesystem::remove(folder_ / "GAME.bin");
  LoadProgram(MakeZX81Program(24450));
  std::int32_t ram_size = 16384;
  EXPECT_FALSE(zx81_.GenerateZX81Cartridge("GAME.P", ram_size, 0));
  EXPECT_EQ(host_.errors, (std::vector<std::string>{"Program is too large"}));
  EXPECT_EQ(ram_size, 32768);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "GAME.bin"));

  // A ROM image without free space leaves no room in bank 1: 16272 - 14 - 1 = 16257.
  WriteRom(StandInRom(16383));
  LoadProgram(MakeZX81Program(16258));
  EXPECT_FALSE(Generate());
  EXPECT_EQ(host_.errors.back(), "Program is too large");
}

TEST_F(ZX81CartridgeTest, DecorationGivesWayToLongPrograms) {
  struct Case {
    std::int32_t length;
    std::size_t system_variables;  // A
    bool border;
  };
  WriteRom(StandInRom(8191));                       // bank 1 room F = 8177, so 16272 + F = 24449
  for (const Case& c : {Case{24445, 58, false},     // 16272 + F - 4: strictly not below
                        Case{24444, 62, true},      // border only
                        Case{24383, 62, true},      // 16272 + F - 4 - 62: no stripes
                        Case{24382, 124, true},     // border and stripes
                        Case{24277, 124, true},     // 16272 + F - 4 - 62 - 106: no logo
                        Case{24276, 230, true}}) {  // everything
    LoadProgram(MakeZX81Program(static_cast<std::size_t>(c.length)));
    ASSERT_TRUE(Generate()) << c.length;
    const Bytes image = Output();
    ASSERT_EQ(image.size(), 32768u);
    EXPECT_EQ(SystemVariablesOffset(image), c.system_variables) << c.length;
    EXPECT_EQ(image[42], c.border ? 0x3E : 0xAF) << c.length;  // LD A,8 or XOR A
    if (c.system_variables > 62) {  // stripes: LD C,rows in the attribute loop
      EXPECT_EQ(image[62], c.system_variables == 230 ? 13 : 8) << c.length;
    }
  }
}

TEST_F(ZX81CartridgeTest, SplitProgramPutsItsTailBehindTheCopyRoutine) {
  const Bytes rom = StandInRom(8191);
  WriteRom(rom);
  const Bytes program = MakeZX81Program(24272);  // the head H = 16272 - 172 = 16100
  LoadProgram(program);
  ASSERT_TRUE(Generate());
  const Bytes image = Output();
  ASSERT_EQ(image.size(), 32768u);
  EXPECT_EQ(Slice(image, 79, 3), (Bytes{0xC3, 0xED, 0x7E}));  // JP 0x4009 + 16100
  EXPECT_EQ(Slice(image, 239, 16100), Slice(program, 0, 16100));
  EXPECT_EQ(Slice(image, 239 + 16100 + 38, 3), (Bytes{0xC3, 0x01, 0x20}));  // JP 8193
  EXPECT_TRUE(AllFF(image, 239 + 16100 + 41, 16384));

  const std::size_t routine = 16384 + 8193;
  EXPECT_EQ(Slice(image, 16384, 8193), Slice(rom, 0, 8193));
  EXPECT_EQ(Slice(image, routine, 14), (Bytes{0x21, 0x0F, 0x20,     // LD HL,8207
                                              0x11, 0xED, 0x7E,     // LD DE,0x7EED
                                              0x01, 0xEC, 0x1F,     // LD BC,8172
                                              0xED, 0xB0,           // LDIR
                                              0xC3, 0x07, 0x02}));  // JP 0x0207
  EXPECT_EQ(Slice(image, routine + 14, 8172), Slice(program, 16100, 8172));
  EXPECT_TRUE(AllFF(image, routine + 14 + 8172, 32768));
}

TEST_F(ZX81CartridgeTest, LongProgramsRaiseRamTop) {
  WriteRom(StandInRom());
  // The block after the jump and the decoration: ERR_SP and RAMTOP at A + 2 and A + 4.
  LoadProgram(MakeZX81Program(16371));
  ASSERT_TRUE(Generate(16384));
  Bytes image = Output();
  EXPECT_EQ(Slice(image, SystemVariablesOffset(image) + 2, 4), (Bytes{0xFC, 0x7F, 0x00, 0x80}));

  LoadProgram(MakeZX81Program(16372));
  ASSERT_TRUE(Generate(16384));
  image = Output();
  EXPECT_EQ(Slice(image, SystemVariablesOffset(image) + 2, 4), (Bytes{0xFC, 0xBF, 0x00, 0xC0}));
}

TEST_F(ZX81CartridgeTest, RomImageFailures) {
  struct Case {
    const char* what;
    Bytes rom;
    const char* message;
  };
  Bytes cannot_start = StandInRom();
  cannot_start[0x000A] = 0x3F;  // the RAM code would wait for ever for 0x40 here
  LoadProgram(MakeZX81Program(1000));
  for (const Case& c :
       {Case{"empty", {}, "Failed to read ZX81 ROM file (ZX81_ROM.bin)"},
        Case{"one byte short", StandInRom(8191, 16383), "Failed to insert ZX81 ROM data"},
        Case{"one byte long", StandInRom(8191, 16385), "Failed to insert ZX81 ROM data"},
        Case{"cannot start", cannot_start, "Failed to insert ZX81 ROM data"}}) {
    host_.errors.clear();
    WriteRom(c.rom);
    EXPECT_FALSE(Generate()) << c.what;
    EXPECT_EQ(host_.errors, (std::vector<std::string>{c.message})) << c.what;
    EXPECT_FALSE(std::filesystem::exists(folder_ / "GAME.bin")) << c.what;
  }

  host_.errors.clear();
  std::filesystem::remove(folder_ / "ZX81_ROM.bin");
  EXPECT_FALSE(Generate());
  EXPECT_EQ(host_.errors,
            (std::vector<std::string>{"Failed to read ZX81 ROM file (ZX81_ROM.bin)"}));
}

TEST_F(ZX81CartridgeTest, RefusesANameWithoutAZX81ExtensionBeforeAnythingElse) {
  LoadProgram(MakeZX81Program(1000));
  for (const std::string name : {"GAME.O", "GAME", "GAME.P82"}) {
    std::int32_t ram_size = 1024;
    EXPECT_FALSE(zx81_.GenerateZX81Cartridge(name, ram_size, 1)) << name;
    EXPECT_EQ(ram_size, 1024) << name;
  }
  EXPECT_TRUE(host_.errors.empty());
  EXPECT_EQ(zx81_.ZX81Program(), MakeZX81Program(1000));  // no auto-run added
}

TEST_F(ZX81CartridgeTest, WritesTheImageUnderTheProgramsNameWithBin) {
  WriteRom(StandInRom());
  LoadProgram(MakeZX81Program(500));
  ASSERT_TRUE(Generate(16384, 0, "MY.GAME.81"));
  EXPECT_EQ(Output("MY.GAME.bin").size(), 32768u);
  ASSERT_TRUE(Generate(16384, 0, "GAME.P81"));
  EXPECT_EQ(Output("GAME.bin"), maker_.CartridgeImage());
}

TEST_F(ZX81CartridgeTest, AutoRunPointsNxtLinAtTheFirstLine) {
  WriteRom(StandInRom());
  const std::size_t nxtlin_in_image = 230 + 9 + 32;  // head offset 32 behind the block at A

  LoadProgram(MakeZX81Program(1000));  // NXTLIN 0: does not start by itself
  ASSERT_TRUE(Generate(16384, 0));
  EXPECT_EQ(Slice(Output(), nxtlin_in_image, 2), (Bytes{0x00, 0x00}));
  ASSERT_TRUE(Generate(16384, 1));
  EXPECT_EQ(Slice(Output(), nxtlin_in_image, 2), (Bytes{0x7D, 0x40}));
  EXPECT_EQ(Slice(zx81_.ZX81Program(), 32, 2), (Bytes{0x7D, 0x40}));  // kept for the next one
  EXPECT_TRUE(zx81_.ZX81ProgramAutoRuns());

  // A program that already starts by itself keeps its own NXTLIN.
  Bytes starting = MakeZX81Program(1000, 0x4009 + 120);
  LoadProgram(starting);
  ASSERT_TRUE(Generate(16384, 1));
  EXPECT_EQ(Slice(Output(), nxtlin_in_image, 2), (Bytes{0x81, 0x40}));

  // With an empty program area there is no line to run.
  Bytes empty = MakeZX81Program(1000);
  empty[116] = 0x76;
  LoadProgram(empty);
  ASSERT_TRUE(Generate(16384, 1));
  EXPECT_EQ(zx81_.ZX81Program(), empty);
}

TEST_F(ZX81CartridgeTest, NxtLinIntoTheSystemVariablesPassesTheErrorOn) {
  WriteRom(StandInRom());
  LoadProgram(MakeZX81Program(1000, 0x4005));
  EXPECT_THROW((void)Generate(16384, 0), Error);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "GAME.bin"));
}

TEST(FindZX81RomEndTest, FindsTheFirstFreeByteBehindTheLastUsedOne) {
  EXPECT_EQ(ZX81Processing::FindZX81RomEnd(MakeRomImage(8191)), 8193);
  EXPECT_EQ(ZX81Processing::FindZX81RomEnd(MakeRomImage(12000)), 12002);
  EXPECT_EQ(ZX81Processing::FindZX81RomEnd(MakeRomImage(16382)), 16384);
  EXPECT_EQ(ZX81Processing::FindZX81RomEnd(MakeRomImage(16383)), 16385);
  // Used bytes below 8191 are not looked at: all 0xFF from 8191 gives 8192.
  EXPECT_EQ(ZX81Processing::FindZX81RomEnd(MakeRomImage(8190)), 8192);
  EXPECT_EQ(ZX81Processing::FindZX81RomEnd(MakeRomImage(100)), 8192);
  // A short image counts as used up to its end.
  EXPECT_EQ(ZX81Processing::FindZX81RomEnd(MakeRomImage(100, {}, 16383)), 16385);
  EXPECT_EQ(ZX81Processing::FindZX81RomEnd(Bytes{}), 16385);
}

}  // namespace
}  // namespace quillfen
