// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "cartridge/bytes.h"

namespace quillfen::testing {

/// A ZX80 program image of `length` bytes (at least 12) from address 0x4000: E_LINE (offset 10)
/// = 0x4000 + `length`, every other byte pseudo-random from `seed`, followed by `trailing`
/// bytes that lie beyond E_LINE.
Bytes MakeZX80Program(std::size_t length, std::size_t trailing = 0, std::uint32_t seed = 1);

/// The same image with E_LINE (offset 10) set to `e_line` and `file_length` bytes in all.
Bytes MakeZX80ProgramWithELine(std::uint16_t e_line, std::size_t file_length);

}  // namespace quillfen::testing
