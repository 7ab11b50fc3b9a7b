// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace quillfen::testing {

/// FNV-1a over a cartridge image, its length mixed in last: any byte a change moves shows.
inline std::uint64_t ImageFingerprint(std::span<const std::uint8_t> image) {
  std::uint64_t hash = 0xCBF29CE484222325;
  for (const std::uint8_t byte : image) hash = (hash ^ byte) * 0x100000001B3;
  return hash ^ image.size();
}

}  // namespace quillfen::testing
