#include <gtest/gtest.h>

#include "support/z80_machine.h"
#include "support/zx81_files.h"
#include "zx81/zx81_generation.h"

// The generated start-up code run on an emulated Z80: bank 0 from reset until it waits in RAM,
// then bank 1 (the stand-in ZX81 ROM) until it enters the ROM at 0x0207.
namespace quillfen {
namespace {

using testing::MakeZX81Program;
using testing::Z80Machine;
using ZX81StartupRunTest = testing::ZX81GenerationTest;

constexpr long kInstructionLimit = 200000;

// What every run must leave at 0x0207 for a program image `program` and `ramtop`.
void ExpectZX81RomEntered(const Z80Machine& machine, const Bytes& program, std::uint16_t ramtop) {
  EXPECT_EQ(machine.Pc(), 0x0207);
  EXPECT_EQ(machine.PresentedBank(), 1u);
  const auto err_sp = static_cast<std::uint16_t>(ramtop - 4);
  EXPECT_EQ(machine.Ram(0x4000, 9), (Bytes{0xFF, 0x80,  // ERR_NR, FLAGS
                                           static_cast<std::uint8_t>(err_sp & 0xFF),
                                           static_cast<std::uint8_t>(err_sp >> 8),  // ERR_SP
                                           static_cast<std::uint8_t>(ramtop & 0xFF),
                                           static_cast<std::uint8_t>(ramtop >> 8),  // RAMTOP
                                           0x00, 0xFE, 0xFF}));                     // MODE, PPC
  EXPECT_TRUE(machine.Ram(0x4009, program.size()) == program) << "program image in RAM";
  EXPECT_EQ(machine.Register(regSP), err_sp);
  EXPECT_EQ(machine.PeekWord(static_cast<std::uint16_t>(ramtop - 2)), 0x3E00);
  EXPECT_EQ(machine.PeekWord(err_sp), 0x0676);
  EXPECT_EQ(machine.Register(regAF_), 0x0044);  // XOR A leaves Z and P/V set in F'
  EXPECT_EQ(machine.Register(regIX), 0x0281);
  EXPECT_EQ(machine.Register(regIY), 0x4000);
  EXPECT_EQ(machine.Register(regI), 0x1E);
  EXPECT_EQ(machine.Register(regIM), 1);
}

// Runs bank 0 until the code waits in RAM, checks that it keeps waiting there, then presents
// bank 1 and runs until the ZX81 ROM is entered.
void RunToZX81Rom(Z80Machine& machine, std::uint16_t ram_code) {
  ASSERT_TRUE(
      machine.RunUntil([](const Z80Machine& m) { return m.Pc() >= 0x4000; }, kInstructionLimit));
  EXPECT_EQ(machine.Pc(), ram_code);
  // Bank 0 holds 0xB0 at 0x000A: the wait loop (its first 11 bytes) never ends.
  ASSERT_FALSE(machine.RunUntil(
      [ram_code](const Z80Machine& m) { return m.Pc() < ram_code || m.Pc() >= ram_code + 11; },
      5000));
  machine.PresentBank(1);
  ASSERT_TRUE(machine.RunUntilPc(0x0207, kInstructionLimit));
}

TEST_F(ZX81StartupRunTest, ShortProgramIn1KEntersTheRomWithTheProgramInRam) {
  WriteRom(StandInRom());
  LoadProgram(MakeZX81Program(1000));
  ASSERT_TRUE(Generate(1024, 1));
  Bytes expected = MakeZX81Program(1000);
  expected[32] = 0x7D;  // NXTLIN rewritten to the first line, 0x407D
  expected[33] = 0x40;

  Z80Machine machine(Output());
  RunToZX81Rom(machine, 0x4009 + 1000);
  ExpectZX81RomEntered(machine, expected, 0x4400);

  // The hardware set-up and the decoration.
  const auto& ports = machine.PortWrites();
  ASSERT_GE(ports.size(), 6u);
  EXPECT_EQ(ports[0], (std::pair<std::uint16_t, std::uint8_t>{0x7FFD, 0x2F}));
  EXPECT_EQ(ports[5].second, 0x08);  // border black
  EXPECT_EQ(ports[5].first & 0xFF, 0xFE);
  EXPECT_EQ(machine.Peek(0xDA1F), 0x50);  // first stripe row, bottom right
  EXPECT_EQ(machine.Peek(0xDAFB), 0x68);  // last stripe row, its fourth cell
  EXPECT_EQ(machine.Peek(0xDA60), 0x78);  // top left cell of the logo
  EXPECT_EQ(machine.Peek(0xDAF3), 0x78);  // last cell of the logo's bottom row
  EXPECT_EQ(machine.Peek(0xDA65), 0x00);
  EXPECT_EQ(machine.Peek(0xC000), 0x00);  // the screen is cleared
}

TEST_F(ZX81StartupRunTest, SplitProgramIsCompletedFromBankOne) {
  WriteRom(StandInRom(8191));
  const Bytes program = MakeZX81Program(20000);  // H = 16100: 3900 bytes in bank 1
  LoadProgram(program);
  ASSERT_TRUE(Generate(16384));

  Z80Machine machine(Output());
  RunToZX81Rom(machine, 0x4009 + 16100);
  ExpectZX81RomEntered(machine, program, 0xC000);  // longer than 16371: RAMTOP raised
}

TEST_F(ZX81StartupRunTest, LongestUndecoratedProgramRuns) {
  WriteRom(StandInRom(8191));
  const Bytes program = MakeZX81Program(24449);
  LoadProgram(program);
  ASSERT_TRUE(Generate(16384));

  Z80Machine machine(Output());
  RunToZX81Rom(machine, 0x4009 + 16272);
  ExpectZX81RomEntered(machine, program, 0xC000);
  for (const auto& [port, value] : machine.PortWrites())
    EXPECT_NE(port & 0xFF, 0xFE) << "no border without room for it";
}

TEST_F(ZX81StartupRunTest, WaitLoopRestartsOnAStrayRead) {
  WriteRom(StandInRom());
  LoadProgram(MakeZX81Program(500));
  ASSERT_TRUE(Generate(16384));
  Z80Machine machine(Output());
  ASSERT_TRUE(
      machine.RunUntil([](const Z80Machine& m) { return m.Pc() >= 0x4000; }, kInstructionLimit));
  // Bank 1 shows for a few reads only, then bank 0 again: the code must not leave RAM.
  machine.PresentBank(1);
  for (int i = 0; i < 100; ++i) machine.Step();
  machine.PresentBank(0);
  EXPECT_FALSE(machine.RunUntil([](const Z80Machine& m) { return m.Pc() < 0x4000; }, 5000));
}

// Why a ROM image whose byte 0x000A is not 0x40 is refused: the cartridge would never start.
TEST_F(ZX81StartupRunTest, RomWithoutTheAwaitedByteWouldHang) {
  WriteRom(StandInRom());
  LoadProgram(MakeZX81Program(500));
  ASSERT_TRUE(Generate(16384));
  Bytes image = Output();
  image[0x4000 + 0x000A] = 0x3F;
  Z80Machine machine(image);
  ASSERT_TRUE(
      machine.RunUntil([](const Z80Machine& m) { return m.Pc() >= 0x4000; }, kInstructionLimit));
  machine.PresentBank(1);
  EXPECT_FALSE(machine.RunUntil([](const Z80Machine& m) { return m.Pc() < 0x4000; }, 20000));
}

}  // namespace
}  // namespace quillfen
