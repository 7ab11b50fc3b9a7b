// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cartridge/cartridge_maker.h"
#include "cartridge/z80_blocks.h"

// The start-up code with which the ZX81 and ZX80 cartridges prepare the ZX Spectrum 128 they run
// on before entering their machine's ROM: memory paging, sound chip, border and the shown screen.
namespace quillfen::spectrum128 {

inline constexpr int kHardwareSetUpLength = 31;
inline constexpr int kBorderLength = 4;
inline constexpr int kScreenClearLength = kClearMemoryLength;

/// Paging port 0x7FFD := 0x2F (RAM page 7 at 0xC000, second screen shown, paging locked);
/// sound chip registers 14 and 7 := 0xFF.
void EmitHardwareSetUp(CartridgeMaker& out);

/// Black border.
void EmitBorder(CartridgeMaker& out);

/// Fills 0xC000-0xFFFF (RAM page 7: the shown screen) with 0.
void EmitScreenClear(CartridgeMaker& out);

}  // namespace quillfen::spectrum128
