#include "verify/zx80_boot_check.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

const Bytes kProgram = {0x11, 0x22, 0x33};

/// A hand-assembled one-bank stand-in for a 16K ZX80 cartridge: copies a 3-byte program to
/// 0x4000, sets the registers the ZX80 ROM expects and enters it with `entry` (3 bytes).
Bytes HandMadeImage(std::initializer_list<std::uint8_t> entry) {
  // clang-format off
  Bytes image = {
      0x21, 0x40, 0x00,        // LD HL,0x0040    the program below
      0x11, 0x00, 0x40,        // LD DE,0x4000
      0x01, 0x03, 0x00,        // LD BC,3
      0xED, 0xB0,              // LDIR
      0xFD, 0x21, 0x00, 0x40,  // LD IY,0x4000
      0x3E, 0x0E,              // LD A,0x0E
      0xED, 0x47,              // LD I,A
      0xED, 0x56,              // IM 1
      0x31, 0x00, 0x44,        // LD SP,0x4400
      0x21, 0xAA, 0x3F,        // LD HL,0x3FAA
      0xE5,                    // PUSH HL
  };
  // clang-format on
  image.insert(image.end(), entry);
  image.resize(kBankSize, 0xFF);
  std::copy(kProgram.begin(), kProgram.end(), image.begin() + 0x40);
  return image;
}

TEST(ZX80BootCheckTest, SixteenKImageEntersTheRomByCalling0747) {
  const Bytes image = HandMadeImage({0xCD, 0x47, 0x07});  // CALL 0x0747
  const VerifyResult result = VerifyZX80Image(image, kProgram, 0x4400, 0);
  EXPECT_TRUE(result.Passed()) << result.failure
                               << (result.mismatches.empty() ? "" : result.mismatches[0]);
  EXPECT_EQ(result.success_text, "ZX80 program in place");
}

TEST(ZX80BootCheckTest, WrongEntryAndStackAreNamed) {
  // A 16K image always calls 0x0747: a plain jump to 0x0283 leaves the return address out.
  const Bytes image = HandMadeImage({0xC3, 0x83, 0x02});  // JP 0x0283
  const VerifyResult result = VerifyZX80Image(image, kProgram, 0x4400, 0);
  EXPECT_TRUE(result.booted);
  EXPECT_EQ(result.mismatches,
            (std::vector<std::string>{"ROM entered at 0x0283, expected 0x0747"}));
  const VerifyResult other_ramtop =
      VerifyZX80Image(HandMadeImage({0xCD, 0x47, 0x07}), kProgram, 0x5000, 0);
  ASSERT_EQ(other_ramtop.mismatches.size(), 2u);
  EXPECT_EQ(other_ramtop.mismatches[0], "SP is 0x43FC, expected 0x4FFC");
  EXPECT_EQ(other_ramtop.mismatches[1].substr(0, 18), "word at 0x4FFE is ");
}

TEST(ZX80BootCheckTest, RamtopFollowsTheRamSizeAndTheLongProgramRuleOf32KImages) {
  EXPECT_EQ(ZX80Ramtop(1024, 900, kBankSize), 0x4400);
  EXPECT_EQ(ZX80Ramtop(16384, 16383, kBankSize), 0x8000);  // a 16K image never raises it
  EXPECT_EQ(ZX80Ramtop(16384, 16382, 2 * kBankSize), 0x8000);
  EXPECT_EQ(ZX80Ramtop(16384, 16383, 2 * kBankSize), 0xC000);
}

}  // namespace
}  // namespace quillfen
