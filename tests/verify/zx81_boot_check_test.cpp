#include "verify/zx81_boot_check.h"

#include <gtest/gtest.h>

#include "verify/verify_summary.h"

namespace quillfen {
namespace {

constexpr std::int32_t kRamtop = 0x4400;  // 1K
const Bytes kProgram = {0x11, 0x22, 0x33};

/// A hand-assembled stand-in for a ZX81 cartridge: bank 0 copies the system variable block and
/// a 3-byte program to 0x4000, sets the registers the ZX81 ROM expects and spins at 0x0026 until
/// bank 1 comes, whose JP 0x0207 sits at that very address.
Bytes HandMadeImage() {
  Bytes image(2 * kBankSize, 0xFF);
  // clang-format off
  const Bytes bank0 = {
      0x21, 0x30, 0x00,        // LD HL,0x0030     the block below
      0x11, 0x00, 0x40,        // LD DE,0x4000
      0x01, 0x0C, 0x00,        // LD BC,12
      0xED, 0xB0,              // LDIR
      0xDD, 0x21, 0x81, 0x02,  // LD IX,0x0281     (0x000B)
      0xFD, 0x21, 0x00, 0x40,  // LD IY,0x4000
      0x3E, 0x1E,              // LD A,0x1E
      0xED, 0x47,              // LD I,A
      0xED, 0x56,              // IM 1
      0xAF,                    // XOR A
      0x08,                    // EX AF,AF'
      0x31, 0x00, 0x44,        // LD SP,0x4400
      0x21, 0x00, 0x3E,        // LD HL,0x3E00
      0xE5,                    // PUSH HL
      0x21, 0x76, 0x06,        // LD HL,0x0676
      0xE5,                    // PUSH HL
      0x18, 0xFE,              // JR $             (0x0026)
  };
  const Bytes block = {
      0xFF, 0x80,              // ERR_NR, FLAGS
      0xFC, 0x43,              // ERR_SP 0x43FC
      0x00, 0x44,              // RAMTOP 0x4400
      0x00, 0xFE, 0xFF,        // MODE, PPC
      0x11, 0x22, 0x33,        // the program
  };
  // clang-format on
  std::copy(bank0.begin(), bank0.end(), image.begin());
  std::copy(block.begin(), block.end(), image.begin() + 0x30);
  image[kBankSize + 0x26] = 0xC3;  // JP 0x0207
  image[kBankSize + 0x27] = 0x07;
  image[kBankSize + 0x28] = 0x02;
  return image;
}

VerifyOptions Quick() {
  VerifyOptions options;
  options.dwell_t_states = 200'000;
  options.t_state_limit = 2'000'000;
  return options;
}

TEST(ZX81BootCheckTest, HandMadeImageBootsWithEverythingInPlace) {
  const VerifyResult result = VerifyZX81Image(HandMadeImage(), kProgram, kRamtop, Quick());
  EXPECT_TRUE(result.booted) << result.failure;
  EXPECT_TRUE(result.Passed());
  EXPECT_TRUE(result.mismatches.empty()) << result.mismatches.front();
  EXPECT_GE(result.t_states, 200'000u);  // bank 1 comes after one dwell
  EXPECT_EQ(FormatVerifySummary("GAME.bin", result),
            "GAME.bin: boots, ZX81 program and system variables in place (0.2 M T-states)");
}

TEST(ZX81BootCheckTest, WrongRegisterOrProgramByteIsNamed) {
  Bytes image = HandMadeImage();
  image[0x000D] = 0x82;  // LD IX,0x0282
  image[0x003A] = 0x99;  // second program byte, at 0x400A in RAM
  const VerifyResult result = VerifyZX81Image(image, kProgram, kRamtop, Quick());
  EXPECT_TRUE(result.booted);
  EXPECT_FALSE(result.Passed());
  EXPECT_EQ(
      result.mismatches,
      (std::vector<std::string>{"RAM differs at 1 address, first 0x400A (is 0x99, expected 0x22)",
                                "IX is 0x0282, expected 0x0281"}));
  EXPECT_EQ(FormatVerifySummary("GAME.bin", result),
            "GAME.bin: FAILED: boots, but RAM differs at 1 address, first 0x400A (is 0x99, "
            "expected 0x22); IX is 0x0282, expected 0x0281 (0.2 M T-states)");
}

TEST(ZX81BootCheckTest, RamtopDecidesTheBlockAndTheStack) {
  // The same image checked against 4K: ERR_SP, RAMTOP, SP and both pushed words differ.
  const VerifyResult result = VerifyZX81Image(HandMadeImage(), kProgram, 0x5000, Quick());
  ASSERT_EQ(result.mismatches.size(), 4u);
  EXPECT_EQ(result.mismatches[0],
            "RAM differs at 2 addresses, first 0x4003 (is 0x43, expected 0x4F)");
  EXPECT_EQ(result.mismatches[1], "SP is 0x43FC, expected 0x4FFC");
  EXPECT_EQ(result.mismatches[2].substr(0, 18), "word at 0x4FFE is ");  // random RAM there
  EXPECT_EQ(result.mismatches[3].substr(0, 18), "word at 0x4FFC is ");
}

TEST(ZX81BootCheckTest, ImageThatNeverReachesTheRomFailsAtTheLimit) {
  Bytes image = HandMadeImage();
  image[kBankSize + 0x26] = 0x18;  // bank 1 spins too: JR $
  image[kBankSize + 0x27] = 0xFE;
  const VerifyResult result = VerifyZX81Image(image, kProgram, kRamtop, Quick());
  EXPECT_FALSE(result.booted);
  EXPECT_FALSE(result.Passed());
  EXPECT_GT(result.t_states, 2'000'000u);
  EXPECT_EQ(FormatVerifySummary("GAME.bin", result),
            "GAME.bin: FAILED: does not boot: never reached 0x0207 with bank 1 presented within "
            "2.0 M T-states (stopped at PC 0x0026 with bank 0 presented)");
}

TEST(ZX81BootCheckTest, RamtopFollowsTheRamSizeAndTheLongProgramRule) {
  EXPECT_EQ(ZX81Ramtop(1024, 1000), 0x4400);
  EXPECT_EQ(ZX81Ramtop(16384, 16371), 0x8000);
  EXPECT_EQ(ZX81Ramtop(16384, 16372), 0xC000);
  EXPECT_THROW((void)VerifyZX81Image(HandMadeImage(), kProgram, 0x4008, Quick()), Error);
}

}  // namespace
}  // namespace quillfen
