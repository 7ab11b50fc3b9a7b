#include "spectrum/spectrum_startup_code.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cartridge/error.h"
#include "spectrum/snapshot_fixtures.h"
#include "support/spectrum_machine.h"

namespace quillfen::spectrum {
namespace {

using quillfen::testing::MakeBusySnapshot;
using quillfen::testing::SpectrumMachine;

Bytes RegisterBlock(const SnapshotState& state, SnapshotKind kind, int stack_data = 0x9000) {
  CartridgeMaker out;
  EmitRegisterBlock(out, state, kind, stack_data);
  return out.CartridgeImage();
}

TEST(SpectrumStartupCodeTest, SnapshotKindComesFromTheExtension) {
  EXPECT_EQ(SnapshotKindOf("GAME.SNA"), SnapshotKind::kSna);
  EXPECT_EQ(SnapshotKindOf("game.sna"), SnapshotKind::kSna);
  EXPECT_EQ(SnapshotKindOf("MY.GAME.Z80"), SnapshotKind::kZ80);
  EXPECT_EQ(SnapshotKindOf("rocket.z80"), SnapshotKind::kZ80);
  // A name the snapshot loader never accepts cannot be resumed: neither ending would be right.
  EXPECT_THROW(SnapshotKindOf("GAME.P"), Error);
  EXPECT_THROW(SnapshotKindOf(""), Error);
  EXPECT_THROW(SnapshotKindOf("GAME.SNAP"), Error);
}

TEST(SpectrumStartupCodeTest, RefreshValueKeepsBit7AndWrapsTheLowSevenBits) {
  const std::vector<std::pair<int, int>> examples = {
      {0x85, 0x81}, {0x02, 0x7E}, {0x83, 0xFF}, {0x00, 0x7C},
      {0x80, 0xFC}, {0x04, 0x00}, {0x07, 0x03}, {0xFF, 0xFB},
  };
  for (const auto& [r, expected] : examples)
    EXPECT_EQ(RefreshValueBeforeResume(r), expected) << "R = " << r;
  EXPECT_THROW(RefreshValueBeforeResume(256), Error);
  EXPECT_THROW(RefreshValueBeforeResume(-1), Error);
}

TEST(SpectrumStartupCodeTest, Stage3PointsAtTheRamBytesBehindIt) {
  const SnapshotState state = MakeBusySnapshot();
  CartridgeMaker z80;
  EmitStage3(z80, state, SnapshotKind::kZ80);
  const Bytes& a = z80.CartridgeImage();
  EXPECT_EQ((Bytes{a[0], a[1], a[2]}), (Bytes{0x21, 0xBA, 0x38}));     // LD HL,0x38BA
  EXPECT_EQ((Bytes{a[18], a[19], a[20]}), (Bytes{0x31, 0xB6, 0x38}));  // LD SP,0x38B6
  CartridgeMaker sna;
  EmitStage3(sna, state, SnapshotKind::kSna);
  const Bytes& b = sna.CartridgeImage();
  EXPECT_EQ((Bytes{b[0], b[1], b[2]}), (Bytes{0x21, 0xB9, 0x38}));     // LD HL,0x38B9
  EXPECT_EQ((Bytes{b[18], b[19], b[20]}), (Bytes{0x31, 0xB5, 0x38}));  // LD SP,0x38B5
}

TEST(SpectrumStartupCodeTest, RegisterBlockEndings) {
  SnapshotState state = MakeBusySnapshot();
  state.PC = 0xBEEF;
  const Bytes z80 = RegisterBlock(state, SnapshotKind::kZ80);
  // +57 EI, +58 JP 0xBEEF, +61 AF' = 0x99AA (F' first), +63 AF = 0x3A44 (F first)
  EXPECT_EQ(Bytes(z80.begin() + 57, z80.end()),
            (Bytes{0xFB, 0xC3, 0xEF, 0xBE, 0xAA, 0x99, 0x44, 0x3A}));
  state.InterruptsEnabled = false;
  const Bytes sna = RegisterBlock(state, SnapshotKind::kSna);
  // +57 DI, +58 RETN, +60 AF', +62 AF
  EXPECT_EQ(Bytes(sna.begin() + 57, sna.end()), (Bytes{0xF3, 0xED, 0x45, 0xAA, 0x99, 0x44, 0x3A}));
}

TEST(SpectrumStartupCodeTest, RegisterBlockBorderAndInterruptMode) {
  SnapshotState state = MakeBusySnapshot();
  for (const auto& [border, value] : std::vector<std::pair<int, int>>{{0, 0x08}, {7, 0x0F}}) {
    state.BorderColour = static_cast<std::int16_t>(border);
    const Bytes block = RegisterBlock(state, SnapshotKind::kZ80);
    EXPECT_EQ((Bytes{block[22], block[23], block[24], block[25]}),
              (Bytes{0x3E, static_cast<std::uint8_t>(value), 0xD3, 0xFE}));
  }
  for (const auto& [mode, second] : std::vector<std::pair<int, int>>{
           {0, 0x46}, {1, 0x56}, {2, 0x5E}, {3, 0x5E}, {5, 0x5E}, {-1, 0x5E}}) {
    state.InterruptMode = mode;
    const Bytes block = RegisterBlock(state, SnapshotKind::kSna);
    EXPECT_EQ(block[26], 0xED);
    EXPECT_EQ(block[27], second) << "mode " << mode;
  }
}

TEST(SpectrumStartupCodeTest, ValuesOutOfRangeFailTheEmission) {
  const SnapshotState good = MakeBusySnapshot();
  auto throws = [&](auto change) {
    SnapshotState state = good;
    change(state);
    CartridgeMaker out;
    EXPECT_THROW(EmitRegisterBlock(out, state, SnapshotKind::kZ80, 0x9000), Error);
  };
  throws([](SnapshotState& s) { s.I = 256; });
  throws([](SnapshotState& s) { s.R = 256; });
  throws([](SnapshotState& s) { s.BorderColour = 248; });
  throws([](SnapshotState& s) { s.PC = 0x10000; });
  throws([](SnapshotState& s) { s.AFAlt = -1; });
  CartridgeMaker out;
  EXPECT_THROW(EmitStage2For64K(out, 256, 0), Error);
}

// The register block, run on an emulated Z80 from RAM, leaves every register as recorded.
TEST(SpectrumStartupCodeTest, RegisterBlockRestoresTheProcessorState) {
  struct Case {
    SnapshotKind kind;
    int r, mode;
    bool enabled;
  };
  const std::vector<Case> cases = {
      {SnapshotKind::kZ80, 0x85, 0, true}, {SnapshotKind::kZ80, 0x02, 1, false},
      {SnapshotKind::kZ80, 0x83, 2, true}, {SnapshotKind::kZ80, 0x00, 7, false},
      {SnapshotKind::kSna, 0x80, 1, true}, {SnapshotKind::kSna, 0x7F, 2, false},
      {SnapshotKind::kSna, 0xFF, 0, true}, {SnapshotKind::kSna, 0x04, 1, false},
  };
  constexpr int kBlockAddress = 0x9000;
  for (const Case& c : cases) {
    SCOPED_TRACE("R " + std::to_string(c.r) + " mode " + std::to_string(c.mode));
    SnapshotState state = MakeBusySnapshot();
    state.R = c.r;
    state.InterruptMode = c.mode;
    state.InterruptsEnabled = c.enabled;
    const bool sna = c.kind == SnapshotKind::kSna;
    const Bytes block =
        RegisterBlock(state, c.kind, kBlockAddress + RegisterBlockLength(c.kind) - 4);
    Bytes bank(kBankSize, 0xFF);
    bank[0] = 0xC3;  // JP 0x9000
    bank[1] = 0x00;
    bank[2] = 0x90;
    SpectrumMachine machine({bank}, 0);
    machine.LoadRam(kBlockAddress, block);
    machine.LoadRam(state.SP, Bytes{0x23, 0x61});  // an SNA snapshot's PC on its stack
    ASSERT_TRUE(machine.RunUntil(0x6123, 10000));

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
    EXPECT_EQ(regs.sp, sna ? state.SP + 2 : state.SP);  // RETN took the PC off the stack
    EXPECT_EQ(regs.i, state.I);
    // RETN's prefix is one more refresh cycle than JP: the SNA program starts with R one higher.
    EXPECT_EQ(regs.r, sna ? (c.r & 0x80) | ((c.r + 1) & 0x7F) : c.r);
    EXPECT_EQ(regs.im, c.mode == 0 ? 0 : c.mode == 1 ? 1 : 2);
    EXPECT_EQ(regs.iff1, c.enabled);
    ASSERT_FALSE(machine.BorderWrites().empty());
    EXPECT_EQ(machine.BorderWrites().back(), state.BorderColour + 8);
    EXPECT_EQ(machine.PagingWrites(), (std::vector<std::uint8_t>{0x30}));
  }
}

// Stage 1 of the 64K cartridge, run from the code bank: black screen, border and the logo.
TEST(SpectrumStartupCodeTest, Stage1DrawsTheLogoOnABlackScreen) {
  CartridgeMaker out;
  EmitStage1Start(out, 62);
  EmitStage1Continuation64K(out);
  EmitLogoTable(out);
  out.PadWithFFTo(kBankSize);
  SpectrumMachine machine({out.CartridgeImage()}, 0);
  ASSERT_TRUE(machine.RunUntil(0x8000, 400000));

  const Bytes& ram = machine.Ram();
  for (int address = 0x4000; address < 0x5A00; ++address)
    ASSERT_EQ(ram[address - 0x4000], 0) << "address " << address;
  // Attribute rows 16 to 23, as the picture the logo should make: a band of red, yellow, green
  // and cyan cells stepping down to the left, and "ZX" in white at the bottom left.
  const std::vector<std::string> picture = {
      "...............................R",  // row 16
      "..............................RY", ".............................RYG",
      "#####.#...#.................RYGC", "...#...#.#.................RYGC.",
      "..#.....#.................RYGC..", ".#.....#.#...............RYGC...",
      "#####.#...#.............RYGC....",  // row 23
  };
  const auto colour = [](char c) -> int {
    switch (c) {
      case 'R':
        return 0x50;
      case 'Y':
        return 0x70;
      case 'G':
        return 0x60;
      case 'C':
        return 0x68;
      case '#':
        return 0x78;
      default:
        return 0x00;
    }
  };
  for (int row = 0; row < 8; ++row)
    for (int column = 0; column < 32; ++column)
      EXPECT_EQ(ram[0x1A00 + row * 32 + column], colour(picture[row][column]))
          << "row " << row + 16 << " column " << column;
  EXPECT_EQ(machine.BorderWrites(), (std::vector<std::uint8_t>{0x08}));
  EXPECT_EQ(machine.RomWrites(), 0u);
}

}  // namespace
}  // namespace quillfen::spectrum
