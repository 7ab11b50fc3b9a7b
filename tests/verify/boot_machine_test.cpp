// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify/boot_machine.h"

#include <gtest/gtest.h>

#include "cartridge/bytes.h"
#include "verify/state_comparison.h"
#include "verify/verify_result.h"
#include "verify/verify_summary.h"

namespace quillfen {
namespace {

constexpr std::uint64_t kDwell = 100'000;
const VerifyOptions kOptions{.dwell_t_states = kDwell, .t_state_limit = 50'000'000};

// Each bank is marked at 0x0000 (harmless to run); the third bank and the internal ROM are one
// byte long, padded with 0xFF.
TEST(BootMachineTest, PresentsBanksInTurnFromTheStartBankWithTheInternalRomAfterTheLast) {
  Bytes image(2 * kBankSize + 1, 0xFF);
  for (std::size_t bank = 0; bank < 3; ++bank)
    image[bank * kBankSize] = static_cast<std::uint8_t>(0xB0 + bank);
  const CartridgeSetup setup{.start_bank = 1, .internal_rom_slot = true, .internal_rom = {0xF3}};
  BootMachine machine(image, setup, kOptions);
  ASSERT_EQ(machine.BankCount(), 3u);
  const int order[] = {1, 2, BootMachine::kInternalRom, 0, 1};
  const std::uint8_t marks[] = {0xB1, 0xB2, 0xF3, 0xB0, 0xB1};
  for (std::uint64_t i = 0; i < std::size(order); ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(machine.RunUntil(
        [&](const BootMachine& m) { return m.TStates() >= i * kDwell + kDwell / 2; }));
    EXPECT_EQ(machine.PresentedBank(), order[i]);
    EXPECT_EQ(machine.Peek(0x0000), marks[i]);
    EXPECT_EQ(machine.Peek(0x3FFF), 0xFF);
  }
}

TEST(BootMachineTest, PagingLocksBorderAndReadOnlyCartridgeOverRandomRam) {
  Bytes image(kBankSize, 0xFF);
  // clang-format off
  const Bytes code = {
      0x01, 0xFD, 0x7F, 0x3E, 0x05, 0xED, 0x79,  // LD BC,0x7FFD; LD A,5; OUT (C),A: page 5 at C000
      0x3E, 0xAA, 0x32, 0x00, 0xC0,              // LD A,0xAA; LD (0xC000),A
      0x32, 0x00, 0x00,                          // LD (0x0000),A: the cartridge ignores it
      0x3E, 0x23, 0xED, 0x79,                    // LD A,0x23; OUT (C),A: page 3, locked
      0x3E, 0xBB, 0x32, 0x00, 0xC0,              // LD A,0xBB; LD (0xC000),A
      0x3E, 0x05, 0xED, 0x79,                    // LD A,5; OUT (C),A: ignored, paging locked
      0x3E, 0x0B, 0xD3, 0xFE,                    // LD A,0x0B; OUT (0xFE),A: border 3 (not bit 3)
      0x18, 0xFE,                                // JR $ at 0x0020
  };
  // clang-format on
  std::copy(code.begin(), code.end(), image.begin());
  BootMachine machine(image, CartridgeSetup{}, kOptions);
  ASSERT_TRUE(machine.RunUntil([](const BootMachine& m) { return m.PC() == 0x0020; }));
  EXPECT_EQ(machine.Peek(0x0000), 0x01);
  EXPECT_EQ(machine.Peek(0x4000), 0xAA);  // page 5
  EXPECT_EQ(machine.Peek(0xC000), 0xBB);  // page 3 stayed
  EXPECT_TRUE(machine.PagingLocked());
  EXPECT_EQ(machine.BorderColour(), 3);
  int zeros = 0;
  for (std::uint16_t address = 0x8000; address < 0xC000; ++address)
    zeros += machine.Peek(address) == 0 ? 1 : 0;
  EXPECT_LT(zeros, 128);  // about one in 256 by chance, not a zeroed RAM
}

TEST(BootMachineTest, RunEndsUnarrivedRightAfterTheTStateLimitAndSaysWhere) {
  BootMachine machine(Bytes{0x18, 0xFE}, CartridgeSetup{},
                      {.dwell_t_states = kDwell, .t_state_limit = 1'000'000});
  EXPECT_FALSE(machine.RunUntil([](const BootMachine&) { return false; }));
  EXPECT_GT(machine.TStates(), 1'000'000u);
  EXPECT_LE(machine.TStates(), 1'000'000u + 12);
  EXPECT_EQ(NeverArrived("0x0207", machine),
            "never reached 0x0207 within 1.0 M T-states (stopped at PC 0x0000 with bank 0 "
            "presented)");
}

TEST(BootMachineTest, RefusesAnEmptyImageAStartBankOutsideItAndAZeroDwell) {
  const CartridgeSetup past_the_end{.start_bank = 1, .internal_rom_slot = true, .internal_rom = {}};
  EXPECT_THROW(BootMachine(Bytes{}, CartridgeSetup{}, kOptions), Error);
  EXPECT_THROW(BootMachine(Bytes{0x01}, past_the_end, kOptions), Error);  // a one-byte 64K image
  EXPECT_THROW(BootMachine(Bytes{0x00}, CartridgeSetup{}, VerifyOptions{.dwell_t_states = 0}),
               Error);
}

TEST(VerifySummaryTest, NotBootingOutweighsMismatchesWhichOutweighNotesAndShowAtMostFour) {
  VerifyResult result;
  result.booted = true;
  result.t_states = 3'149'999;
  result.notes = {"R is one higher"};
  result.success_text = "snapshot restored exactly";
  EXPECT_EQ(FormatVerifySummary("X.bin", result),
            "X.bin: boots, snapshot restored exactly (3.1 M T-states); R is one higher");
  result.mismatches = {"A", "B", "C", "D", "E", "F"};
  EXPECT_EQ(FormatVerifySummary("X.bin", result),
            "X.bin: FAILED: boots, but A; B; C; D; and 2 more (3.1 M T-states)");
  result.failure = "never reached it";
  result.booted = false;
  EXPECT_EQ(FormatVerifySummary("X.bin", result), "X.bin: FAILED: does not boot: never reached it");
}

}  // namespace
}  // namespace quillfen
