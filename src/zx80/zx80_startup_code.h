// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

#include "cartridge/cartridge_maker.h"
#include "cartridge/row_tables.h"
#include "cartridge/spectrum128_setup.h"
#include "cartridge/z80_blocks.h"

// The ZX80's own pieces of start-up code: the logo, the values the ZX80 ROM is entered with and
// the routine that copies a long program's tail from bank 1. The hardware set-up, screen clear
// and decoration are shared with the ZX81 (cartridge/spectrum128_setup.h, cartridge/decoration.h).
namespace quillfen::zx80 {

/// The letters ZX80 in white cells, 5 rows from the left edge, behind the stripe rows.
inline constexpr std::string_view kLogoRows[] = {
    "60 15 78 78 78 78 78 00 78 00 00 00 78 00 00 78 78 00 00 00 78 78 00",
    "80 15 00 00 00 78 00 00 00 78 00 78 00 00 78 00 00 78 00 78 00 00 78",
    "A0 15 00 00 78 00 00 00 00 00 78 00 00 00 00 78 78 00 00 78 00 00 78",
    "C0 15 00 78 00 00 00 00 00 78 00 78 00 00 78 00 00 78 00 78 00 00 78",
    "E0 14 78 78 78 78 78 00 78 00 00 00 78 00 00 78 78 00 00 00 78 78",
};
static_assert(RowTableLength(kLogoRows) == 114);

inline constexpr int kSetUpLength = 17;
inline constexpr int kAutoRunStartLength = 13;
inline constexpr int kPlainStartLength = 3;

/// The 16K loader's code without decoration: copy, hardware set-up, screen clear, ZX80 set-up,
/// entry (the plain one after its own CALL 0x0747).
inline constexpr int kLoaderLengthBeforeEntry = kBlockCopyLength +
                                                spectrum128::kHardwareSetUpLength +
                                                spectrum128::kScreenClearLength + kSetUpLength;
inline constexpr int kLoaderLengthAutoRun = kLoaderLengthBeforeEntry + kAutoRunStartLength;
inline constexpr int kLoaderLengthPlain = kLoaderLengthBeforeEntry + 3 + kPlainStartLength;
static_assert(kLoaderLengthAutoRun == 85 && kLoaderLengthPlain == 78);
inline constexpr int LoaderLength(std::int16_t auto_run) {
  return auto_run == 1 ? kLoaderLengthAutoRun : kLoaderLengthPlain;
}

/// The RAM code waits until this address of the cartridge reads this value: the ZX80 ROM's
/// byte there, which bank 0 does not hold.
inline constexpr std::uint16_t kRomBankMarkAddress = 0x000A;
inline constexpr std::uint8_t kRomBankMark = 0xFD;

/// IY, I, IM 1 and SP as the ZX80 ROM expects them, and 0x3FAA pushed on the new stack.
void EmitSetUp(CartridgeMaker& out, int ramtop);

/// Lists the program and runs it from its first line (CALL 0x0747, then into 0x093D).
void EmitAutoRunStart(CartridgeMaker& out);

/// Enters the ZX80 ROM's command loop (JP 0x0283).
void EmitPlainStart(CartridgeMaker& out);

/// The auto-run start when `auto_run` equals 1, else the plain start.
void EmitStart(CartridgeMaker& out, std::int16_t auto_run);

/// Length of the tail copy routine: the copy and the start that follows it.
int TailCopyRoutineLength(std::int16_t auto_run);

/// Copies `length` bytes from `source` (in bank 1) to `destination` (RAM), then starts the
/// ZX80 ROM: the routine runs from bank 1, so the copy may overwrite any RAM code.
void EmitTailCopyRoutine(CartridgeMaker& out, int source, int destination, int length,
                         std::int16_t auto_run);

}  // namespace quillfen::zx80
