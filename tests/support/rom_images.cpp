// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/rom_images.h"

namespace quillfen::testing {

Bytes MakeRomImage(std::size_t last_used,
                   const std::vector<std::pair<std::size_t, std::uint8_t>>& fixed,
                   std::size_t length) {
  Bytes rom(length, 0xFF);
  std::uint32_t state = 0x12345678u + static_cast<std::uint32_t>(last_used);
  for (std::size_t i = 0; i <= last_used && i < length; ++i) {
    state = state * 1103515245u + 12345u;
    rom[i] = static_cast<std::uint8_t>((state >> 16) % 0xFF);  // never 0xFF
  }
  for (const auto& [offset, value] : fixed)
    if (offset < length) rom[offset] = value;
  return rom;
}

}  // namespace quillfen::testing
