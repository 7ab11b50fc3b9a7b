// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "cartridge/bytes.h"

namespace quillfen::testing {

/// A ZX81 program image (ZX81 memory from 0x4009) of `length` bytes, at least 34: E_LINE =
/// 0x4009 + length, NXTLIN = `nxtlin`, and from offset 116 a program area whose bytes follow a
/// pattern that differs at every offset within 251 bytes, starting with 0x00 (a line number's
/// high byte), so copies of it can be checked byte for byte.
Bytes MakeZX81Program(std::size_t length, std::uint16_t nxtlin = 0);

/// A .P81 file: `name` as given (its last byte should have bit 7 set) followed by `image`.
Bytes MakeZX81P81File(const Bytes& name, const Bytes& image);

/// Stores `value` low byte first at `offset` of `bytes`.
void StoreWord(Bytes& bytes, std::size_t offset, std::uint16_t value);

}  // namespace quillfen::testing
