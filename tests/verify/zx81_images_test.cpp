// Boots ZX81 cartridge images as the converter writes them, on the emulated cartridge.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/zx81_files.h"
#include "verify/verify_summary.h"
#include "verify/zx81_boot_check.h"
#include "zx81/zx81_generation.h"

namespace quillfen {
namespace {

using testing::MakeZX81Program;

/// Long enough for bank 0's copy and screen clear (about 1.1 M T-states), short enough to keep
/// the suite quick.
VerifyOptions Options() {
  VerifyOptions options;
  options.dwell_t_states = 1'200'000;
  options.t_state_limit = 10'000'000;
  return options;
}

class ZX81ImagesTest : public testing::ZX81GenerationTest {
 protected:
  /// Writes GAME.bin for a program of `length` bytes and boots it.
  VerifyResult BuildAndVerify(std::size_t length, std::int32_t ram_size, std::int16_t auto_run) {
    LoadProgram(MakeZX81Program(length));
    EXPECT_TRUE(Generate(ram_size, auto_run));
    image_ = Output();
    EXPECT_EQ(image_.size(), 32768u);
    return Verify(ram_size);
  }

  VerifyResult Verify(std::int32_t ram_size) {
    // ZX81Program now holds the image as built, with the auto-run rewrite when it was made.
    const Bytes& program = zx81_.ZX81Program();
    return VerifyZX81Image(image_, program, ZX81Ramtop(ram_size, program.size()), Options());
  }

  /// Whether bank 0 holds `bytes` in a row.
  bool Holds(const Bytes& bytes) const {
    const auto bank0_end = image_.begin() + 16384;
    return std::search(image_.begin(), bank0_end, bytes.begin(), bytes.end()) != bank0_end;
  }

  Bytes image_;
};

TEST_F(ZX81ImagesTest, EveryDecorationWithAndWithoutATailBoots) {
  struct Case {
    const char* name;
    std::size_t rom_last_used;  // the ROM's free space starts 2 bytes higher
    std::size_t length;
    std::int32_t ram_size;
    std::int16_t auto_run;
    int decoration;  // 3 border, stripes and logo; 2 border and stripes; 1 border; 0 none
  };
  // With free space from 8193 the program may reach 24449 bytes; the decoration goes at
  // 24277 (logo), 24383 (stripes) and 24445 (border). With free space from 16382 the room in
  // bank 0 ends at 16260 and the same steps lie at 16088, 16194 and 16256, all without a tail.
  const Case cases[] = {
      {"all decoration, no tail, 1K", 8191, 900, 1024, 1, 3},
      {"all decoration, no tail, 4K", 8191, 3000, 4096, 0, 3},
      {"all decoration, tail", 8191, 20000, 16384, 1, 3},
      {"border and stripes, tail", 8191, 24300, 16384, 0, 2},
      {"border only, tail", 8191, 24400, 16384, 0, 1},
      {"no decoration, longest, tail", 8191, 24449, 16384, 1, 0},
      {"all decoration, full ROM", 16380, 16000, 16384, 0, 3},
      {"border and stripes, full ROM", 16380, 16100, 16384, 1, 2},
      {"border only, full ROM", 16380, 16200, 16384, 0, 1},
      {"no decoration, full ROM", 16380, 16260, 16384, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteRom(StandInRom(c.rom_last_used));
    const VerifyResult result = BuildAndVerify(c.length, c.ram_size, c.auto_run);
    EXPECT_TRUE(result.Passed()) << FormatVerifySummary("GAME.bin", result);
    // The case covers the decoration it names: black border, the stripe corner, the logo.
    EXPECT_EQ(Holds({0x3E, 0x08, 0xD3, 0xFE}), c.decoration >= 1);
    EXPECT_EQ(Holds({0x1F, 0x01, 0x50, 0x3E, 0x02}), c.decoration >= 2);
    EXPECT_EQ(Holds({0x60, 0x13, 0x78, 0x78}), c.decoration >= 3);
    // Bank 1 is the ROM image unchanged exactly when there is no tail.
    const Bytes rom = StandInRom(c.rom_last_used);
    const bool tail = !std::equal(rom.begin(), rom.end(), image_.begin() + 16384);
    EXPECT_EQ(tail, c.rom_last_used == 8191 && c.length > 16100);
  }
}

TEST_F(ZX81ImagesTest, CorruptedStartUpValueIsNamed) {
  WriteRom(StandInRom());
  ASSERT_TRUE(BuildAndVerify(1000, 16384, 0).Passed());
  const Bytes set_ix = {0xDD, 0x21, 0x81, 0x02};  // LD IX,0x0281 in the second code block
  const auto at = std::search(image_.begin(), image_.begin() + 16384, set_ix.begin(), set_ix.end());
  ASSERT_NE(at, image_.begin() + 16384);
  at[2] = 0x80;
  const VerifyResult result = Verify(16384);
  EXPECT_TRUE(result.booted);
  EXPECT_EQ(result.mismatches, std::vector<std::string>{"IX is 0x0280, expected 0x0281"});
}

// With RAMTOP just above the program the second code block's two pushes overwrite its own
// bytes still to run: the window does not offer 1K for these lengths.
TEST_F(ZX81ImagesTest, RamSizesThatInspectionWithholdsDoNotBoot) {
  WriteRom(StandInRom());
  for (const auto& [length, boots] :
       {std::pair{970u, true}, std::pair{975u, false}, std::pair{980u, false},
        std::pair{981u, true}, std::pair{1010u, true}}) {
    SCOPED_TRACE(length);
    EXPECT_EQ(BuildAndVerify(length, 1024, 0).Passed(), boots);
  }
}

}  // namespace
}  // namespace quillfen
