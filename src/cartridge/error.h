// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quillfen {

/// A run-time failure inside a converter: a malformed fragment, a value out of range, a read
/// past the end of a byte string. Readers and builders turn it into `false`; the generate entry
/// points let it pass to the generation driver.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Throws quillfen::Error with `message`, which names the function and the offending value.
[[noreturn]] void ThrowError(const std::string& message);

/// "0x1234": four hexadecimal digits, as addresses appear in messages.
std::string HexWord(std::uint32_t value);

/// `text` (an error's message) on one line: each run of line breaks becomes one space.
std::string OneLine(const std::string& text);

}  // namespace quillfen
