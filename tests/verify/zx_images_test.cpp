// SPDX-License-Identifier: GPL-3.0-or-later
// Boots ZX81 and ZX80 cartridge images as the converters write them, on the emulated cartridge.

#include <gtest/gtest.h>

#include "boot_test_support.h"
#include "cartridge/cartridge_maker.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"
#include "verify/verify_summary.h"
#include "verify/zx80_boot_check.h"
#include "verify/zx81_boot_check.h"
#include "zx80/zx80_processing.h"
#include "zx81/zx81_processing.h"

namespace quillfen {
namespace {

using Answer = Host::Answer;

/// Bank 0's copy and screen clear take about 1.1 M T-states.
const VerifyOptions kOptions{.dwell_t_states = 1'200'000, .t_state_limit = 10'000'000};
constexpr std::int32_t kZX80RomEnd = 4097;  // the stand-in ZX80 ROM's free space starts here

class ZXImagesTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_.Write("ZX80_ROM.bin", testing::MakeRomImage(4095, {{10, 0xFD}})); }

  /// GAME.bin for a ZX81 program of `length` bytes; the ROM's free space starts at last_used + 2.
  Bytes BuildZX81(std::size_t last_used, std::size_t length, std::int32_t ram_size,
                  std::int16_t auto_run) {
    rom_ = testing::MakeRomImage(last_used, {{0x000A, 0x40}});
    dir_.Write("ZX81_ROM.bin", rom_);
    EXPECT_TRUE(zx81_.LoadZX81Program(dir_.Write("GAME.P", testing::MakeZX81Program(length))));
    EXPECT_TRUE(zx81_.GenerateZX81Cartridge("GAME.P", ram_size, auto_run));
    return testing::ReadFileBytes(dir_ / "GAME.bin");
  }

  VerifyResult VerifyZX81(const Bytes& image, std::int32_t ram_size) {
    const Bytes& program = zx81_.ZX81Program();  // as built, with the auto-run rewrite
    return VerifyZX81Image(image, program, ZX81Ramtop(ram_size, program.size()), kOptions);
  }

  /// GAME.bin for a ZX80 program of `length` bytes; `answer` goes to the 16K question.
  Bytes BuildZX80(std::size_t length, Answer answer, std::int16_t auto_run, std::int32_t ram_size) {
    const Bytes file = testing::MakeZX80Program(length, 0, static_cast<std::uint32_t>(length));
    EXPECT_TRUE(zx80_.LoadZX80Program(dir_.Write("GAME.O", file)));
    if (ZX80Processing::FitsIn16K(static_cast<std::int32_t>(length), kZX80RomEnd, auto_run))
      host_.ScriptAnswer(answer);
    EXPECT_TRUE(zx80_.GenerateZX80Cartridge("GAME.O", ram_size, auto_run));
    return testing::ReadFileBytes(dir_ / "GAME.bin");
  }

  VerifyResult VerifyZX80(const Bytes& image, std::int32_t ram_size, std::int16_t auto_run) {
    const Bytes& program = zx80_.ZX80Program();
    return VerifyZX80Image(image, program, ZX80Ramtop(ram_size, program.size(), image.size()),
                           auto_run, kOptions);
  }

  Bytes rom_;  // the last ZX81 ROM written
  testing::TempDir dir_;
  testing::ScriptedHost host_{dir_.path()};
  CartridgeMaker maker_;
  ZX81Processing zx81_{host_, maker_};
  ZX80Processing zx80_{host_, maker_};
};

TEST_F(ZXImagesTest, ZX81EveryDecorationWithAndWithoutATailBoots) {
  struct Case {
    const char* name;
    std::size_t last_used;
    std::size_t length;
    std::int32_t ram_size;
    std::int16_t auto_run;
  };
  // With free space from 8193 the program may reach 24449 bytes; the decoration goes at
  // 24277 (logo), 24383 (stripes) and 24445 (border). With free space from 16382 the room in
  // bank 0 ends at 16260 and the same steps lie at 16088, 16194 and 16256, all without a tail.
  const Case cases[] = {
      {"all decoration, no tail, 1K", 8191, 900, 1024, 1},
      {"all decoration, tail, longest under the 16K RAMTOP", 8191, 16371, 16384, 0},
      {"all decoration, tail, shortest above it", 8191, 16372, 16384, 1},
      {"border and stripes, tail", 8191, 24300, 16384, 0},
      {"border only, tail", 8191, 24400, 16384, 0},
      {"no decoration, longest, tail", 8191, 24449, 16384, 1},
      {"all decoration, full ROM", 16380, 16000, 16384, 0},
      {"border and stripes, full ROM", 16380, 16100, 16384, 1},
      {"border only, full ROM", 16380, 16200, 16384, 0},
      {"no decoration, full ROM", 16380, 16260, 16384, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes image = BuildZX81(c.last_used, c.length, c.ram_size, c.auto_run);
    const VerifyResult result = VerifyZX81(image, c.ram_size);
    EXPECT_TRUE(result.Passed()) << FormatVerifySummary("GAME.bin", result);
    const bool tail = !std::equal(rom_.begin(), rom_.end(), image.begin() + kBankSize);
    EXPECT_EQ(tail, c.last_used == 8191 && c.length > 16100);
  }
}

TEST_F(ZXImagesTest, ZX81CorruptedStartUpValueIsNamed) {
  testing::ExpectEachCorruptionNamed(
      BuildZX81(8191, 1000, 16384, 0),
      {
          {{0xDD, 0x21, 0x81, 0x02}, 2, 0x01, "IX is 0x0280, expected 0x0281"},  // LD IX,0x0281
          {{0x3E, 0x1E, 0xED, 0x47}, 1, 0x01, "I is 0x1F, expected 0x1E"},  // LD A,0x1E; LD I,A
          {{0xED, 0x56, 0xAF, 0x08}, 1, 0x08, "interrupt mode is 2, expected 1"},
          {{0x21, 0x00, 0x3E, 0xE5}, 2, 0x01, "word at 0x7FFE is 0x3F00, expected 0x3E00"},
          // RAMTOP's high byte, MODE, PPC: MODE made 1.
          {{0x80, 0x00, 0xFE, 0xFF},
           1,
           0x01,
           "RAM differs at 1 address, first 0x4006 (is 0x01, expected 0x00)"},
      },
      [&](const Bytes& image) { return VerifyZX81(image, 16384); });
}

TEST_F(ZXImagesTest, ZX80EveryLayoutBoots) {
  struct Case {
    const char* name;
    std::size_t length;
    Answer answer;
    std::int16_t auto_run;
    std::int32_t ram_size;
  };
  const Case cases[] = {
      {"16K, plain", 1000, Answer::Yes, 0, 3072},
      {"16K, auto-run with decoration", 1000, Answer::Yes, 1, 16384},
      {"16K, auto-run, longest that fits", 16384 - kZX80RomEnd - 85, Answer::Yes, 1, 16384},
      {"32K, plain, no tail", 1000, Answer::No, 0, 1024},
      {"32K, auto-run, no tail", 12000, Answer::No, 1, 16384},
      {"32K, plain, long tail", 16383, Answer::No, 0, 1024},
      {"32K, plain, longest under the 16K RAMTOP", 16382, Answer::No, 0, 16384},
      {"32K, auto-run, long tail", 16383, Answer::No, 1, 16384},
      {"32K, plain, short tail", 16250, Answer::No, 0, 16384},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes image = BuildZX80(c.length, c.answer, c.auto_run, c.ram_size);
    ASSERT_EQ(image.size(), c.answer == Answer::Yes ? kBankSize : 2 * kBankSize);
    const VerifyResult result = VerifyZX80(image, c.ram_size, c.auto_run);
    EXPECT_TRUE(result.Passed()) << FormatVerifySummary("GAME.bin", result);
  }
}

TEST_F(ZXImagesTest, ZX80CorruptedLoaderValueIsNamed) {
  testing::ExpectEachCorruptionNamed(
      BuildZX80(1000, Answer::Yes, 0, 16384),
      {
          {{0x3E, 0x0E, 0xED, 0x47}, 1, 0x01, "I is 0x0F, expected 0x0E"},  // LD A,0x0E; LD I,A
          {{0xED, 0x56, 0x31}, 1, 0x08, "interrupt mode is 2, expected 1"},
          {{0x21, 0xAA, 0x3F, 0xE5}, 1, 0x01, "word at 0x7FFE is 0x3FAB, expected 0x3FAA"},
          // CALL 0x0747 made LD BC,0x0747: the plain start's JP 0x0283 runs instead.
          {{0xCD, 0x47, 0x07, 0xC3}, 0, 0xCC, "ROM entered at 0x0283, expected 0x0747"},
      },
      [&](const Bytes& image) { return VerifyZX80(image, 16384, 0); });
}

}  // namespace
}  // namespace quillfen
