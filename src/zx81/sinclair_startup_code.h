// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cartridge/cartridge_maker.h"

// Code sequences that the ZX81 and ZX80 cartridges share: their start-up code sets up the
// ZX Spectrum 128 hardware, clears the shown screen and paints the same decoration. The Spectrum
// cartridges draw their logo with the same row-copy loop.
namespace quillfen::sinclair {

inline constexpr int kHardwareSetUpLength = 31;
inline constexpr int kBorderLength = 4;
inline constexpr int kScreenClearLength = 13;
inline constexpr int kRowCopyLoopLength = 20;
inline constexpr int kAttributeLoopLength = kRowCopyLoopLength;
inline constexpr int kStripeRowsLength = 42;

/// Paging port 0x7FFD := 0x2F (RAM page 7 at 0xC000, second screen shown, paging locked);
/// sound chip registers 14 and 7 := 0xFF.
void EmitHardwareSetUp(CartridgeMaker& out);

/// Black border.
void EmitBorder(CartridgeMaker& out);

/// Fills 0xC000-0xFFFF (RAM page 7: the shown screen) with 0.
void EmitScreenClear(CartridgeMaker& out);

/// Copies `rows` table entries at `table` into memory page `high_byte` (0xhigh_byte00 + E). Each
/// entry is a low address byte E, a count and that many bytes.
void EmitRowCopyLoop(CartridgeMaker& out, int high_byte, int rows, int table);

/// Copies the attribute rows at `table` into the shown screen's attributes at 0xDA00 + E:
/// 13 rows with the logo, 8 without.
void EmitAttributeLoop(CartridgeMaker& out, int table, bool logo);

/// The 8 rows of coloured stripes in the bottom right corner.
void EmitStripeRows(CartridgeMaker& out);

}  // namespace quillfen::sinclair
