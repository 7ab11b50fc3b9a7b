#include "verify/boot_machine.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace quillfen {
namespace {

constexpr std::uint64_t kDwell = 100'000;

/// A cartridge image of `banks` banks of 0xFF.
Bytes BlankImage(std::size_t banks) { return Bytes(banks * kBankSize, 0xFF); }

/// Stores hand-assembled bytes into `image` at bank `bank`, offset `offset`.
void Put(Bytes& image, std::size_t bank, std::size_t offset,
         std::initializer_list<std::uint8_t> bytes) {
  std::size_t at = bank * kBankSize + offset;
  for (std::uint8_t byte : bytes) image.at(at++) = byte;
}

VerifyOptions Options(std::uint64_t limit = 50'000'000) {
  VerifyOptions options;
  options.dwell_t_states = kDwell;
  options.t_state_limit = limit;
  return options;
}

bool AtBoundaryAfter(const BootMachine& m, std::uint64_t t_states) {
  return m.TStates() >= t_states;
}

TEST(BootMachineTest, PresentsBanksInTurnFromTheStartBankAndShowsTheInternalRomAfterTheLast) {
  Bytes image = BlankImage(3);
  for (std::size_t bank = 0; bank < 3; ++bank) {
    Put(image, bank, 0, {0x18, 0xFE});                                  // JR $ (each bank spins)
    Put(image, bank, 0x100, {static_cast<std::uint8_t>(0xB0 + bank)});  // a bank's own mark
  }
  CartridgeSetup setup;
  setup.start_bank = 1;
  setup.internal_rom_slot = true;
  setup.internal_rom = {0xF3, 0xAF};
  BootMachine machine(image, setup, Options());

  const std::vector<int> expected = {1, 2, BootMachine::kInternalRom, 0, 1, 2};
  for (std::size_t slot = 0; slot < expected.size(); ++slot) {
    ASSERT_TRUE(machine.RunUntil(
        [&](const BootMachine& m) { return AtBoundaryAfter(m, slot * kDwell + kDwell / 2); }));
    EXPECT_EQ(machine.PresentedBank(), expected[slot]) << "slot " << slot;
    if (expected[slot] == BootMachine::kInternalRom) {
      EXPECT_EQ(machine.Peek(0x0000), 0xF3);
      EXPECT_EQ(machine.Peek(0x0100), 0xFF);  // the short internal ROM is padded with 0xFF
    } else {
      EXPECT_EQ(machine.Peek(0x0100), 0xB0 + expected[slot]);
    }
  }
}

TEST(BootMachineTest, CodeWaitingInRamForAMarkerContinuesInTheBankThatCarriesIt) {
  Bytes image = BlankImage(3);
  // clang-format off
  Put(image, 0, 0x0000, {
      0x21, 0x0E, 0x00,  // LD HL,0x000E   the wait routine below
      0x11, 0x00, 0x80,  // LD DE,0x8000
      0x01, 0x0E, 0x00,  // LD BC,14
      0xED, 0xB0,        // LDIR
      0xC3, 0x00, 0x80,  // JP 0x8000
      // at 0x000E, runs at 0x8000:
      0x21, 0x00, 0x00,  // LD HL,0x0000
      0x44,              // LD B,H
      0x7E,              // LD A,(HL)
      0xFE, 0x02,        // CP 0x02
      0x20, 0xFA,        // JR NZ,0x8003
      0x10, 0xF9,        // DJNZ 0x8004
      0xC3, 0x03, 0x00,  // JP 0x0003       into the marked bank
  });
  Put(image, 2, 0x0000, {
      0x02,              // the marker
      0xFF, 0xFF,
      0x3E, 0x5A,        // LD A,0x5A
      0x32, 0x00, 0x90,  // LD (0x9000),A
      0x18, 0xFE,        // JR $          at 0x0008
  });
  // clang-format on
  BootMachine machine(image, CartridgeSetup{}, Options());
  ASSERT_TRUE(machine.RunUntil(
      [](const BootMachine& m) { return m.PC() == 0x0008 && m.PresentedBank() == 2; }));
  EXPECT_GE(machine.TStates(), 2 * kDwell);
  EXPECT_LT(machine.TStates(), 2 * kDwell + 20'000);
  EXPECT_EQ(machine.Peek(0x9000), 0x5A);
  EXPECT_EQ(machine.PeekWord(0x8000), 0x0021);  // the routine's copy: 21 00 00
}

TEST(BootMachineTest, RamStartsWithPseudoRandomBytesAndTheCartridgeIsReadOnly) {
  Bytes image = BlankImage(1);
  // clang-format off
  Put(image, 0, 0, {
      0x3E, 0x00,        // LD A,0x00
      0x32, 0x05, 0x00,  // LD (0x0005),A   a write to the cartridge area
      0x18, 0xFE,        // JR $            at 0x0005: still 18 after the write
  });
  // clang-format on
  BootMachine machine(image, CartridgeSetup{}, Options());
  ASSERT_TRUE(machine.RunUntil([](const BootMachine& m) { return m.TStates() > 1000; }));
  EXPECT_EQ(machine.Peek(0x0005), 0x18);
  std::size_t zeros = 0;
  for (std::uint32_t address = 0x4000; address <= 0xFFFF; ++address)
    zeros += machine.Peek(static_cast<std::uint16_t>(address)) == 0 ? 1 : 0;
  EXPECT_LT(zeros, 0xC000 / 128);  // about one in 256 by chance, not a zeroed RAM
}

TEST(BootMachineTest, PagingPortSelectsThePageAtC000UntilItsLockBitIsSet) {
  Bytes image = BlankImage(1);
  // clang-format off
  Put(image, 0, 0, {
      0x01, 0xFD, 0x7F,  // LD BC,0x7FFD
      0x3E, 0x05,        // LD A,0x05       RAM page 5 at 0xC000 as well as at 0x4000
      0xED, 0x79,        // OUT (C),A
      0x3E, 0xAA,        // LD A,0xAA
      0x32, 0x00, 0xC0,  // LD (0xC000),A
      0x3E, 0x23,        // LD A,0x23       page 3, locked
      0xED, 0x79,        // OUT (C),A
      0x3E, 0xBB,        // LD A,0xBB
      0x32, 0x00, 0xC0,  // LD (0xC000),A
      0x3E, 0x05,        // LD A,0x05       ignored: the paging is locked
      0xED, 0x79,        // OUT (C),A
      0x3E, 0x0B,        // LD A,0x0B
      0xD3, 0xFE,        // OUT (0xFE),A    border 3 (bit 3 is not a colour)
      0x18, 0xFE,        // JR $            at 0x001D
  });
  // clang-format on
  BootMachine machine(image, CartridgeSetup{}, Options());
  EXPECT_FALSE(machine.PagingLocked());
  ASSERT_TRUE(machine.RunUntil([](const BootMachine& m) { return m.PC() == 0x001D; }));
  EXPECT_EQ(machine.Peek(0x4000), 0xAA);  // page 5 is the page at 0x4000
  EXPECT_EQ(machine.Peek(0xC000), 0xBB);  // page 3 stayed
  EXPECT_EQ(machine.PagingPort(), 0x23);
  EXPECT_TRUE(machine.PagingLocked());
  EXPECT_EQ(machine.BorderColour(), 3);
}

TEST(BootMachineTest, RunEndsUnarrivedOnceTheTStateLimitIsPassed) {
  Bytes image = BlankImage(1);
  Put(image, 0, 0, {0x18, 0xFE});  // JR $
  BootMachine machine(image, CartridgeSetup{}, Options(1'000'000));
  EXPECT_FALSE(machine.RunUntil([](const BootMachine&) { return false; }));
  EXPECT_GT(machine.TStates(), 1'000'000u);
  EXPECT_LE(machine.TStates(), 1'000'000u + 12);  // stopped right after the limit
}

TEST(BootMachineTest, RefusesWhatCannotBeRun) {
  EXPECT_THROW(BootMachine(Bytes{}, CartridgeSetup{}, Options()), Error);
  CartridgeSetup past_the_end;
  past_the_end.start_bank = 2;
  EXPECT_THROW(BootMachine(BlankImage(2), past_the_end, Options()), Error);
  VerifyOptions no_dwell;
  no_dwell.dwell_t_states = 0;
  EXPECT_THROW(BootMachine(BlankImage(1), CartridgeSetup{}, no_dwell), Error);
}

TEST(BootMachineTest, ImageOfPartBankIsPaddedWith0xFF) {
  BootMachine machine(Bytes{0x18, 0xFE}, CartridgeSetup{}, Options());
  EXPECT_EQ(machine.BankCount(), 1u);
  EXPECT_EQ(machine.Peek(0x0002), 0xFF);
  EXPECT_EQ(machine.Peek(0x3FFF), 0xFF);
}

}  // namespace
}  // namespace quillfen
