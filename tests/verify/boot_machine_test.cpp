#include "verify/boot_machine.h"

#include <gtest/gtest.h>

#include "boot_test_support.h"

namespace quillfen {
namespace {

constexpr std::uint64_t kDwell = 100'000;
const VerifyOptions kOptions = testing::BootOptions(kDwell, 50'000'000);

TEST(BootMachineTest, PresentsBanksInTurnFromTheStartBankWithTheInternalRomAfterTheLast) {
  Bytes image(2 * kBankSize, 0xFF);
  for (std::size_t bank = 0; bank < 2; ++bank) {
    image[bank * kBankSize] = 0x18;  // JR $: each bank spins
    image[bank * kBankSize + 1] = 0xFE;
    image[bank * kBankSize + 0x100] = static_cast<std::uint8_t>(0xB0 + bank);
  }
  image.insert(image.end(), {0x18, 0xFE});  // bank 2: two bytes, padded with 0xFF
  CartridgeSetup setup;
  setup.start_bank = 1;
  setup.internal_rom_slot = true;
  setup.internal_rom = {0xF3, 0xAF};  // padded with 0xFF too
  BootMachine machine(image, setup, kOptions);
  ASSERT_EQ(machine.BankCount(), 3u);

  struct Slot {
    int bank;
    std::uint8_t at_0000, at_0100;
  };
  const Slot slots[] = {{1, 0x18, 0xB1},
                        {2, 0x18, 0xFF},
                        {BootMachine::kInternalRom, 0xF3, 0xFF},
                        {0, 0x18, 0xB0},
                        {1, 0x18, 0xB1}};
  for (std::uint64_t i = 0; i < std::size(slots); ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(machine.RunUntil(
        [&](const BootMachine& m) { return m.TStates() >= i * kDwell + kDwell / 2; }));
    EXPECT_EQ(machine.PresentedBank(), slots[i].bank);
    EXPECT_EQ(machine.Peek(0x0000), slots[i].at_0000);
    EXPECT_EQ(machine.Peek(0x0100), slots[i].at_0100);
  }
}

TEST(BootMachineTest, PagingLocksBorderAndReadOnlyCartridgeOverRandomRam) {
  Bytes image(kBankSize, 0xFF);
  // clang-format off
  const Bytes code = {
      0x01, 0xFD, 0x7F,  // LD BC,0x7FFD
      0x3E, 0x05,        // LD A,0x05       page 5 at 0xC000 as well as at 0x4000
      0xED, 0x79,        // OUT (C),A
      0x3E, 0xAA,        // LD A,0xAA
      0x32, 0x00, 0xC0,  // LD (0xC000),A
      0x32, 0x00, 0x00,  // LD (0x0000),A   the cartridge ignores it
      0x3E, 0x23,        // LD A,0x23       page 3, locked
      0xED, 0x79,        // OUT (C),A
      0x3E, 0xBB,        // LD A,0xBB
      0x32, 0x00, 0xC0,  // LD (0xC000),A
      0x3E, 0x05,        // LD A,0x05       ignored: the paging is locked
      0xED, 0x79,        // OUT (C),A
      0x3E, 0x0B,        // LD A,0x0B
      0xD3, 0xFE,        // OUT (0xFE),A    border 3 (bit 3 is not a colour)
      0x18, 0xFE,        // JR $            at 0x0020
  };
  // clang-format on
  std::copy(code.begin(), code.end(), image.begin());
  BootMachine machine(image, CartridgeSetup{}, kOptions);
  EXPECT_FALSE(machine.PagingLocked());
  ASSERT_TRUE(machine.RunUntil([](const BootMachine& m) { return m.PC() == 0x0020; }));
  EXPECT_EQ(machine.Peek(0x0000), 0x01);
  EXPECT_EQ(machine.Peek(0x4000), 0xAA);  // page 5
  EXPECT_EQ(machine.Peek(0xC000), 0xBB);  // page 3 stayed
  EXPECT_EQ(machine.PagingPort(), 0x23);
  EXPECT_TRUE(machine.PagingLocked());
  EXPECT_EQ(machine.BorderColour(), 3);
  int zeros = 0;
  for (std::uint16_t address = 0x8000; address < 0xC000; ++address)
    zeros += machine.Peek(address) == 0 ? 1 : 0;
  EXPECT_LT(zeros, 128);  // about one in 256 by chance, not a zeroed RAM
}

TEST(BootMachineTest, RunEndsUnarrivedRightAfterTheTStateLimit) {
  BootMachine machine(Bytes{0x18, 0xFE}, CartridgeSetup{}, testing::BootOptions(kDwell, 1'000'000));
  EXPECT_FALSE(machine.RunUntil([](const BootMachine&) { return false; }));
  EXPECT_GT(machine.TStates(), 1'000'000u);
  EXPECT_LE(machine.TStates(), 1'000'000u + 12);
}

TEST(BootMachineTest, RefusesAnEmptyImageAStartBankOutsideItAndAZeroDwell) {
  CartridgeSetup past_the_end;
  past_the_end.start_bank = 1;
  EXPECT_THROW(BootMachine(Bytes{}, CartridgeSetup{}, kOptions), Error);
  EXPECT_THROW(BootMachine(Bytes(kBankSize, 0xFF), past_the_end, kOptions), Error);
  EXPECT_THROW(BootMachine(Bytes{0x00}, CartridgeSetup{}, testing::BootOptions(0, 1000)), Error);
}

}  // namespace
}  // namespace quillfen
