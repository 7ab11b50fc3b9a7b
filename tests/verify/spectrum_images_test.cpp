// SPDX-License-Identifier: GPL-3.0-or-later
// Boots Spectrum cartridge images as the builders lay them out and compares the resumed machine
// with the snapshot.

#include <gtest/gtest.h>

#include <random>

#include "boot_test_support.h"
#include "cartridge/cartridge_maker.h"
#include "spectrum/spectrum_layout.h"
#include "support/rom_images.h"
#include "support/snapshot_files.h"
#include "verify/spectrum_boot_check.h"
#include "verify/state_comparison.h"
#include "verify/verify_summary.h"

namespace quillfen {
namespace {

const Bytes kRom = testing::MakeRomImage(0x3FFF, {{0, 0xF3}});  // the user's SPECTRUM_ROM.bin
/// Stage 1 takes about 0.5 M T-states, then one bank copy follows each wait.
const VerifyOptions kOptions{.dwell_t_states = 600'000, .t_state_limit = 12'000'000};

/// A snapshot without a zero byte in RAM except from `zero_from` to `zero_to` - 1.
SnapshotState BusySnapshot(std::uint32_t seed, int zero_from = 0, int zero_to = 0) {
  SnapshotState state = testing::MakeBusySnapshot(seed);
  testing::ZeroRam(state, zero_from, zero_to);
  return state;
}

Bytes Build64K(const SnapshotState& state, spectrum::SnapshotKind kind) {
  CartridgeMaker maker;
  EXPECT_TRUE(spectrum::BuildSpectrumCartridge64K(maker, state, kind, kRom));
  return maker.CartridgeImage();
}

TEST(SpectrumImagesTest, SixtyFourKRestoresRandomSnaAndZ80Snapshots) {
  std::mt19937 random(2024);
  for (int round = 0; round < 3; ++round) {
    // Every register at random, RAM with runs of 0xED and of zeros, PC at SP for an SNA.
    const SnapshotState state = testing::RandomSnapshot(random);
    for (const auto kind : {spectrum::SnapshotKind::kZ80, spectrum::SnapshotKind::kSna}) {
      SCOPED_TRACE(std::to_string(round) + " " + std::string(spectrum::SnapshotKindName(kind)));
      const VerifyResult result =
          VerifySpectrumImage(Build64K(state, kind), state, kind, kRom, std::nullopt, kOptions);
      EXPECT_TRUE(result.Passed()) << FormatVerifySummary("GAME.bin", result);
      EXPECT_EQ(result.notes.size(),
                kind == spectrum::SnapshotKind::kSna ? 1u : 0u);  // R one higher after RETN
    }
  }
}

TEST(SpectrumImagesTest, FortyEightKRestoresTheSnapshotWhereverTheUnusedAreaLies) {
  struct Case {
    int zero_from, zero_to;
    std::int16_t page;
  };
  const Case cases[] = {
      {0xD000, 0xE000, 2}, {0x9000, 0xA000, 1},
      {0x6000, 0x7000, 0}, {0xB000, 0xC000, 1},  // up to the end of page 1
      {0x7000, 0x8000, 0},                       // up to the end of page 0
  };
  for (const Case& c : cases) {
    for (const auto kind : {spectrum::SnapshotKind::kZ80, spectrum::SnapshotKind::kSna}) {
      SCOPED_TRACE(std::to_string(c.zero_from) + " " +
                   std::string(spectrum::SnapshotKindName(kind)));
      const SnapshotState state = BusySnapshot(c.zero_from, c.zero_from, c.zero_to);
      AddressRange area;
      std::int16_t page = -1;
      area.low = spectrum::FindUnusedArea(state.Memory, area.top, page);
      EXPECT_EQ(page, c.page);
      EXPECT_EQ(area.top, c.zero_to);
      CartridgeMaker maker;
      ASSERT_TRUE(
          spectrum::BuildSpectrumCartridge48K(maker, state, kind, area.low, area.top, page));
      const Bytes image = maker.CartridgeImage();
      // Without a SPECTRUM_ROM.bin (here for an SNA) the internal ROM is a block starting
      // with 0xF3, all stage 2 waits for.
      const std::optional<Bytes> rom =
          kind == spectrum::SnapshotKind::kZ80 ? std::optional(kRom) : std::nullopt;
      // The machine's RAM starts with random bytes: only stage 2 may differ from the snapshot,
      // the rest of the area has been cleared.
      const int stage2_length = kind == spectrum::SnapshotKind::kZ80 ? 130 : 129;
      const AddressRange stage2{area.low, area.low + stage2_length};
      const VerifyResult result = VerifySpectrumImage(image, state, kind, rom, stage2, kOptions);
      EXPECT_TRUE(result.Passed()) << FormatVerifySummary("GAME.bin", result);
      EXPECT_EQ(result.success_text,
                "snapshot restored exactly except " + std::to_string(stage2_length) +
                    " bytes of start-up code at " + HexWord(std::uint32_t(area.low)) + "-" +
                    HexWord(std::uint32_t(area.low + stage2_length - 1)));
      // Without the range allowed, stage 2 left behind is reported.
      const VerifyResult strict =
          VerifySpectrumImage(image, state, kind, kRom, std::nullopt, kOptions);
      ASSERT_EQ(strict.mismatches.size(), 1u);
      EXPECT_EQ(strict.mismatches[0].substr(0, 15), "RAM differs at ");
    }
  }
}

TEST(SpectrumImagesTest, CorruptedRegisterBlockByteIsNamed) {
  // The register block starts by locking the paging: LD BC,0x7FFD; LD A,0x30; OUT (C),A.
  const Bytes lock = {0x01, 0xFD, 0x7F, 0x3E, 0x30, 0xED, 0x79};
  const SnapshotState state = BusySnapshot(7);
  testing::ExpectEachCorruptionNamed(
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
                                   kOptions);
      });
}

}  // namespace
}  // namespace quillfen
