// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "cartridge/cartridge_maker.h"
#include "cartridge/row_tables.h"

// The ZX81's own pieces of its cartridge's Z80 code. Bank 0's start-up code, shared with the ZX80,
// copies the system variables and the program to RAM and jumps into RAM, where the second code
// block waits for bank 1 (the ZX81 ROM image) and enters it.
namespace quillfen::zx81 {

/// The letters ZX81 in white cells, 5 rows from the left edge, behind the stripe rows.
inline constexpr std::string_view kLogoRows[] = {
    "60 13 78 78 78 78 78 00 78 00 00 00 78 00 00 78 78 00 00 78 78",
    "80 13 00 00 00 78 00 00 00 78 00 78 00 00 78 00 00 78 00 00 78",
    "A0 13 00 00 78 00 00 00 00 00 78 00 00 00 00 78 78 00 00 00 78",
    "C0 13 00 78 00 00 00 00 00 78 00 78 00 00 78 00 00 78 00 00 78",
    "E0 14 78 78 78 78 78 00 78 00 00 00 78 00 00 78 78 00 00 78 78 78",
};
static_assert(RowTableLength(kLogoRows) == 106);

inline constexpr std::int32_t kTailCopyRoutineLength = 14;

/// The ZX81 system variables 0x4000-0x4008, which a program file does not hold.
void EmitSystemVariables(CartridgeMaker& out, std::int32_t ramtop);

/// Runs from RAM behind the program head: waits until bank 1 is presented, sets the registers
/// the ZX81 ROM expects and enters it at 0x0207, or first at `tail_copy_routine` in bank 1.
void EmitSecondCodeBlock(CartridgeMaker& out, std::int32_t ramtop,
                         std::optional<std::int32_t> tail_copy_routine);

/// Bank 1 at `rom_end`: copies the tail (which follows this routine) to RAM behind the head,
/// then enters the ZX81 ROM at 0x0207.
void EmitTailCopyRoutine(CartridgeMaker& out, std::int32_t rom_end, std::int32_t head,
                         std::int32_t tail_length);

}  // namespace quillfen::zx81
