// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/error.h"

namespace quillfen {

void ThrowError(const std::string& message) { throw Error(message); }

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
