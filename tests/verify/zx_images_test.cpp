// SPDX-License-Identifier: GPL-3.0-or-later
// Boots ZX81 and ZX80 cartridge images as the converters write them, on the emulated cartridge.

#include <gtest/gtest.h>

#include "boot_test_support.h"
#include "cartridge/cartridge_maker.h"
#include "cartridge/image_fingerprint.h"
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

// Each layout, on each side of each step, boots and keeps its bytes: the fingerprints are of
// images known to be right, so that any byte a change moves shows.
TEST_F(ZXImagesTest, ZX81EveryLayoutBootsAndKeepsItsBytes) {
  struct Case {
    const char* name;
    std::size_t last_used;
    std::size_t length;
    std::int32_t ram_size;
    std::int16_t auto_run;
    std::uint64_t fingerprint;
  };
  // With free space from 8193 (bank 1 room 8177) the program may reach 16272 + 8177 = 24449
  // bytes; it gets a border below 24445, stripes too below 24383, the logo as well below 24277.
  // RAMTOP rises for more than 16371 bytes. With free space from 16382 the room in bank 0 ends at
  // 16260 and the same steps lie at 16088, 16194 and 16256, all without a tail.
  const Case cases[] = {
      {"all decoration, no tail, 1K", 8191, 1000, 1024, 0, 0xBD07F588828F8EE0},
      {"all decoration, NXTLIN rewritten", 8191, 1000, 16384, 1, 0x5A097A41E6266AD7},
      {"all decoration, tail, longest under the 16K RAMTOP", 8191, 16371, 16384, 0,
       0xA8530D7C2649169E},
      {"all decoration, tail, shortest above it", 8191, 16372, 16384, 1, 0x398DE0AAE3A2ED66},
      {"all decoration, longest", 8191, 24276, 16384, 0, 0x1DA07D461A6C0520},
      {"border and stripes, shortest", 8191, 24277, 16384, 0, 0x9C91293FB4437479},
      {"border and stripes, longest", 8191, 24382, 16384, 0, 0x5CAFCA3C652415B7},
      {"border only, shortest", 8191, 24383, 16384, 0, 0xEE16AADAFEE23BB5},
      {"border only, longest", 8191, 24444, 16384, 0, 0xD7EC6CEFBE25B6C5},
      {"no decoration, shortest", 8191, 24445, 16384, 0, 0xC4B96B4771480D93},
      {"no decoration, longest", 8191, 24449, 16384, 1, 0x9F43E3AC9DAEEAAC},
      {"all decoration, full ROM", 16380, 16000, 16384, 0, 0x22EB7DED3CE75C38},
      {"border and stripes, full ROM", 16380, 16100, 16384, 1, 0x263CFA8FD54FF59F},
      {"border only, full ROM", 16380, 16200, 16384, 0, 0xEB59F171A2541A5F},
      {"no decoration, full ROM", 16380, 16260, 16384, 0, 0x1FDD106442323D40},
      {"no free space in the ROM", 16383, 16257, 16384, 0, 0x492C49E87B376E1A},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes image = BuildZX81(c.last_used, c.length, c.ram_size, c.auto_run);
    EXPECT_EQ(testing::ImageFingerprint(image), c.fingerprint);
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

// 16K: the ROM behind a JP, then the 78-byte loader (85 with auto-run), which decorates an
// auto-running program as far as it fits: 4 bytes more for the border, 62 with the stripes, 114
// with the logo. 32K: the program head in bank 0, any tail with the ROM in bank 1 above RAMTOP,
// raised for more than 16382 bytes.
TEST_F(ZXImagesTest, ZX80EveryLayoutBootsAndKeepsItsBytes) {
  struct Case {
    const char* name;
    std::size_t length;
    Answer answer;
    std::int16_t auto_run;
    std::int32_t ram_size;
    std::uint64_t fingerprint;
  };
  const Case cases[] = {
      {"16K, plain", 1000, Answer::Yes, 0, 3072, 0xD229F725F939F420},
      {"16K, auto-run with decoration", 1000, Answer::Yes, 1, 16384, 0x587BA6E36410FEDB},
      {"16K, auto-run, all decoration, longest", 12022, Answer::Yes, 1, 16384, 0x2B28B543506CBD00},
      {"16K, auto-run, border and stripes, shortest", 12023, Answer::Yes, 1, 16384,
       0x9A55CF2EFDE66095},
      {"16K, auto-run, border and stripes, longest", 12136, Answer::Yes, 1, 16384,
       0x9496A755B73D3E68},
      {"16K, auto-run, border only, shortest", 12137, Answer::Yes, 1, 16384, 0x1E6A5CDF8CC53B2B},
      {"16K, auto-run, border only, longest", 12198, Answer::Yes, 1, 16384, 0xF463A49E8E043BA1},
      {"16K, auto-run, no decoration", 12199, Answer::Yes, 1, 16384, 0x42F35F5D3EBE1DEE},
      {"16K, auto-run, longest that fits", 16384 - kZX80RomEnd - 85, Answer::Yes, 1, 16384,
       0x468E083508974CD8},
      {"32K, plain, no tail", 1000, Answer::No, 0, 1024, 0xDF3105F249344269},
      {"32K, plain, no tail, 3K", 1000, Answer::No, 0, 3072, 0x0467902F234B00F1},
      {"32K, auto-run, no tail", 12000, Answer::No, 1, 16384, 0xB95BEBEF27572140},
      {"32K, plain, long tail", 16383, Answer::No, 0, 1024, 0x99CD6B409591180F},
      {"32K, plain, longest under the 16K RAMTOP", 16382, Answer::No, 0, 16384, 0x310077306CB6C45A},
      {"32K, plain, shortest above it", 16383, Answer::No, 0, 16384, 0x436F35BC14C1CD6B},
      {"32K, auto-run, long tail", 16383, Answer::No, 1, 16384, 0x97B86733BA90EEBF},
      {"32K, plain, short tail", 16250, Answer::No, 0, 16384, 0x0A59AA132FF43B94},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes image = BuildZX80(c.length, c.answer, c.auto_run, c.ram_size);
    ASSERT_EQ(image.size(), c.answer == Answer::Yes ? kBankSize : 2 * kBankSize);
    EXPECT_EQ(testing::ImageFingerprint(image), c.fingerprint);
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
