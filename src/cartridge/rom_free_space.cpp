// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/rom_free_space.h"

#include <cstddef>

#include "cartridge/bytes.h"

namespace quillfen {

std::int32_t FindRomFreeSpace(std::span<const std::uint8_t> rom, std::int32_t lowest_offset) {
  for (std::int32_t p = static_cast<std::int32_t>(kBankSize) - 1; p >= lowest_offset; --p) {
    const auto offset = static_cast<std::size_t>(p);
    if (offset >= rom.size() || rom[offset] != 0xFF) return p + 2;
  }
  return lowest_offset + 1;
}

}  // namespace quillfen
