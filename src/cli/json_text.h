// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillfen {

/// `text` as a JSON string literal.
std::string JsonString(const std::string& text);
std::string JsonBool(bool value);
std::string JsonOptionalBool(const std::optional<bool>& value);
/// ["a","b"]
std::string JsonStrings(const std::vector<std::string>& texts);

/// Builds {"key":value,...} in the order the members are added.
class JsonObject {
 public:
  JsonObject& Add(const std::string& key, const std::string& json_value) {
    text_.append(text_.empty() ? "{" : ",").append(JsonString(key)).append(":").append(json_value);
    return *this;
  }
  std::string Close() const { return text_.empty() ? "{}" : text_ + "}"; }

 private:
  std::string text_;
};

}  // namespace quillfen
