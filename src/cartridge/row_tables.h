// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "cartridge/cartridge_maker.h"

// Attribute rows that the start-up code paints while the machine starts: each row is a low
// address byte E, a count and that many attribute bytes, written to 0xPP00 + E by the row-copy
// loop. 0x50, 0x70, 0x60 and 0x68 are bright red, yellow, green and cyan paper, 0x78 bright white.
namespace quillfen {

/// A table of rows, one fragment ("1F 01 50") a row, in the order they are painted.
using RowTable = std::span<const std::string_view>;

/// The diagonal band of four colours in the bottom right corner, painted by every cartridge.
// clang-format off
inline constexpr std::string_view kStripeRows[] = {
    "1F 01 50",                                   // row 16, column 31
    "3E 02 50 70",                                // row 17, columns 30-31
    "5D 03 50 70 60",                             // row 18, columns 29-31
    "7C 04 50 70 60 68",                          // row 19, columns 28-31
    "9B 04 50 70 60 68",                          // row 20, columns 27-30
    "BA 04 50 70 60 68",                          // row 21, columns 26-29
    "D9 04 50 70 60 68",                          // row 22, columns 25-28
    "F8 04 50 70 60 68",                          // row 23, columns 24-27
};
// clang-format on

/// The bytes `rows` take in the image: three characters a byte, the last without its separator.
constexpr int RowTableLength(RowTable rows) {
  int length = 0;
  for (const std::string_view row : rows) length += static_cast<int>(row.size() + 1) / 3;
  return length;
}

inline constexpr int kStripeRowsLength = RowTableLength(kStripeRows);
static_assert(kStripeRowsLength == 42);

inline constexpr int kRowCopyLoopLength = 20;

/// Appends the rows of `rows`, in order.
void EmitRowTable(CartridgeMaker& out, RowTable rows);

/// Copies `rows` entries of the table at `table` into memory page `high_byte`
/// (0xhigh_byte00 + E each).
void EmitRowCopyLoop(CartridgeMaker& out, int high_byte, int rows, int table);

}  // namespace quillfen
