// SPDX-License-Identifier: GPL-3.0-or-later
// tests/verify resumes random SNA and Z80 snapshots and compares every register; here the values
// a loaded snapshot rarely or never holds.
#include "spectrum/spectrum_startup_code.h"

#include <gtest/gtest.h>

#include "cartridge/error.h"
#include "support/snapshot_files.h"

namespace quillfen::spectrum {
namespace {

Bytes RegisterBlock(const SnapshotState& state) {
  CartridgeMaker out;
  EmitRegisterBlock(out, state, SnapshotKind::kSna, 0x9000);
  return out.CartridgeImage();
}

TEST(SpectrumStartupCodeTest, EveryInterruptModeAndABorderOutOfRange) {
  SnapshotState state = quillfen::testing::MakeBusySnapshot();
  for (const auto& [mode, second] :
       {std::pair{0, 0x46}, {1, 0x56}, {2, 0x5E}, {3, 0x5E}, {255, 0x5E}, {-1, 0x5E}}) {
    state.InterruptMode = mode;  // IM 0, IM 1, and IM 2 for any other value
    const Bytes block = RegisterBlock(state);
    EXPECT_EQ(Bytes(block.begin() + 26, block.begin() + 28), (Bytes{0xED, std::uint8_t(second)}))
        << "mode " << mode;
  }
  state.BorderColour = 248;  // out of range, not cut to a byte
  EXPECT_THROW(RegisterBlock(state), Error);
}

// Bit 7 kept, the low seven bits four lower, so that the four instructions after LD R,A bring R
// back to the snapshot's value.
TEST(SpectrumStartupCodeTest, RefreshValueKeepsBit7AndWrapsTheLowSevenBits) {
  const int r[] = {0x85, 0x02, 0x83, 0x00, 0x80, 0x04, 0x07};
  const int expected[] = {0x81, 0x7E, 0xFF, 0x7C, 0xFC, 0x00, 0x03};
  for (int k = 0; k < 7; ++k) EXPECT_EQ(RefreshValueBeforeResume(r[k]), expected[k]) << r[k];
  EXPECT_THROW(RefreshValueBeforeResume(256), Error);
}

}  // namespace
}  // namespace quillfen::spectrum
