// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "cartridge/cartridge_maker.h"
#include "zx81/zx81_layout.h"

// The Z80 code of a ZX81 cartridge: bank 0 copies the system variables and the program to RAM,
// sets up the ZX Spectrum 128 and the screen, and jumps into RAM, where the second code block
// waits for bank 1 (the ZX81 ROM image) and enters it.
namespace quillfen::zx81 {

/// Bank 0 from offset 0: the copy to RAM, the hardware set-up, the decoration's code as the
/// layout asks, and the jump to the RAM copy of the second code block.
void EmitStartupCode(CartridgeMaker& out, const ZX81Layout& layout);

/// The 5 attribute rows that spell ZX81 in white cells, behind the stripe rows.
void EmitLogoRows(CartridgeMaker& out);

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
