// SPDX-License-Identifier: GPL-3.0-or-later
// Boots ZX81, ZX80 and Spectrum cartridge images as the converters lay them out, on the emulated
// cartridge, and checks the machine each leaves; a changed byte is reported as what it spoils.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <tuple>

#include "cartridge/cartridge_maker.h"
#include "cartridge/image_fingerprint.h"
#include "spectrum/spectrum_layout.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/snapshot_files.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"
#include "verify/spectrum_boot_check.h"
#include "verify/state_comparison.h"
#include "verify/verify_summary.h"
#include "verify/zx80_boot_check.h"
#include "verify/zx81_boot_check.h"
#include "zx80/zx80_processing.h"
#include "zx81/zx81_processing.h"

namespace quillfen {
namespace {

using Answer = Host::Answer;

// Byte `index` of the first occurrence of `code` in an image, XORed with `flip`, and the one
// mismatch the check must then report.
struct Corruption {
  Bytes code;
  std::size_t index;
  std::uint8_t flip;
  std::string expected;
};

// Each corruption of `good` still boots and is reported as exactly its mismatch.
void ExpectEachCorruptionNamed(const Bytes& good, const std::vector<Corruption>& cases,
                               const std::function<VerifyResult(const Bytes&)>& verify) {
  for (const Corruption& c : cases) {
    SCOPED_TRACE(c.expected);
    Bytes image = good;
    const auto at = std::search(image.begin(), image.end(), c.code.begin(), c.code.end());
    ASSERT_NE(at, image.end()) << "code not in the image";
    at[static_cast<std::ptrdiff_t>(c.index)] ^= c.flip;
    const VerifyResult result = verify(image);
    EXPECT_EQ(result.mismatches, std::vector<std::string>{c.expected}) << result.failure;
  }
}

// `image` has the fingerprint of one known to be right, and its boot leaves the expected machine.
void ExpectKeptAndBooted(const Bytes& image, std::uint64_t fingerprint,
                         const VerifyResult& result) {
  EXPECT_EQ(testing::ImageFingerprint(image), fingerprint);
  EXPECT_TRUE(result.Passed()) << FormatVerifySummary("GAME.bin", result);
}

// Bank 0's copy and screen clear take about 1.1 M T-states.
const VerifyOptions kOptions{.dwell_t_states = 1'200'000, .t_state_limit = 10'000'000};
constexpr std::int32_t kZX80RomEnd = 4097;  // the stand-in ZX80 ROM's free space starts here

class ZXImagesTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_.Write("ZX80_ROM.bin", testing::MakeRomImage(4095, {{10, 0xFD}})); }

  // GAME.bin for a ZX81 program of `length` bytes; the ROM's free space starts at last_used + 2.
  Bytes BuildZX81(std::size_t last_used, std::size_t length, std::int32_t ram_size,
                  std::int16_t auto_run) {
    dir_.Write("ZX81_ROM.bin", testing::MakeRomImage(last_used, {{0x000A, 0x40}}));
    EXPECT_TRUE(zx81_.LoadZX81Program(dir_.Write("GAME.P", testing::MakeZX81Program(length))));
    EXPECT_TRUE(zx81_.GenerateZX81Cartridge("GAME.P", ram_size, auto_run));
    return testing::ReadFileBytes(dir_ / "GAME.bin");
  }

  VerifyResult VerifyZX81(const Bytes& image, std::int32_t ram_size) {
    const Bytes& program = zx81_.ZX81Program();  // as built, with the auto-run rewrite
    return VerifyZX81Image(image, program, ZX81Ramtop(ram_size, program.size()), kOptions);
  }
  // GAME.bin for a ZX80 program of `length` bytes; `answer` goes to the 16K question.
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

  testing::TempDir dir_;
  testing::ScriptedHost host_{dir_.path()};
  CartridgeMaker maker_;
  ZX81Processing zx81_{host_, maker_};
  ZX80Processing zx80_{host_, maker_};
};

// Each layout, on each side of each step, boots and keeps its bytes.
TEST_F(ZXImagesTest, ZX81EveryLayoutBootsKeepsItsBytesAndNamesACorruptedValue) {
  // With free space from 8193 (bank 1 room 8177) the program may reach 16272 + 8177 = 24449
  // bytes; it gets a border below 24445, stripes too below 24383, the logo as well below 24277.
  // RAMTOP rises for more than 16371 bytes. With free space from 16382 the room in bank 0 ends at
  // 16260 and the same steps lie at 16088, 16194 and 16256, all without a tail.
  // Name, ROM used up to, program length, RAM size, auto-run, fingerprint.
  const std::tuple<const char*, std::size_t, std::size_t, std::int32_t, std::int16_t, std::uint64_t>
      cases[] = {
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
          {"no decoration, full ROM", 16380, 16260, 16384, 0, 0x1FDD106442323D40},
          {"no free space in the ROM", 16383, 16257, 16384, 0, 0x492C49E87B376E1A},
      };
  for (const auto& [name, last_used, length, ram_size, auto_run, fingerprint] : cases) {
    SCOPED_TRACE(name);
    const Bytes image = BuildZX81(last_used, length, ram_size, auto_run);
    ExpectKeptAndBooted(image, fingerprint, VerifyZX81(image, ram_size));
  }
  ExpectEachCorruptionNamed(
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
// raised for more than 16382 bytes. The ZX81 table has every step's edges; one shows ZX80's room.
TEST_F(ZXImagesTest, ZX80EveryLayoutBootsKeepsItsBytesAndNamesACorruptedValue) {
  // Name, program length, answer to the 16K question, auto-run, RAM size, fingerprint.
  const std::tuple<const char*, std::size_t, Answer, std::int16_t, std::int32_t, std::uint64_t>
      cases[] = {
          {"16K, plain", 1000, Answer::Yes, 0, 3072, 0xD229F725F939F420},
          {"16K, auto-run, all decoration, longest", 12022, Answer::Yes, 1, 16384,
           0x2B28B543506CBD00},
          {"16K, auto-run, border and stripes", 12023, Answer::Yes, 1, 16384, 0x9A55CF2EFDE66095},
          {"16K, auto-run, border only", 12137, Answer::Yes, 1, 16384, 0x1E6A5CDF8CC53B2B},
          {"16K, auto-run, longest that fits", 16384 - kZX80RomEnd - 85, Answer::Yes, 1, 16384,
           0x468E083508974CD8},
          {"32K, plain, no tail", 1000, Answer::No, 0, 1024, 0xDF3105F249344269},
          {"32K, auto-run, no tail", 12000, Answer::No, 1, 16384, 0xB95BEBEF27572140},
          {"32K, plain, longest under the 16K RAMTOP", 16382, Answer::No, 0, 16384,
           0x310077306CB6C45A},
          {"32K, plain, shortest above it", 16383, Answer::No, 0, 16384, 0x436F35BC14C1CD6B},
          {"32K, auto-run, long tail", 16383, Answer::No, 1, 16384, 0x97B86733BA90EEBF},
          {"32K, plain, short tail", 16250, Answer::No, 0, 16384, 0x0A59AA132FF43B94},
      };
  for (const auto& [name, length, answer, auto_run, ram_size, fingerprint] : cases) {
    SCOPED_TRACE(name);
    const Bytes image = BuildZX80(length, answer, auto_run, ram_size);
    ExpectKeptAndBooted(image, fingerprint, VerifyZX80(image, ram_size, auto_run));
  }
  ExpectEachCorruptionNamed(
      BuildZX80(1000, Answer::Yes, 0, 16384),
      {
          {{0x3E, 0x0E, 0xED, 0x47}, 1, 0x01, "I is 0x0F, expected 0x0E"},  // LD A,0x0E; LD I,A
          // CALL 0x0747 made LD BC,0x0747: the plain start's JP 0x0283 runs instead.
          {{0xCD, 0x47, 0x07, 0xC3}, 0, 0xCC, "ROM entered at 0x0283, expected 0x0747"},
      },
      [&](const Bytes& image) { return VerifyZX80(image, 16384, 0); });
}

const Bytes kRom = testing::MakeRomImage(0x3FFF, {{0, 0xF3}});  // the user's SPECTRUM_ROM.bin
// Stage 1 takes about 0.5 M T-states, then one bank copy follows each wait.
const VerifyOptions kSpectrumOptions{.dwell_t_states = 600'000, .t_state_limit = 12'000'000};

Bytes Build64K(const SnapshotState& state, spectrum::SnapshotKind kind) {
  CartridgeMaker maker;
  EXPECT_TRUE(spectrum::BuildSpectrumCartridge64K(maker, state, kind, kRom));
  return maker.CartridgeImage();
}

// Every register at random, RAM with runs of 0xED and of zeros, PC at SP for an SNA; then each
// byte of the register block that sets a register, changed, is named.
TEST(SpectrumImagesTest, SixtyFourKRestoresRandomSnapshotsAndNamesACorruptedRegister) {
  std::mt19937 random(2024);
  for (int round = 0; round < 3; ++round) {
    const SnapshotState state = testing::RandomSnapshot(random);
    for (const auto kind : {spectrum::SnapshotKind::kZ80, spectrum::SnapshotKind::kSna}) {
      SCOPED_TRACE(std::to_string(round) + " " + std::string(spectrum::SnapshotKindName(kind)));
      const VerifyResult result = VerifySpectrumImage(Build64K(state, kind), state, kind, kRom,
                                                      std::nullopt, kSpectrumOptions);
      EXPECT_TRUE(result.Passed()) << FormatVerifySummary("GAME.bin", result);
      EXPECT_EQ(result.notes.size(),
                kind == spectrum::SnapshotKind::kSna ? 1u : 0u);  // R one higher after RETN
    }
  }
  // The register block starts by locking the paging: LD BC,0x7FFD; LD A,0x30; OUT (C),A.
  const Bytes lock = {0x01, 0xFD, 0x7F, 0x3E, 0x30, 0xED, 0x79};
  const SnapshotState state = testing::MakeBusySnapshot(7);
  ExpectEachCorruptionNamed(
      Build64K(state, spectrum::SnapshotKind::kZ80),
      {
          {lock, 23, 0x01, "border is 4, snapshot has 5"},          // LD A,n before OUT (0xFE),A
          {lock, 27, 0x08, "interrupt mode is 2, snapshot has 1"},  // IM 1 made IM 2
          {lock, 29, 0x01, "I is 0x3E, snapshot has 0x3F"},         // LD A,n before LD I,A
          {lock, 50, 0x01, "R is 0x84, snapshot has 0x85"},         // LD A,n before LD R,A
          {lock, 55, 0x01, "SP is 0xFE41, snapshot has 0xFE40"},    // LD SP,nn: low byte
          {lock, 57, 0x08, "IFF1 is 0, snapshot has 1"},            // EI made DI
          {lock, 62, 0x01, "AF' is 0x98AA, snapshot has 0x99AA"},   // data of the first POP AF
          {lock, 64, 0x01, "AF is 0x3B44, snapshot has 0x3A44"},    // data of the second POP AF
      },
      [&](const Bytes& image) {
        return VerifySpectrumImage(image, state, spectrum::SnapshotKind::kZ80, kRom, std::nullopt,
                                   kSpectrumOptions);
      });
}

TEST(SpectrumImagesTest, FortyEightKRestoresTheSnapshotWhereverTheUnusedAreaLies) {
  // RAM is zero from the first address to the second - 1 only: the unused area.
  const std::pair<int, int> cases[] = {
      {0xD000, 0xE000}, {0x6000, 0x7000}, {0xB000, 0xC000}, {0x7000, 0x8000}};  // page ends last
  for (const auto& [zero_from, zero_to] : cases) {
    for (const auto kind : {spectrum::SnapshotKind::kZ80, spectrum::SnapshotKind::kSna}) {
      SCOPED_TRACE(std::to_string(zero_from) + " " + std::string(spectrum::SnapshotKindName(kind)));
      SnapshotState state = testing::MakeBusySnapshot(zero_from);
      testing::ZeroRam(state, zero_from, zero_to);
      AddressRange area;
      std::int16_t page = -1;
      area.low = spectrum::FindUnusedArea(state.Memory, area.top, page);
      CartridgeMaker maker;
      ASSERT_TRUE(
          spectrum::BuildSpectrumCartridge48K(maker, state, kind, area.low, area.top, page));
      const Bytes image = maker.CartridgeImage();
      // Without a SPECTRUM_ROM.bin (here for an SNA) the internal ROM is a block of 0xF3.
      const std::optional<Bytes> rom =
          kind == spectrum::SnapshotKind::kZ80 ? std::optional(kRom) : std::nullopt;
      // RAM starts random: only stage 2 may differ, the rest of the area has been cleared.
      const int stage2_length = kind == spectrum::SnapshotKind::kZ80 ? 130 : 129;
      const AddressRange stage2{area.low, area.low + stage2_length};
      const VerifyResult result =
          VerifySpectrumImage(image, state, kind, rom, stage2, kSpectrumOptions);
      EXPECT_TRUE(result.Passed()) << FormatVerifySummary("GAME.bin", result);
      EXPECT_EQ(result.success_text,
                "snapshot restored exactly except " + std::to_string(stage2_length) +
                    " bytes of start-up code at " + HexWord(std::uint32_t(area.low)) + "-" +
                    HexWord(std::uint32_t(area.low + stage2_length - 1)));
      // Without the range allowed, stage 2 left behind is reported.
      const VerifyResult strict =
          VerifySpectrumImage(image, state, kind, kRom, std::nullopt, kSpectrumOptions);
      ASSERT_EQ(strict.mismatches.size(), 1u);
      EXPECT_EQ(strict.mismatches[0].substr(0, 15), "RAM differs at ");
    }
  }
}

}  // namespace
}  // namespace quillfen
