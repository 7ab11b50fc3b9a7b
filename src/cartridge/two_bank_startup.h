// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cartridge/cartridge_maker.h"
#include "cartridge/decoration.h"
#include "cartridge/spectrum128_setup.h"
#include "cartridge/z80_blocks.h"

// Bank 0 of the two-bank ZX81 and ZX80 cartridges: start-up code that copies everything behind
// its decoration rows to RAM at 0x4000, sets up the hardware and the screen and jumps to the RAM
// copy of the machine's second code block; the rows; the copied block, whose first part is as
// much of the program (the head) as fits; the second code block.
namespace quillfen {

/// The start-up code without decoration: the copy, the hardware set-up, the screen clear, the JP.
inline constexpr int kTwoBankStartupLength =
    kBlockCopyLength + spectrum128::kHardwareSetUpLength + spectrum128::kScreenClearLength + 3;
static_assert(kTwoBankStartupLength == 58);

struct BankZeroLayout {
  Decoration decoration;
  int head = 0;       // H: program bytes in bank 0
  int copy_from = 0;  // A: offset of the block the start-up code copies to 0x4000
  int rows = 0;       // T: offset of the decoration rows
};

/// The layout for a program of `length` bytes, where `largest_program` is the longest program
/// the cartridge takes (bank 0's room and bank 1's) and `head_room` is bank 0's room for the
/// decoration and the head. The decoration is kept with strict comparisons against
/// `largest_program`; the head is what `head_room` leaves beside it.
BankZeroLayout PlanBankZero(int length, int largest_program, int head_room, RowTable logo_rows);

/// Bank 0 from offset 0: copies 33333 bytes from the layout's A to 0x4000 (the count runs past
/// bank 0's end), sets up the hardware, the border and the stripes as decorated, clears the screen
/// and jumps to `ram_code`, the RAM copy of the second code block.
void EmitTwoBankStartupCode(CartridgeMaker& out, const BankZeroLayout& layout, int ram_code);

}  // namespace quillfen
