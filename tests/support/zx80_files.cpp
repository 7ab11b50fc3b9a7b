// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/zx80_files.h"

namespace quillfen::testing {

Bytes MakeZX80ProgramWithELine(std::uint16_t e_line, std::size_t file_length) {
  Bytes image(file_length);
  std::uint32_t state = 0x2468ACE1u + static_cast<std::uint32_t>(file_length);
  for (auto& byte : image) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  if (file_length > 11) {
    image[10] = static_cast<std::uint8_t>(e_line & 0xFF);
    image[11] = static_cast<std::uint8_t>(e_line >> 8);
  }
  return image;
}

Bytes MakeZX80Program(std::size_t length, std::size_t trailing, std::uint32_t seed) {
  Bytes image =
      MakeZX80ProgramWithELine(static_cast<std::uint16_t>(0x4000 + length), length + trailing);
  std::uint32_t state = seed;
  for (std::size_t i = 12; i < image.size(); ++i) {
    state = state * 1103515245u + 12345u;
    image[i] = static_cast<std::uint8_t>(state >> 16);
  }
  return image;
}

}  // namespace quillfen::testing
