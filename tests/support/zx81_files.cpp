// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/zx81_files.h"

#include <stdexcept>

namespace quillfen::testing {

Bytes MakeZX81Program(std::size_t length, std::uint16_t nxtlin) {
  if (length < 34) throw std::invalid_argument("MakeZX81Program: no room for NXTLIN");
  Bytes image(length);
  for (std::size_t k = 0; k < length; ++k)
    image[k] = static_cast<std::uint8_t>(k < 116 ? 0x00 : (k - 116) * 7 % 251);
  image[0] = 0x00;                                                    // VERSN
  StoreWord(image, 11, static_cast<std::uint16_t>(0x4009 + length));  // E_LINE
  StoreWord(image, 32, nxtlin);                                       // NXTLIN
  return image;
}

Bytes MakeZX81P81File(const Bytes& name, const Bytes& image) {
  Bytes file = name;
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

void StoreWord(Bytes& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::uint8_t>(value & 0xFF);
  bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace quillfen::testing
