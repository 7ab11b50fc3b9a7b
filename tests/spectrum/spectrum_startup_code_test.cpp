// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/spectrum_startup_code.h"

#include <gtest/gtest.h>

#include "cartridge/error.h"
#include "support/snapshot_files.h"

namespace quillfen::spectrum {
namespace {

using quillfen::testing::MakeBusySnapshot;

Bytes RegisterBlock(const SnapshotState& state, SnapshotKind kind) {
  CartridgeMaker out;
  EmitRegisterBlock(out, state, kind, 0x9000);
  return out.CartridgeImage();
}

TEST(SpectrumStartupCodeTest, RegisterBlockEndingsBorderAndInterruptMode) {
  SnapshotState state = MakeBusySnapshot();
  state.PC = 0xBEEF;
  const Bytes z80 = RegisterBlock(state, SnapshotKind::kZ80);
  // +57 EI, +58 JP 0xBEEF, +61 AF' = 0x99AA (F' first), +63 AF = 0x3A44 (F first)
  EXPECT_EQ(Bytes(z80.begin() + 57, z80.end()),
            (Bytes{0xFB, 0xC3, 0xEF, 0xBE, 0xAA, 0x99, 0x44, 0x3A}));
  state.InterruptsEnabled = false;
  const Bytes sna = RegisterBlock(state, SnapshotKind::kSna);
  // +57 DI, +58 RETN, +60 AF', +62 AF: one byte shorter
  EXPECT_EQ(Bytes(sna.begin() + 57, sna.end()), (Bytes{0xF3, 0xED, 0x45, 0xAA, 0x99, 0x44, 0x3A}));
  state.BorderColour = 7;
  EXPECT_EQ(RegisterBlock(state, SnapshotKind::kSna)[23], 0x0F);  // LD A,border + 8
  state.BorderColour = 248;                                       // out of range, not cut to a byte
  EXPECT_THROW(RegisterBlock(state, SnapshotKind::kSna), Error);
  state.BorderColour = 0;
  for (const auto& [mode, second] :
       {std::pair{0, 0x46}, {1, 0x56}, {2, 0x5E}, {3, 0x5E}, {255, 0x5E}, {-1, 0x5E}}) {
    state.InterruptMode = mode;  // IM 0, IM 1, and IM 2 for any other value
    const Bytes block = RegisterBlock(state, SnapshotKind::kSna);
    EXPECT_EQ(Bytes(block.begin() + 26, block.begin() + 28), (Bytes{0xED, std::uint8_t(second)}))
        << "mode " << mode;
    EXPECT_EQ(block[23], 0x08);  // border 0
  }
}

// The worked values: bit 7 kept, the low seven bits four lower, so that the four instructions
// after LD R,A bring R back to the snapshot's value (tests/verify runs whole images).
TEST(SpectrumStartupCodeTest, RefreshValueKeepsBit7AndWrapsTheLowSevenBits) {
  const int r[] = {0x85, 0x02, 0x83, 0x00, 0x80, 0x04, 0x07};
  const int expected[] = {0x81, 0x7E, 0xFF, 0x7C, 0xFC, 0x00, 0x03};
  for (int k = 0; k < 7; ++k) EXPECT_EQ(RefreshValueBeforeResume(r[k]), expected[k]) << r[k];
  EXPECT_THROW(RefreshValueBeforeResume(256), Error);
}

}  // namespace
}  // namespace quillfen::spectrum
