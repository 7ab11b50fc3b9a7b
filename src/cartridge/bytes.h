// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cartridge/error.h"

namespace quillfen {

/// Every file content, ROM image, program image and cartridge image.
using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kBankSize = 0x4000;  // one cartridge bank, one ROM image

/// Byte at `offset`; throws quillfen::Error when it lies past the end.
inline std::uint8_t ByteAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
  if (offset >= bytes.size())
    ThrowError("ByteAt: offset " + std::to_string(offset) + " past the end of " +
               std::to_string(bytes.size()) + " bytes");
  return bytes[offset];
}

/// Little-endian word at `offset`; throws quillfen::Error when it runs past the end.
inline std::uint16_t WordAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 2)
    ThrowError("WordAt: offset " + std::to_string(offset) + " past the end of " +
               std::to_string(bytes.size()) + " bytes");
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

}  // namespace quillfen
