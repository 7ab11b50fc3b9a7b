// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "cartridge/cartridge_maker.h"

// Placing the parts of a cartridge image in its banks: checking that a part lands where the layout
// put it, 0xFF up to a bank's end, and the ROM bank of a two-bank cartridge, which may carry the
// tail of a program too long for bank 0.
namespace quillfen {

/// Throws quillfen::Error, naming `builder` and `part`, unless the next byte lands at `address`:
/// the code emitted before it is not as long as the layout planned.
void ExpectNextAddress(const CartridgeMaker& out, int address, std::string_view builder,
                       std::string_view part);

/// Appends 0xFF until the image ends at `bank_end`. Throws quillfen::Error, naming `builder`,
/// when the image already runs past it: the bank's code or data overflowed.
void PadToBankEnd(CartridgeMaker& out, std::size_t bank_end, std::string_view builder);

/// Bank 1 of a two-bank cartridge, behind a finished bank 0: the ROM image `rom`; when `tail` is
/// not empty, the bank from `rom_end` on (the ROM's free space) holds what `emit_copy_routine`
/// appends, then the tail, then 0xFF to the bank's end. Throws quillfen::Error when bank 0 is not
/// exactly one bank, `rom` is not 16384 bytes or the routine and the tail overflow the bank.
void AppendRomBank(CartridgeMaker& out, std::span<const std::uint8_t> rom, int rom_end,
                   std::span<const std::uint8_t> tail,
                   const std::function<void(CartridgeMaker&)>& emit_copy_routine);

}  // namespace quillfen
