#include "spectrum/spectrum_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cartridge/error.h"
#include "spectrum/snapshot_fixtures.h"
#include "support/rom_images.h"
#include "support/spectrum_machine.h"

namespace quillfen::spectrum {
namespace {

using quillfen::testing::MakeBusySnapshot;
using quillfen::testing::MakeRomImage;
using quillfen::testing::SpectrumMachine;
using quillfen::testing::ZeroRam;

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t length) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
               bytes.begin() + static_cast<std::ptrdiff_t>(from + length));
}

// RAM bytes from `address`, `length` of them.
Bytes RamAt(const SnapshotState& state, int address, std::size_t length) {
  return Slice(state.Memory, static_cast<std::size_t>(address - 0x4000), length);
}

Bytes SpectrumRom() { return MakeRomImage(0x3FFF, {{0, 0xF3}}); }

struct Area {
  std::int32_t low = 0;
  std::int32_t top = 0;
  std::int16_t page = 7;  // a value FindUnusedArea must leave alone when it finds nothing
};

Area Search(const SnapshotState& state) {
  Area area;
  area.low = FindUnusedArea(state.Memory, area.top, area.page);
  return area;
}

// --- FindUnusedArea -------------------------------------------------------------------------

TEST(FindUnusedAreaTest, NeedsTheRunTopAnd512ZerosBelowIt) {
  SnapshotState state = MakeBusySnapshot();
  ZeroRam(state, 0xAE01, 0xB001);  // 0xB000 and 512 below it; 0xAE00 is not zero
  Area area = Search(state);
  EXPECT_EQ(area.low, 0);
  EXPECT_EQ(area.top, 0);
  EXPECT_EQ(area.page, 7);

  ZeroRam(state, 0xAE00, 0xAE01);  // now 513 zeros, ended by 0xADFF
  area = Search(state);
  EXPECT_EQ(area.low, 0xAE01);  // two above the non-zero byte
  EXPECT_EQ(area.top, 0xB001);
  EXPECT_EQ(area.page, 1);
}

TEST(FindUnusedAreaTest, RunsMustEndInsideTheirWindow) {
  // Zeros from 0x8400 down past the window's last address 0x81FF, ended at 0x81FE: ignored.
  SnapshotState state = MakeBusySnapshot();
  ZeroRam(state, 0x81FF, 0x8401);
  EXPECT_EQ(Search(state).low, 0);
  // Ended by a non-zero byte at the window's last address itself: found.
  state = MakeBusySnapshot();
  ZeroRam(state, 0x8200, 0x8401);
  Area area = Search(state);
  EXPECT_EQ(area.low, 0x8201);
  EXPECT_EQ(area.top, 0x8401);
  EXPECT_EQ(area.page, 1);
  // Page 0 window ends at 0x5CFF; page 2 window at 0xC1FF.
  state = MakeBusySnapshot();
  ZeroRam(state, 0x5CFF, 0x6000);
  EXPECT_EQ(Search(state).low, 0);
  ZeroRam(state, 0xC000, 0xC400);  // crosses 0xC1FF, and the page 1 window does not see it
  EXPECT_EQ(Search(state).low, 0);
}

TEST(FindUnusedAreaTest, ZerosAboveAWindowDoNotCount) {
  SnapshotState state = MakeBusySnapshot();
  ZeroRam(state, 0xE1DF, 0xE600);  // the run in the window starts at 0xE3DF
  state.Memory[0xE1DE - 0x4000] = 0x55;
  Area area = Search(state);
  EXPECT_EQ(area.top, 0xE3E0);
  EXPECT_EQ(area.low, 0xE1E0);
  EXPECT_EQ(area.page, 2);
}

TEST(FindUnusedAreaTest, HighestWindowThenHighestRunWins) {
  SnapshotState state = MakeBusySnapshot();
  ZeroRam(state, 0x6000, 0x7000);
  ZeroRam(state, 0x9000, 0x9300);
  ZeroRam(state, 0xA000, 0xA300);
  Area area = Search(state);
  EXPECT_EQ(area.page, 1);
  EXPECT_EQ(area.top, 0xA300);
  EXPECT_EQ(area.low, 0xA001);

  ZeroRam(state, 0xD000, 0xD210);
  area = Search(state);
  EXPECT_EQ(area.page, 2);
  EXPECT_EQ(area.top, 0xD210);
}

TEST(FindUnusedAreaTest, AreasReachingThePageEnd) {
  SnapshotState state = MakeBusySnapshot();
  ZeroRam(state, 0x7000, 0x8000);
  Area area = Search(state);
  EXPECT_EQ(area.page, 0);
  EXPECT_EQ(area.top, 0x8000);
  EXPECT_EQ(area.low, 0x7001);
  ZeroRam(state, 0xB000, 0xC000);
  area = Search(state);
  EXPECT_EQ(area.page, 1);
  EXPECT_EQ(area.top, 0xC000);
}

TEST(FindUnusedAreaTest, AreaAlwaysLiesInTheDocumentedRanges) {
  std::uint32_t random = 99;
  auto next = [&random](std::uint32_t bound) {
    random = random * 1103515245u + 12345u;
    return static_cast<int>((random >> 8) % bound);
  };
  for (int trial = 0; trial < 200; ++trial) {
    SnapshotState state = MakeBusySnapshot(static_cast<std::uint32_t>(trial));
    for (int run = 0; run < 3; ++run) {
      const int start = 0x4000 + next(0xC000);
      ZeroRam(state, start, std::min(0x10000, start + 400 + next(900)));
    }
    const Area area = Search(state);
    if (area.low == 0) continue;
    const bool in_range = (area.low >= 0xC201 && area.top <= 0xE3E0) ||
                          (area.low >= 0x8201 && area.top <= 0xC000) ||
                          (area.low >= 0x5D01 && area.top <= 0x8000);
    EXPECT_TRUE(in_range) << area.low << " to " << area.top;
    EXPECT_GE(area.top - area.low, 512);
    EXPECT_NE(state.Memory[area.low - 2 - 0x4000], 0);
    for (int address = area.low - 1; address < area.top; ++address)
      ASSERT_EQ(state.Memory[address - 0x4000], 0) << address;
  }
}

TEST(FindUnusedAreaTest, RefusesARamImageOfTheWrongLength) {
  std::int32_t top = 0;
  std::int16_t page = 0;
  const Bytes short_image(0xBFFF, 0);
  const Bytes long_image(0xC001, 0);
  EXPECT_THROW(FindUnusedArea(short_image, top, page), Error);
  EXPECT_THROW(FindUnusedArea(long_image, top, page), Error);
  EXPECT_THROW(FindUnusedArea(Bytes{}, top, page), Error);
}

// --- The 48K cartridge ----------------------------------------------------------------------

TEST(BuildSpectrumCartridge48KTest, AreaReachingThePageEndGivesTheShortStage1) {
  SnapshotState state = MakeBusySnapshot();
  ZeroRam(state, 0xA000, 0xC000);  // page 1, from 0xA001 to the page's end
  const Area area = Search(state);
  ASSERT_EQ(area.low, 0xA001);
  CartridgeMaker maker;
  ASSERT_TRUE(BuildSpectrumCartridge48K(maker, state, "GAME.Z80", area.low, area.top, area.page));
  const Bytes& image = maker.CartridgeImage();
  ASSERT_EQ(image.size(), 0x10000u);
  EXPECT_EQ(Slice(image, 0x15, 3), (Bytes{0x21, 0x33, 0x00}));  // LD HL,0x0033: the logo table
  EXPECT_EQ(Slice(image, 0x25, 3), (Bytes{0x21, 0x9E, 0x00}));  // LD HL,0x009E: the prefix
  EXPECT_EQ(Slice(image, 0x28, 3), (Bytes{0x11, 0x00, 0x80}));  // LD DE,0x8000
  EXPECT_EQ(Slice(image, 0x2B, 3), (Bytes{0x01, 0x83, 0x20}));  // LD BC,0x2001 + 130
  EXPECT_EQ(Slice(image, 0x30, 3), (Bytes{0xC3, 0x01, 0xA0}));  // JP 0xA001
  EXPECT_EQ(Slice(image, 0x33, 3), (Bytes{0x1F, 0x01, 0x50}));  // first logo entry
  // The prefix 0x8000-0xA000 follows the table, stage 2 (130 bytes) follows the prefix.
  EXPECT_EQ(Slice(image, 0x9E, 0x2001), RamAt(state, 0x8000, 0x2001));
  const std::size_t stage2 = 0x9E + 0x2001;
  EXPECT_EQ(Slice(image, stage2, 7), (Bytes{0x21, 0x00, 0x00, 0x44, 0x7E, 0xFE, 0x01}));
  EXPECT_EQ(Slice(image, stage2 + 130, 0x4000 - stage2 - 130), Bytes(0x4000 - stage2 - 130, 0xFF));
  // Banks: page 0 with 0x01, empty, page 2 with 0x02.
  EXPECT_EQ(image[0x4000], 0x01);
  EXPECT_EQ(Slice(image, 0x4001, 0x3FFF), RamAt(state, 0x4001, 0x3FFF));
  EXPECT_EQ(Slice(image, 0x8000, 0x4000), Bytes(0x4000, 0xFF));
  EXPECT_EQ(image[0xC000], 0x02);
  EXPECT_EQ(Slice(image, 0xC001, 0x3FFF), RamAt(state, 0xC001, 0x3FFF));
}

TEST(BuildSpectrumCartridge48KTest, AreaWithATailCopiesTheTail) {
  SnapshotState state = MakeBusySnapshot();
  ZeroRam(state, 0xD000, 0xE000);  // page 2, area 0xD001 to 0xDFFF
  const Area area = Search(state);
  ASSERT_EQ(area.page, 2);
  CartridgeMaker maker;
  ASSERT_TRUE(BuildSpectrumCartridge48K(maker, state, "GAME.SNA", area.low, area.top, area.page));
  const Bytes& image = maker.CartridgeImage();
  ASSERT_EQ(image.size(), 0x10000u);
  EXPECT_EQ(Slice(image, 0x15, 3), (Bytes{0x21, 0x3E, 0x00}));  // LD HL,0x003E
  const std::size_t tail_at = 0x3E + 107 + 0x1001 + 129;        // SNA stage 2: 129 bytes
  EXPECT_EQ(Slice(image, 0x30, 3), (Bytes{0x21, static_cast<std::uint8_t>(tail_at),
                                          static_cast<std::uint8_t>(tail_at >> 8)}));
  EXPECT_EQ(Slice(image, 0x33, 3), (Bytes{0x11, 0x00, 0xE0}));  // LD DE,0xE000
  EXPECT_EQ(Slice(image, 0x36, 3), (Bytes{0x01, 0x00, 0x20}));  // LD BC,0x2000
  EXPECT_EQ(Slice(image, 0x3B, 3), (Bytes{0xC3, 0x01, 0xD0}));  // JP 0xD001
  EXPECT_EQ(Slice(image, 0x3E, 3), (Bytes{0x1F, 0x01, 0x50}));
  EXPECT_EQ(Slice(image, tail_at, 0x2000), RamAt(state, 0xE000, 0x2000));
  EXPECT_EQ(image[tail_at + 0x2000], 0xFF);
  EXPECT_EQ(image[0x4000], 0x01);  // page A = 0x4000
  EXPECT_EQ(image[0xC000], 0x02);  // page B = 0x8000
  EXPECT_EQ(Slice(image, 0xC001, 0x3FFF), RamAt(state, 0x8001, 0x3FFF));
  EXPECT_EQ(Slice(image, 0x8000, 0x4000), Bytes(0x4000, 0xFF));
}

TEST(BuildSpectrumCartridge48KTest, RefusesWhatItCannotLayOut) {
  SnapshotState state = MakeBusySnapshot();
  ZeroRam(state, 0xD000, 0xE000);
  const Area area = Search(state);
  CartridgeMaker maker;
  EXPECT_FALSE(BuildSpectrumCartridge48K(maker, state, "GAME.TAP", area.low, area.top, area.page));
  EXPECT_FALSE(BuildSpectrumCartridge48K(maker, state, "GAME.Z80", area.low, area.top, 3));
  EXPECT_FALSE(BuildSpectrumCartridge48K(maker, state, "GAME.Z80", area.low, area.low + 129, 2));
  EXPECT_FALSE(BuildSpectrumCartridge48K(maker, state, "GAME.Z80", area.low - 2, area.top, 2))
      << "an area holding data";
  EXPECT_FALSE(BuildSpectrumCartridge48K(maker, state, "GAME.Z80", area.low, 0x10001, 2));
  SnapshotState broken = state;
  broken.Memory.pop_back();
  EXPECT_FALSE(BuildSpectrumCartridge48K(maker, broken, "GAME.Z80", area.low, area.top, area.page));
  broken = state;
  broken.BorderColour = 300;
  EXPECT_FALSE(BuildSpectrumCartridge48K(maker, broken, "GAME.Z80", area.low, area.top, area.page));
  EXPECT_TRUE(BuildSpectrumCartridge48K(maker, state, "GAME.Z80", area.low, area.top, area.page));
}

// --- The 64K cartridge ----------------------------------------------------------------------

TEST(BuildSpectrumCartridge64KTest, LaysOutTheFourBanks) {
  const SnapshotState state = MakeBusySnapshot();
  const Bytes rom = SpectrumRom();
  for (const auto& [name, stage3_length] :
       std::vector<std::pair<std::string, std::size_t>>{{"GAME.Z80", 76}, {"GAME.SNA", 75}}) {
    SCOPED_TRACE(name);
    CartridgeMaker maker;
    ASSERT_TRUE(BuildSpectrumCartridge64K(maker, state, name, rom));
    const Bytes& image = maker.CartridgeImage();
    ASSERT_EQ(image.size(), 0x10000u);
    EXPECT_EQ(image[0x0000], 0x01);
    EXPECT_EQ(Slice(image, 0x0001, 0x3FFF), RamAt(state, 0x80EE, 0x3FFF));
    EXPECT_EQ(Slice(image, 0x4000, 4), (Bytes{0xAF, 0x21, 0x00, 0x40}));  // stage 1
    EXPECT_EQ(Slice(image, 0x403E, 3), (Bytes{0x1F, 0x01, 0x50}));        // logo table
    EXPECT_EQ(Slice(image, 0x40A9, 7), (Bytes{0x21, 0x00, 0x00, 0x44, 0x7E, 0xFE, 0x01}));
    EXPECT_EQ(Slice(image, 0x40EA, 3), (Bytes{0xC3, 0x6E, 0x38}));  // JP 0x386E
    EXPECT_EQ(Slice(image, 0x40ED, 16147), RamAt(state, 0xC0ED, 16147));
    EXPECT_EQ(image[0x8000], 0x02);
    EXPECT_EQ(Slice(image, 0x8001, 0x3FFF), RamAt(state, 0x4001, 0x3FFF));
    EXPECT_EQ(Slice(image, 0xC000, 0x386E), Slice(rom, 0, 0x386E));
    EXPECT_EQ(image[0xF86E], 0x21);
    EXPECT_EQ(image[0xF86F] | image[0xF870] << 8, 0x386E + static_cast<int>(stage3_length));
    const std::size_t ram_at = 0xF86E + stage3_length;
    EXPECT_EQ(Slice(image, ram_at, 237), RamAt(state, 0x8000, 237));
    const std::size_t fill = 0xFD00 - (ram_at + 237);
    EXPECT_EQ(fill, stage3_length == 76 ? 857u : 858u);
    EXPECT_EQ(Slice(image, ram_at + 237, fill), Bytes(fill, 0xFF));
    EXPECT_EQ(Slice(image, 0xFD00, 0x300), Slice(rom, 0x3D00, 0x300));
  }
}

TEST(BuildSpectrumCartridge64KTest, RefusesARomItCannotCarry) {
  const SnapshotState state = MakeBusySnapshot();
  CartridgeMaker maker;
  EXPECT_FALSE(BuildSpectrumCartridge64K(maker, state, "GAME.Z80",
                                         MakeRomImage(0x3FFF, {{0, 0xF3}}, 0x3FFF)));
  EXPECT_FALSE(BuildSpectrumCartridge64K(maker, state, "GAME.Z80",
                                         MakeRomImage(0x3FFF, {{0, 0xF3}}, 0x4001)));
  EXPECT_FALSE(
      BuildSpectrumCartridge64K(maker, state, "GAME.Z80", MakeRomImage(0x3FFF, {{0, 0xF4}})));
  EXPECT_FALSE(BuildSpectrumCartridge64K(maker, state, "GAME.Z80", Bytes{}));
  EXPECT_FALSE(BuildSpectrumCartridge64K(maker, state, "GAME", SpectrumRom()));
  SnapshotState broken = state;
  broken.Memory.resize(0x8000);
  EXPECT_FALSE(BuildSpectrumCartridge64K(maker, broken, "GAME.Z80", SpectrumRom()));
  EXPECT_TRUE(BuildSpectrumCartridge64K(maker, state, "GAME.Z80", SpectrumRom()));
}

// --- The images at work on an emulated Spectrum ---------------------------------------------

std::vector<Bytes> BanksOf(const Bytes& image) {
  std::vector<Bytes> banks;
  for (std::size_t at = 0; at < image.size(); at += kBankSize)
    banks.push_back(Slice(image, at, kBankSize));
  return banks;
}

// Runs the cartridge until the program resumes; checks registers and RAM outside `spared`.
void ExpectResumes(SpectrumMachine& machine, const SnapshotState& state, bool sna,
                   int spared_from = 0, int spared_to = 0) {
  ASSERT_TRUE(machine.RunUntil(0x6123));
  EXPECT_EQ(machine.RomWrites(), 0u);
  const auto regs = machine.Registers();
  EXPECT_EQ(regs.af, state.AF);
  EXPECT_EQ(regs.bc, state.BC);
  EXPECT_EQ(regs.de, state.DE);
  EXPECT_EQ(regs.hl, state.HL);
  EXPECT_EQ(regs.ix, state.IX);
  EXPECT_EQ(regs.iy, state.IY);
  EXPECT_EQ(regs.af_alt, state.AFAlt);
  EXPECT_EQ(regs.bc_alt, state.BCAlt);
  EXPECT_EQ(regs.de_alt, state.DEAlt);
  EXPECT_EQ(regs.hl_alt, state.HLAlt);
  EXPECT_EQ(regs.sp, sna ? state.SP + 2 : state.SP);
  EXPECT_EQ(regs.i, state.I);
  EXPECT_EQ(regs.r, sna ? (state.R & 0x80) | ((state.R + 1) & 0x7F) : state.R);
  EXPECT_EQ(regs.im, state.InterruptMode);
  EXPECT_EQ(regs.iff1, state.InterruptsEnabled);
  EXPECT_EQ(machine.BorderWrites().back(), state.BorderColour + 8);
  std::size_t differences = 0;
  for (int address = 0x4000; address <= 0xFFFF; ++address) {
    if (address >= spared_from && address < spared_to) continue;
    if (machine.Ram()[address - 0x4000] != state.Memory[address - 0x4000] && ++differences <= 5)
      ADD_FAILURE() << "RAM at " << address << " differs";
  }
  EXPECT_EQ(differences, 0u);
}

TEST(SpectrumCartridgeBootTest, The64KCartridgeRestoresTheSnapshot) {
  for (const std::string name : {"GAME.Z80", "GAME.SNA"}) {
    SCOPED_TRACE(name);
    const SnapshotState state = MakeBusySnapshot(3);
    CartridgeMaker maker;
    ASSERT_TRUE(BuildSpectrumCartridge64K(maker, state, name, SpectrumRom()));
    // The code bank (the second) is present at power-on; the others come round in turn.
    SpectrumMachine machine(BanksOf(maker.CartridgeImage()), 1);
    ExpectResumes(machine, state, name == "GAME.SNA");
    EXPECT_EQ(machine.ShownBank(), 3u) << "the program runs with the ROM copy present";
  }
}

TEST(SpectrumCartridgeBootTest, The48KCartridgeRestoresTheSnapshot) {
  struct Case {
    const char* name;
    int zero_from, zero_to;
    std::int16_t page;
  };
  const std::vector<Case> cases = {
      {"GAME.Z80", 0xD000, 0xE000, 2}, {"GAME.SNA", 0xD000, 0xE000, 2},
      {"GAME.Z80", 0xA000, 0xC000, 1}, {"GAME.SNA", 0x9000, 0x9400, 1},
      {"GAME.SNA", 0x7000, 0x8000, 0}, {"GAME.Z80", 0x6400, 0x6700, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " page " + std::to_string(c.page));
    SnapshotState state = MakeBusySnapshot(4);
    state.InterruptMode = 2;
    state.InterruptsEnabled = false;
    state.R = 0x02;
    ZeroRam(state, c.zero_from, c.zero_to);
    const Area area = Search(state);
    ASSERT_EQ(area.page, c.page);
    CartridgeMaker maker;
    ASSERT_TRUE(BuildSpectrumCartridge48K(maker, state, c.name, area.low, area.top, area.page));
    // After the four banks the Spectrum's own ROM comes round: the code resumes only then.
    std::vector<Bytes> banks = BanksOf(maker.CartridgeImage());
    banks.push_back(SpectrumRom());
    SpectrumMachine machine(banks, 0);
    // Stage 2 stays in the area; the rest of the area keeps what the RAM held.
    ExpectResumes(machine, state, std::string(c.name) == "GAME.SNA", area.low, area.top);
    EXPECT_EQ(machine.ShownBank(), 4u);
  }
}

// The bank wait accepts a bank only after 256 consecutive reads of its marker.
TEST(SpectrumCartridgeBootTest, AFlickeringBankIsNotAccepted) {
  const SnapshotState state = MakeBusySnapshot(5);
  CartridgeMaker maker;
  ASSERT_TRUE(BuildSpectrumCartridge64K(maker, state, "GAME.Z80", SpectrumRom()));
  SpectrumMachine steady(BanksOf(maker.CartridgeImage()), 1);
  steady.SetFlickerPeriod(257);  // 256 good reads before every wrong one
  EXPECT_TRUE(steady.RunUntil(0x6123));
  SpectrumMachine flickering(BanksOf(maker.CartridgeImage()), 1);
  flickering.SetFlickerPeriod(256);  // only 255 good reads in a row
  EXPECT_FALSE(flickering.RunUntil(0x6123, 300000));
}

}  // namespace
}  // namespace quillfen::spectrum
