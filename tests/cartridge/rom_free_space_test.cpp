// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/rom_free_space.h"

#include <gtest/gtest.h>

#include <tuple>

#include "cartridge/bytes.h"

namespace quillfen {
namespace {

// A 16384-byte image of 0xFF with `value` at `offset` (nothing stored when offset is past it).
Bytes FreeRomWith(std::size_t offset, std::uint8_t value, std::size_t length = 16384) {
  Bytes rom(length, 0xFF);
  if (offset < length) rom[offset] = value;
  return rom;
}

TEST(FindRomFreeSpaceTest, SearchesDownFromTheLastByteOfTheBank) {
  // Image, lowest offset searched, result.
  const std::tuple<const char*, Bytes, std::int32_t, std::int32_t> cases[] = {
      {"all free", FreeRomWith(0, 0xFF), 4095, 4096},
      {"last byte used", FreeRomWith(16383, 0x00), 4095, 16385},
      {"used at the lowest offset", FreeRomWith(4095, 0xFE), 4095, 4097},
      {"used below the lowest offset", FreeRomWith(4094, 0x01), 4095, 4096},
      {"one byte short", FreeRomWith(0, 0xFF, 16383), 8191, 16385},
      {"a byte past the bank is not searched", FreeRomWith(16384, 0x00, 16385), 8191, 8192}};
  for (const auto& [name, rom, lowest_offset, expected] : cases)
    EXPECT_EQ(FindRomFreeSpace(rom, lowest_offset), expected) << name;
}

}  // namespace
}  // namespace quillfen
