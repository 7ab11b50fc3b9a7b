// Runs the cartridges' start-up code on an emulated Z80 up to the moment it enters the ZX80 ROM,
// and checks what the ROM is entered with.

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>

#include "cartridge/cartridge_maker.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "support/zx80_machine.h"
#include "zx80/zx80_processing.h"

namespace quillfen {
namespace {

using testing::ZX80Machine;
using Answer = Host::Answer;

constexpr std::uint16_t kListProgram = 0x0747;  // the CALL made before any start
constexpr std::uint16_t kRunProgram = 0x093D;
constexpr std::uint16_t kCommandLoop = 0x0283;
constexpr long kEnough = 2'000'000;  // instructions: the copies and screen clear take ~80000

class ZX80BootTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_.Write("ZX80_ROM.bin", testing::MakeRomImage(4095, {{10, 0xFD}})); }

  Bytes Build(std::size_t length, Answer answer, std::int16_t auto_run, std::int32_t ram_size) {
    program_ = testing::MakeZX80Program(length, 0, static_cast<std::uint32_t>(length));
    EXPECT_TRUE(zx80_.LoadZX80Program(dir_.Write("GAME.O", program_)));
    if (ZX80Processing::FitsIn16K(static_cast<std::int32_t>(length), 4097, auto_run))
      host_.ScriptAnswer(answer);
    EXPECT_TRUE(zx80_.GenerateZX80Cartridge("GAME.O", ram_size, auto_run));
    return testing::ReadFileBytes(dir_ / "GAME.bin");
  }

  // What every start hands the ZX80 ROM: the program at 0x4000 and the registers it expects.
  void ExpectZX80Entered(const ZX80Machine& machine, int ramtop) {
    const auto ram = machine.Ram(0x4000, program_.size());
    EXPECT_TRUE(std::equal(ram.begin(), ram.end(), program_.begin())) << "program not in RAM";
    EXPECT_EQ(machine.Register(regIY), 0x4000);
    EXPECT_EQ(machine.Register(regI), 0x0E);
    EXPECT_EQ(machine.Register(regIM), 1);
    EXPECT_EQ(machine.MemoryWord(static_cast<std::uint16_t>(ramtop - 2)), 0x3FAA);
  }

  testing::TempDir dir_;
  testing::ScriptedHost host_{dir_.path()};
  CartridgeMaker maker_;
  ZX80Processing zx80_{host_, maker_};
  Bytes program_;
};

TEST_F(ZX80BootTest, SixteenKListsTheProgramFirstWithOrWithoutAutoRun) {
  for (const std::int16_t auto_run : {0, 1}) {
    SCOPED_TRACE(auto_run);
    const Bytes image = Build(1000, Answer::Yes, auto_run, 3072);
    ASSERT_EQ(image.size(), 16384u);
    ZX80Machine machine(image);
    ASSERT_TRUE(machine.RunUntil({kListProgram, kRunProgram, kCommandLoop}, kEnough));
    EXPECT_EQ(machine.Register(regPC), kListProgram);
    ExpectZX80Entered(machine, 0x4C00);
    EXPECT_EQ(machine.Register(regSP), 0x4C00 - 4);  // 0x3FAA and the CALL's return address
    const bool painted = machine.Memory(0xDA1F) == 0x50 && machine.Memory(0xDA60) == 0x78;
    EXPECT_EQ(painted, auto_run == 1);  // stripe corner and logo only with auto-run
  }
}

TEST_F(ZX80BootTest, ThirtyTwoKWaitsForTheRomBankThenEntersTheCommandLoop) {
  const Bytes image = Build(1000, Answer::No, 0, 16384);
  ASSERT_EQ(image.size(), 32768u);
  const std::span<const std::uint8_t> bank0(image.data(), 16384);
  const std::span<const std::uint8_t> bank1(image.data() + 16384, 16384);
  ZX80Machine machine(bank0);
  ASSERT_TRUE(machine.RunUntilInRam(kEnough));
  machine.Run(10000);  // bank 0 still mapped: the RAM code keeps waiting
  const int block = 0x4000 + 1000;
  EXPECT_GE(machine.Register(regPC), block);
  EXPECT_LT(machine.Register(regPC), block + 11);
  EXPECT_NE(std::count(machine.PortWrites().begin(), machine.PortWrites().end(),
                       std::pair<std::uint16_t, std::uint8_t>{0x7FFD, 0x2F}),
            0);

  machine.MapBank(bank1);
  ASSERT_TRUE(machine.RunUntil({kListProgram, kRunProgram, kCommandLoop}, kEnough));
  EXPECT_EQ(machine.Register(regPC), kCommandLoop);
  ExpectZX80Entered(machine, 0x8000);
  EXPECT_EQ(machine.Register(regSP), 0x8000 - 2);
}

// The tail copy overwrites the RAM copy of the second block; the machine used to return into
// program bytes from the copy routine. Bank 1 now copies the tail and starts the ROM itself.
TEST_F(ZX80BootTest, ThirtyTwoKWithALongTailStartsFromBankOne) {
  struct Case {
    std::int16_t auto_run;
    std::uint16_t entry;
    int sp_below_ramtop;
  };
  for (const Case c : {Case{0, kCommandLoop, 2}, Case{1, kListProgram, 4}}) {
    SCOPED_TRACE(c.auto_run);
    const Bytes image = Build(16383, Answer::No, c.auto_run, 1024);
    ASSERT_EQ(image.size(), 32768u);
    ZX80Machine machine(std::span<const std::uint8_t>(image.data(), 16384));
    ASSERT_TRUE(machine.RunUntilInRam(kEnough));
    machine.Run(1000);
    machine.MapBank(std::span<const std::uint8_t>(image.data() + 16384, 16384));
    ASSERT_TRUE(machine.RunUntil({kListProgram, kRunProgram, kCommandLoop}, kEnough));
    EXPECT_EQ(machine.Register(regPC), c.entry);
    const int ramtop = 0x4000 + 1024 + 0x4000;  // raised: the program is longer than 16382
    ExpectZX80Entered(machine, ramtop);
    EXPECT_EQ(machine.Register(regSP), ramtop - c.sp_below_ramtop);
  }
}

TEST_F(ZX80BootTest, ThirtyTwoKAutoRunListsThenRuns) {
  const Bytes image = Build(12000, Answer::No, 1, 16384);
  ZX80Machine machine(std::span<const std::uint8_t>(image.data(), 16384));
  ASSERT_TRUE(machine.RunUntilInRam(kEnough));
  machine.Run(1000);
  machine.MapBank(std::span<const std::uint8_t>(image.data() + 16384, 16384));
  ASSERT_TRUE(machine.RunUntil({kListProgram, kRunProgram, kCommandLoop}, kEnough));
  EXPECT_EQ(machine.Register(regPC), kListProgram);
  ExpectZX80Entered(machine, 0x8000);
  EXPECT_EQ(machine.Register(regSP), 0x8000 - 4);
  EXPECT_EQ(machine.Memory(0xDA60), 0x78);  // the logo's first cell
}

}  // namespace
}  // namespace quillfen
