// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <tuple>

#include "cartridge/cartridge_maker.h"
#include "cartridge/error.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/zx81_files.h"
#include "verify/boot_machine.h"
#include "zx81/zx81_processing.h"

namespace quillfen {
namespace {

using testing::MakeZX81P81File;
using testing::MakeZX81Program;
using testing::Slice;
using testing::StoreWord;

/// A stand-in ZX81 ROM image, free space from last_used + 2, with the 0x40 at 0x000A that the RAM
/// code waits for.
Bytes StandInRom(std::size_t last_used = 8191) {
  return testing::MakeRomImage(last_used, {{0x000A, 0x40}});
}

class ZX81Test : public ::testing::Test {
 protected:
  void WriteRom(const Bytes& rom) { folder_.Write("ZX81_ROM.bin", rom); }
  bool Load(const std::string& name, const Bytes& file) {
    return zx81_.LoadZX81Program(folder_.Write(name, file));
  }
  void LoadProgram(const Bytes& image) { ASSERT_TRUE(Load("GAME.P", image)); }
  bool Generate(std::int32_t ram_size = 16384, std::int16_t auto_run = 0,
                const std::string& name = "GAME.P") {
    return zx81_.GenerateZX81Cartridge(name, ram_size, auto_run);
  }
  Bytes Output(const std::string& name = "GAME.bin") const {
    return testing::ReadFileBytes(folder_ / name);
  }

  testing::TempDir folder_;
  testing::ScriptedHost host_{folder_.path()};
  CartridgeMaker maker_;
  ZX81Processing zx81_{host_, maker_};
};

TEST_F(ZX81Test, ExtensionsInEitherCaseAndTheNameOfP81FilesOnly) {
  const Bytes image = MakeZX81Program(300);
  const Bytes named = MakeZX81P81File({0x2C, 0x26, 0xB2}, image);  // name ends at bit 7 set
  Bytes marked = image;
  marked[0] = 0x80;  // a .P file is taken as it is, even with bit 7 set in its first byte
                     // clang-format off
  for (const auto& [name, file, loaded] : {std::tuple{"game.p", image, image},
       {"Game.81", image, image}, {"GAME.P81", named, image}, {"GAME.P", marked, marked}}) {
    // clang-format on
    ASSERT_TRUE(Load(name, file)) << name;
    EXPECT_EQ(zx81_.ZX81Program(), loaded) << name;
  }
  for (const std::string name : {"GAME.P82", "GAME.P.TXT"}) EXPECT_FALSE(Load(name, image)) << name;
  EXPECT_EQ(zx81_.ZX81Program(), marked);  // refused before it is read
  EXPECT_FALSE(Load("GAME.P81", image));   // its first byte is taken as the name: too short
  Bytes longest(32766, 0x26);              // 32767 name bytes at most
  longest.push_back(0xA6);
  EXPECT_TRUE(Load("LONG.P81", MakeZX81P81File(longest, image)));
  longest.insert(longest.begin(), 0x26);
  EXPECT_FALSE(Load("LONG.P81", MakeZX81P81File(longest, image)));
}

TEST_F(ZX81Test, DeclaredLengthBoundaries) {
  // File length, E_LINE, loads, length: 115 bytes are short of the system variables, and an
  // E_LINE within them leaves nothing. tests/hostile tries every other E_LINE.
  // clang-format off
  for (const auto& [file_length, e_line, loads, length] : {
       std::tuple{115u, 0x4009 + 115, false, 0}, {116u, 0x4009 + 116, true, 116},
       {300u, 0x4009 + 115, true, 0}}) {
    // clang-format on
    Bytes file = MakeZX81Program(file_length);
    StoreWord(file, 11, static_cast<std::uint16_t>(e_line));
    ASSERT_EQ(Load("GAME.P", file), loads) << e_line;
    if (!loads) continue;
    EXPECT_EQ(zx81_.ZX81ProgramLength(), length) << e_line;
    EXPECT_EQ(zx81_.ZX81Program(), Bytes(file.begin(), file.begin() + (e_line - 0x4009)));
  }
}

TEST_F(ZX81Test, AutoRunsWhenNxtLinAddressesALineWaitingToRun) {
  Bytes image = MakeZX81Program(300);
  image[200] = 0x76;  // a newline, as at the start of the display file
  // Whether NXTLIN makes the program start by itself; nullopt: an error for the caller.
  // clang-format off
  for (const auto& [nxtlin, auto_runs] : {
       std::pair<std::uint16_t, std::optional<bool>>{0x0000, false}, {0x4009 + 200, false},
       {0x4009 + 201, true}, {0x4009 + 300, true}, {0x4009, true}, {0x4008, std::nullopt}}) {
    // clang-format on
    StoreWord(image, 32, nxtlin);
    ASSERT_TRUE(Load("GAME.P", image)) << nxtlin;
    if (auto_runs)
      EXPECT_EQ(zx81_.ZX81ProgramAutoRuns(), *auto_runs) << nxtlin;
    else
      EXPECT_THROW((void)zx81_.ZX81ProgramAutoRuns(), Error) << nxtlin;
  }
  StoreWord(image, 11, 0x4009);  // a declared length of 0: not even NXTLIN is left
  ASSERT_TRUE(Load("GAME.P", image));
  EXPECT_THROW((void)zx81_.ZX81ProgramAutoRuns(), Error);
}

// tests/verify boots images of every layout and checks the RAM and registers the ZX81 ROM is
// entered with; here what that check does not see: the screen and the paging.
TEST_F(ZX81Test, BootedImageShowsTheSecondScreenWithItsStripesAndLogo) {
  WriteRom(StandInRom());
  LoadProgram(MakeZX81Program(1000));
  ASSERT_TRUE(Generate(1024));
  BootMachine machine(Output(), {}, {.dwell_t_states = 1'200'000, .t_state_limit = 10'000'000});
  ASSERT_TRUE(machine.RunUntil(
      [](const BootMachine& m) { return m.PC() == 0x0207 && m.PresentedBank() == 1; }));
  EXPECT_EQ(machine.PagingPort(), 0x2F);
  EXPECT_EQ(machine.Peek(0xDA1F), 0x50);  // first stripe row, bottom right
  EXPECT_EQ(machine.Peek(0xDAF3), 0x78);  // last cell of the logo's bottom row
}

TEST_F(ZX81Test, ProgramsLongerThanBothBanksTakeAreRefused) {
  // One byte past 16272 + (16384 - 8193 - 14) = 24449, and without free space past
  // 16272 - 14 - 1 = 16257: tests/verify builds both longest programs.
  for (const auto& [last_used, length] : {std::pair{8191u, 24450u}, {16383u, 16258u}}) {
    host_.errors.clear();
    WriteRom(StandInRom(last_used));
    LoadProgram(MakeZX81Program(length));
    EXPECT_FALSE(Generate()) << length;
    EXPECT_EQ(host_.errors, std::vector<std::string>{"Program is too large"});
    EXPECT_FALSE(std::filesystem::exists(folder_ / "GAME.bin")) << length;
  }
  EXPECT_EQ(zx81_.FindZX81RomEnd(testing::MakeRomImage(100)), 8192);  // searched down to 8191
}

TEST_F(ZX81Test, NameAndAutoRun) {
  LoadProgram(MakeZX81Program(1000));  // NXTLIN 0: does not start by itself
  std::int32_t ram_size = 1024;
  EXPECT_FALSE(zx81_.GenerateZX81Cartridge("GAME.P82", ram_size, 1));
  EXPECT_EQ(ram_size, 1024);  // refused before anything else
  WriteRom(StandInRom());
  ASSERT_TRUE(Generate(16384, 1, "MY.GAME.81"));
  EXPECT_EQ(Slice(Output("MY.GAME.bin"), 239 + 32, 2), (Bytes{0x7D, 0x40}));
  LoadProgram(MakeZX81Program(1000, 0x4081));  // a program that starts by itself keeps NXTLIN
  ASSERT_TRUE(Generate(16384, 1));
  EXPECT_EQ(Slice(Output(), 239 + 32, 2), (Bytes{0x81, 0x40}));
  std::filesystem::remove(folder_ / "GAME.bin");
  LoadProgram(MakeZX81Program(1000, 0x4005));  // NXTLIN into the system variables
  EXPECT_THROW((void)Generate(16384, 0), Error);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "GAME.bin"));
}

}  // namespace
}  // namespace quillfen
