// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace quillfen {

/// Where the free space (the trailing 0xFF bytes) of a ROM image starts, plus one: searching
/// down from offset 16383 to `lowest_offset`, the first byte that is not 0xFF, or lies past the
/// end of a short image, at offset p gives p + 2; an image free all the way down gives
/// `lowest_offset` + 1.
std::int32_t FindRomFreeSpace(std::span<const std::uint8_t> rom, std::int32_t lowest_offset);

}  // namespace quillfen
