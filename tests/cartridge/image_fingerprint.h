// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace quillfen::testing {

/// A 64-bit fingerprint of a cartridge image (FNV-1a over its bytes, the length mixed in last).
/// The boot tables of tests/verify (ZX81, ZX80) and the Spectrum layout tests keep the
/// fingerprints of images known to be right, on each side of each layout step, so that any byte
/// a change moves shows; the other tests say where.
inline std::uint64_t ImageFingerprint(std::span<const std::uint8_t> image) {
  std::uint64_t hash = 0xCBF29CE484222325;
  for (const std::uint8_t byte : image) hash = (hash ^ byte) * 0x100000001B3;
  return hash ^ image.size();
}

}  // namespace quillfen::testing
