// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "cartridge/bytes.h"

namespace quillfen::testing {

/// A stand-in ROM image of `length` bytes: pseudo-random bytes other than 0xFF at offsets 0 to
/// `last_used` (so the free space starts at last_used + 2), 0xFF from there to the end, then each
/// (offset, value) of `fixed` stored over it (for the bytes a start-up code waits for).
Bytes MakeRomImage(std::size_t last_used,
                   const std::vector<std::pair<std::size_t, std::uint8_t>>& fixed = {},
                   std::size_t length = kBankSize);

}  // namespace quillfen::testing
