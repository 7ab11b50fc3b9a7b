// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/error.h"

#include <cstdio>

namespace quillfen {

void ThrowError(const std::string& message) { throw Error(message); }

std::string HexWord(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
  return text;
}

std::string OneLine(const std::string& text) {
  std::string line;
  bool in_break = false;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      if (!in_break) line += ' ';
      in_break = true;
    } else {
      line += c;
      in_break = false;
    }
  }
  return line;
}

}  // namespace quillfen
