// Boots ZX81 cartridge images as the converter writes them, on the emulated cartridge.

#include <gtest/gtest.h>

#include "boot_test_support.h"
#include "cartridge/cartridge_maker.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/zx81_files.h"
#include "verify/zx81_boot_check.h"
#include "zx81/zx81_processing.h"

namespace quillfen {
namespace {

/// Bank 0's copy and screen clear take about 1.1 M T-states.
const VerifyOptions kOptions = testing::BootOptions(1'200'000, 10'000'000);

class ZX81ImagesTest : public ::testing::Test {
 protected:
  /// Writes GAME.bin for a program of `length` bytes with a stand-in ROM whose free space starts
  /// at rom_last_used + 2 and whose byte 0x000A is the 0x40 the RAM code waits for.
  Bytes Build(std::size_t rom_last_used, std::size_t length, std::int32_t ram_size,
              std::int16_t auto_run) {
    rom_ = testing::MakeRomImage(rom_last_used, {{0x000A, 0x40}});
    dir_.Write("ZX81_ROM.bin", rom_);
    EXPECT_TRUE(zx81_.LoadZX81Program(dir_.Write("GAME.P", testing::MakeZX81Program(length))));
    EXPECT_TRUE(zx81_.GenerateZX81Cartridge("GAME.P", ram_size, auto_run));
    return testing::ReadFileBytes(dir_ / "GAME.bin");
  }

  VerifyResult Verify(const Bytes& image, std::int32_t ram_size) {
    const Bytes& program = zx81_.ZX81Program();  // as built, with the auto-run rewrite
    return VerifyZX81Image(image, program, ZX81Ramtop(ram_size, program.size()), kOptions);
  }

  Bytes rom_;
  testing::TempDir dir_;
  testing::ScriptedHost host_{dir_.path()};
  CartridgeMaker maker_;
  ZX81Processing zx81_{host_, maker_};
};

TEST_F(ZX81ImagesTest, EveryDecorationWithAndWithoutATailBoots) {
  struct Case {
    const char* name;
    std::size_t rom_last_used;
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
      {"all decoration, tail, longest under the 16K RAMTOP", 8191, 16371, 16384, 0, 3},
      {"all decoration, tail, shortest above it", 8191, 16372, 16384, 1, 3},
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
    const Bytes image = Build(c.rom_last_used, c.length, c.ram_size, c.auto_run);
    ASSERT_EQ(image.size(), 2 * kBankSize);
    const VerifyResult result = Verify(image, c.ram_size);
    EXPECT_TRUE(result.Passed()) << testing::Summary(result);
    // The case covers the decoration it names: black border, the stripe corner, the logo.
    const auto holds = [&](const Bytes& code) {
      const auto end = image.begin() + kBankSize;
      return std::search(image.begin(), end, code.begin(), code.end()) != end;
    };
    EXPECT_EQ(holds({0x3E, 0x08, 0xD3, 0xFE}), c.decoration >= 1);
    EXPECT_EQ(holds({0x1F, 0x01, 0x50, 0x3E, 0x02}), c.decoration >= 2);
    EXPECT_EQ(holds({0x60, 0x13, 0x78, 0x78}), c.decoration >= 3);
    // Bank 1 is the ROM image unchanged exactly when there is no tail.
    const bool tail = !std::equal(rom_.begin(), rom_.end(), image.begin() + kBankSize);
    EXPECT_EQ(tail, c.rom_last_used == 8191 && c.length > 16100);
  }
}

TEST_F(ZX81ImagesTest, CorruptedStartUpValueIsNamed) {
  testing::ExpectEachCorruptionNamed(
      Build(8191, 1000, 16384, 0),
      {
          {{0xDD, 0x21, 0x81, 0x02}, 2, 0x01, "IX is 0x0280, expected 0x0281"},  // LD IX,0x0281
          {{0x3E, 0x1E, 0xED, 0x47}, 1, 0x01, "I is 0x1F, expected 0x1E"},  // LD A,0x1E; LD I,A
          {{0xED, 0x56, 0xAF, 0x08}, 1, 0x08, "interrupt mode is 2, expected 1"},
          {{0x21, 0x00, 0x3E, 0xE5}, 2, 0x01, "word at 0x7FFE is 0x3F00, expected 0x3E00"},
          {{0x80, 0x00, 0xFE, 0xFF},
           1,
           0x01,  // RAMTOP high byte, MODE, PPC
           "RAM differs at 1 address, first 0x4006 (is 0x01, expected 0x00)"},
      },
      [&](const Bytes& image) { return Verify(image, 16384); });
}

}  // namespace
}  // namespace quillfen
