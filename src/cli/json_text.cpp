// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/json_text.h"

#include <cstdio>

namespace quillfen {

std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
      quoted += escaped;
    } else {
      quoted += static_cast<char>(c);
    }
  }
  return quoted + "\"";
}

std::string JsonBool(bool value) { return value ? "true" : "false"; }

std::string JsonOptionalBool(const std::optional<bool>& value) {
  return value ? JsonBool(*value) : "null";
}

std::string JsonStrings(const std::vector<std::string>& texts) {
  std::string list;
  for (const std::string& text : texts)
    list.append(list.empty() ? "" : ",").append(JsonString(text));
  return "[" + list + "]";
}

}  // namespace quillfen
