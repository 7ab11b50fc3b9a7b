// Boots Spectrum cartridge images as the builders lay them out, on the emulated cartridge, and
// compares the resumed machine with the snapshot.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cartridge/cartridge_maker.h"
#include "spectrum/snapshot_fixtures.h"
#include "spectrum/spectrum_layout.h"
#include "support/rom_images.h"
#include "verify/spectrum_boot_check.h"
#include "verify/verify_summary.h"

namespace quillfen {
namespace {

using testing::MakeBusySnapshot;
using testing::ZeroRam;

const Bytes kRom = testing::MakeRomImage(0x3FFF, {{0, 0xF3}});  // the user's SPECTRUM_ROM.bin

/// Long enough for stage 1 (about 0.5 M T-states) and for one bank copy after its wait.
VerifyOptions Options() {
  VerifyOptions options;
  options.dwell_t_states = 600'000;
  options.t_state_limit = 12'000'000;
  return options;
}

Bytes Build64K(const SnapshotState& state, const std::string& kind) {
  CartridgeMaker maker;
  EXPECT_TRUE(spectrum::BuildSpectrumCartridge64K(maker, state, "GAME." + kind, kRom));
  return maker.CartridgeImage();
}

/// The 48K image for the unused area FindUnusedArea finds; `area` receives it.
Bytes Build48K(const SnapshotState& state, const std::string& kind, AddressRange& area,
               std::int16_t& page) {
  std::int32_t top = 0;
  page = 0;
  const std::int32_t low = spectrum::FindUnusedArea(state.Memory, top, page);
  EXPECT_NE(low, 0);
  area = AddressRange{low, top};
  CartridgeMaker maker;
  EXPECT_TRUE(spectrum::BuildSpectrumCartridge48K(maker, state, "GAME." + kind, low, top, page));
  return maker.CartridgeImage();
}

/// Offset of the register block (it starts by locking the paging: LD BC,0x7FFD; LD A,0x30).
std::size_t RegisterBlockIn(const Bytes& image) {
  const Bytes start = {0x01, 0xFD, 0x7F, 0x3E, 0x30, 0xED, 0x79};
  const auto at = std::search(image.begin(), image.end(), start.begin(), start.end());
  EXPECT_NE(at, image.end());
  return static_cast<std::size_t>(at - image.begin());
}

TEST(SpectrumImagesTest, SixtyFourKRestoresSnaAndZ80Snapshots) {
  for (const std::string kind : {"Z80", "SNA"}) {
    SCOPED_TRACE(kind);
    const SnapshotState state = MakeBusySnapshot(kind == "SNA" ? 2 : 3);
    const VerifyResult result =
        VerifySpectrumImage(Build64K(state, kind), state, kind, kRom, std::nullopt, Options());
    EXPECT_TRUE(result.Passed()) << FormatVerifySummary("GAME.bin", result);
    EXPECT_EQ(result.notes.size(), kind == "SNA" ? 1u : 0u);  // R one higher after RETN
  }
}

TEST(SpectrumImagesTest, FortyEightKRestoresTheSnapshotWhereverTheUnusedAreaLies) {
  struct Case {
    const char* name;
    int zero_from;
    int zero_to;
    std::int16_t page;
  };
  const Case cases[] = {
      {"page 2", 0xD000, 0xE000, 2},
      {"page 1", 0x9000, 0xA000, 1},
      {"page 0", 0x6000, 0x7000, 0},
      {"page 1, up to its end", 0xB000, 0xC000, 1},
      {"page 0, up to its end", 0x7000, 0x8000, 0},
  };
  for (const Case& c : cases) {
    for (const std::string kind : {"Z80", "SNA"}) {
      SCOPED_TRACE(std::string(c.name) + ", " + kind);
      SnapshotState state = MakeBusySnapshot(static_cast<std::uint32_t>(c.zero_from));
      ZeroRam(state, c.zero_from, c.zero_to);
      AddressRange area;
      std::int16_t page = 0;
      const Bytes image = Build48K(state, kind, area, page);
      EXPECT_EQ(page, c.page);
      EXPECT_EQ(area.top, c.zero_to);
      const VerifyResult result = VerifySpectrumImage(image, state, kind, kRom, area, Options());
      EXPECT_TRUE(result.Passed()) << FormatVerifySummary("GAME.bin", result);
      // Without the area allowed, stage 2 left behind in it is reported.
      const VerifyResult strict =
          VerifySpectrumImage(image, state, kind, kRom, std::nullopt, Options());
      ASSERT_EQ(strict.mismatches.size(), 1u);
      EXPECT_EQ(strict.mismatches[0].substr(0, 15), "RAM differs at ");
    }
  }
}

TEST(SpectrumImagesTest, FortyEightKWaitsForTheInternalRom) {
  // Without a SPECTRUM_ROM.bin the internal ROM is a block starting with 0xF3: still boots.
  SnapshotState state = MakeBusySnapshot(5);
  ZeroRam(state, 0xD000, 0xE000);
  AddressRange area;
  std::int16_t page = 0;
  const Bytes image = Build48K(state, "Z80", area, page);
  EXPECT_TRUE(VerifySpectrumImage(image, state, "Z80", std::nullopt, area, Options()).Passed());
  // An internal ROM that does not start with 0xF3 is never recognised.
  Bytes other_rom = kRom;
  other_rom[0] = 0x00;
  const VerifyResult result = VerifySpectrumImage(image, state, "Z80", other_rom, area, Options());
  EXPECT_FALSE(result.booted);
  EXPECT_NE(result.failure.find("never reached the snapshot's PC 0x6123"), std::string::npos)
      << result.failure;
}

TEST(SpectrumImagesTest, CorruptedRegisterBlockByteIsNamed) {
  struct Case {
    std::size_t offset;  // in the register block
    std::string expected;
  };
  const Case cases[] = {
      {41, "BC is 0x1123, snapshot has 0x1122"},   // LD BC,nn: low operand byte
      {39, "IY is 0x5D3A, snapshot has 0x5C3A"},   // LD IY,nn (FD 21 at +36): high byte
      {29, "I is 0x3E, snapshot has 0x3F"},        // LD A,n before LD I,A
      {50, "R is 0x84, snapshot has 0x85"},        // LD A,R' before LD R,A
      {23, "border is 4, snapshot has 5"},         // LD A,n before OUT (0xFE),A
      {62, "AF' is 0x98AA, snapshot has 0x99AA"},  // data for the first POP AF: A'
  };
  const SnapshotState state = MakeBusySnapshot(7);
  const Bytes good = Build64K(state, "Z80");
  const std::size_t block = RegisterBlockIn(good);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    Bytes image = good;
    image[block + c.offset] ^= 0x01;
    const VerifyResult result =
        VerifySpectrumImage(image, state, "Z80", kRom, std::nullopt, Options());
    EXPECT_TRUE(result.booted);
    EXPECT_EQ(result.mismatches, std::vector<std::string>{c.expected});
    EXPECT_NE(FormatVerifySummary("GAME.bin", result).find("FAILED"), std::string::npos);
  }
}

}  // namespace
}  // namespace quillfen
