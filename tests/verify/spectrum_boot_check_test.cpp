#include "verify/spectrum_boot_check.h"

#include <gtest/gtest.h>

#include "verify/verify_summary.h"

namespace quillfen {
namespace {

/// A hand-assembled one-bank stand-in for a Spectrum cartridge: it zeroes RAM, puts 0x1234 on
/// the stack at 0x8000, locks the paging and loads every register, then resumes with JP 0x1234
/// (Z80) or RETN (SNA). R is loaded with 0x7E four instructions before the end.
Bytes HandMadeImage(bool sna) {
  // clang-format off
  Bytes code = {
      0xAF,                    // XOR A
      0x21, 0x00, 0x40,        // LD HL,0x4000
      0x77,                    // LD (HL),A
      0x11, 0x01, 0x40,        // LD DE,0x4001
      0x01, 0xFF, 0xBF,        // LD BC,0xBFFF
      0xED, 0xB0,              // LDIR            RAM 0x4000-0xFFFF := 0
      0x21, 0x34, 0x12,        // LD HL,0x1234
      0x22, 0x00, 0x80,        // LD (0x8000),HL  the SNA's program counter
      0x01, 0xFD, 0x7F,        // LD BC,0x7FFD
      0x3E, 0x30,              // LD A,0x30
      0xED, 0x79,              // OUT (C),A       RAM page 0 at 0xC000, paging locked
      0x3E, 0x0D,              // LD A,0x0D
      0xD3, 0xFE,              // OUT (0xFE),A    border 5
      0x31, 0x60, 0x00,        // LD SP,0x0060
      0xF1,                    // POP AF          0xABCD
      0x08,                    // EX AF,AF'
      0x21, 0x01, 0x11,        // LD HL,0x1101
      0x01, 0x02, 0x22,        // LD BC,0x2202
      0x11, 0x03, 0x33,        // LD DE,0x3303
      0xD9,                    // EXX
      0xED, 0x5E,              // IM 2
      0x3E, 0x3F,              // LD A,0x3F
      0xED, 0x47,              // LD I,A
      0xDD, 0x21, 0x04, 0x44,  // LD IX,0x4404
      0xFD, 0x21, 0x05, 0x55,  // LD IY,0x5505
      0x01, 0x06, 0x66,        // LD BC,0x6606
      0x11, 0x07, 0x77,        // LD DE,0x7707
      0x21, 0x08, 0x88,        // LD HL,0x8808
      0x3E, 0x7E,              // LD A,0x7E
      0xED, 0x4F,              // LD R,A
      0xF1,                    // POP AF          0x1244
      0x31, 0x00, 0x80,        // LD SP,0x8000
      0xFB,                    // EI
  };
  // clang-format on
  if (sna) {
    code.insert(code.end(), {0xED, 0x45});  // RETN
  } else {
    code.insert(code.end(), {0xC3, 0x34, 0x12});  // JP 0x1234
  }
  Bytes image(kBankSize, 0xFF);
  std::copy(code.begin(), code.end(), image.begin());
  const Bytes data = {0xCD, 0xAB, 0x44, 0x12};  // AF' 0xABCD, AF 0x1244
  std::copy(data.begin(), data.end(), image.begin() + 0x60);
  return image;
}

SnapshotState ExpectedSnapshot() {
  SnapshotState s;
  s.Memory.assign(kSnapshotRamLength, 0x00);
  s.Memory[0x4000] = 0x34;
  s.Memory[0x4001] = 0x12;
  s.AF = 0x1244;
  s.BC = 0x6606;
  s.DE = 0x7707;
  s.HL = 0x8808;
  s.IX = 0x4404;
  s.IY = 0x5505;
  s.AFAlt = 0xABCD;
  s.BCAlt = 0x2202;
  s.DEAlt = 0x3303;
  s.HLAlt = 0x1101;
  s.PC = 0x1234;
  s.SP = 0x8000;
  s.I = 0x3F;
  s.R = 0x02;  // 0x7E and four instruction fetches, wrapping in seven bits
  s.InterruptMode = 2;
  s.InterruptsEnabled = true;
  s.BorderColour = 5;
  return s;
}

TEST(SpectrumBootCheckTest, Z80EndingRestoresEveryRegisterExactly) {
  const VerifyResult result = VerifySpectrumImage(HandMadeImage(false), ExpectedSnapshot(), "Z80");
  EXPECT_TRUE(result.Passed()) << result.failure
                               << (result.mismatches.empty() ? "" : result.mismatches[0]);
  EXPECT_TRUE(result.notes.empty());
  EXPECT_EQ(FormatVerifySummary("GAME.bin", result),
            "GAME.bin: boots, snapshot restored exactly (1.0 M T-states)");
}

TEST(SpectrumBootCheckTest, SnaEndingTakesPcFromTheStackAndNotesROneHigher) {
  SnapshotState snapshot = ExpectedSnapshot();
  snapshot.PC = 0;  // an SNA carries no PC of its own
  const VerifyResult result = VerifySpectrumImage(HandMadeImage(true), snapshot, "SNA");
  EXPECT_TRUE(result.Passed()) << result.failure
                               << (result.mismatches.empty() ? "" : result.mismatches[0]);
  ASSERT_EQ(result.notes.size(), 1u);
  EXPECT_EQ(result.notes[0],
            "R is 0x03, one higher than the snapshot's 0x02, as the RETN ending "
            "leaves it");
  EXPECT_NE(FormatVerifySummary("GAME.bin", result).find("restored exactly (1.0 M T-states); R is"),
            std::string::npos);
}

TEST(SpectrumBootCheckTest, EachCorruptedValueIsNamed) {
  struct Case {
    std::size_t offset;  // in the hand-made image
    std::uint8_t value;
    std::string expected;
  };
  const Case cases[] = {
      {0x0062, 0x45, "AF is 0x1245, snapshot has 0x1244"},
      {0x0060, 0xCE, "AF' is 0xABCE, snapshot has 0xABCD"},
      {0x0025, 0x12, "HL' is 0x1201, snapshot has 0x1101"},
      {0x0040, 0x78, "DE is 0x7807, snapshot has 0x7707"},
      {0x0030, 0x46, "I is 0x46, snapshot has 0x3F"},
      {0x002E, 0x56, "interrupt mode is 1, snapshot has 2"},
      {0x001B, 0x0E, "border is 6, snapshot has 5"},
      {0x0045, 0x7F, "R is 0x03, snapshot has 0x02"},
      {0x004C, 0xF3, "IFF1 is 0, snapshot has 1"},
      {0x000E, 0x35, "RAM differs at 1 address, first 0x8000 (is 0x35, snapshot has 0x34)"},
  };
  for (const Case& c : cases) {
    Bytes image = HandMadeImage(false);
    image.at(c.offset) = c.value;
    const VerifyResult result = VerifySpectrumImage(image, ExpectedSnapshot(), "Z80");
    EXPECT_TRUE(result.booted) << c.expected;
    EXPECT_EQ(result.mismatches, std::vector<std::string>{c.expected});
  }
}

TEST(SpectrumBootCheckTest, UnusedAreaIsNotCompared) {
  SnapshotState snapshot = ExpectedSnapshot();
  for (std::size_t i = 0x2000; i < 0x2200; ++i) snapshot.Memory[i] = 0x5A;  // 0x6000-0x61FF
  const Bytes image = HandMadeImage(false);
  EXPECT_TRUE(
      VerifySpectrumImage(image, snapshot, "Z80", std::nullopt, AddressRange{0x6000, 0x6200})
          .Passed());
  const VerifyResult narrower =
      VerifySpectrumImage(image, snapshot, "Z80", std::nullopt, AddressRange{0x6001, 0x6200});
  EXPECT_EQ(narrower.mismatches,
            std::vector<std::string>{
                "RAM differs at 1 address, first 0x6000 (is 0x00, snapshot has 0x5A)"});
}

TEST(SpectrumBootCheckTest, SnapshotPcNeverReachedFailsAtTheLimit) {
  SnapshotState snapshot = ExpectedSnapshot();
  snapshot.PC = 0x4321;
  VerifyOptions options;
  options.t_state_limit = 3'000'000;
  const VerifyResult result = VerifySpectrumImage(HandMadeImage(false), snapshot, "Z80",
                                                  std::nullopt, std::nullopt, options);
  EXPECT_FALSE(result.booted);
  EXPECT_NE(result.failure.find("never reached the snapshot's PC 0x4321 within 3.0 M T-states"),
            std::string::npos)
      << result.failure;
}

TEST(SpectrumBootCheckTest, CodeBankIsPresentedFirst) {
  Bytes sixty_four(4 * kBankSize, 0xFF);
  sixty_four[0] = 0x01;  // the 64K image's first RAM block marker
  EXPECT_EQ(SpectrumStartBank(sixty_four), 1u);
  Bytes forty_eight(4 * kBankSize, 0xFF);
  forty_eight[0] = 0xAF;  // XOR A: the 48K image starts with its code
  EXPECT_EQ(SpectrumStartBank(forty_eight), 0u);
}

TEST(SpectrumBootCheckTest, RefusesUnknownKindAndShortRam) {
  SnapshotState snapshot = ExpectedSnapshot();
  EXPECT_THROW((void)VerifySpectrumImage(HandMadeImage(false), snapshot, "SZX"), Error);
  snapshot.Memory.resize(100);
  EXPECT_THROW((void)VerifySpectrumImage(HandMadeImage(false), snapshot, "Z80"), Error);
}

}  // namespace
}  // namespace quillfen
