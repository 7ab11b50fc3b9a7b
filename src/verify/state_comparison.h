// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cartridge/error.h"
#include "verify/boot_machine.h"

namespace quillfen {

/// Addresses low to top - 1 whose contents a check does not compare.
struct AddressRange {
  std::int32_t low = 0;
  std::int32_t top = 0;
  bool Contains(std::int32_t address) const { return address >= low && address < top; }
};

/// Collects the differences between an emulated end state and the expected one as lines such as
/// "AF is 0x1234, snapshot has 0x1244", where "snapshot has" is the source's phrase.
class StateComparison {
 public:
  explicit StateComparison(std::string source_phrase) : source_phrase_(std::move(source_phrase)) {}

  void CheckWord(std::string_view name, std::uint16_t actual, std::uint16_t expected);
  void CheckByte(std::string_view name, std::uint8_t actual, std::uint8_t expected);
  /// For small values shown in decimal: interrupt mode, IFF1, border colour.
  void CheckNumber(std::string_view name, int actual, int expected);
  /// Compares the bytes the processor reads from `first` onward with `expected`, skipping the
  /// addresses in `tolerated`; all differences become one line naming the first and the count.
  void CheckRam(const BootMachine& machine, std::uint16_t first,
                std::span<const std::uint8_t> expected,
                std::optional<AddressRange> tolerated = std::nullopt);
  /// A difference that is not a value comparison.
  void Add(std::string line) { lines_.push_back(std::move(line)); }

  std::vector<std::string> Lines() const { return lines_; }

 private:
  std::string source_phrase_;
  std::vector<std::string> lines_;
};

/// "0x12" (two digits); HexWord gives four.
std::string HexByte(std::uint32_t value);

/// "bank 1" or "the internal ROM": what the cartridge presents now.
std::string PresentedName(const BootMachine& machine);

/// The failure text of a run that did not arrive at `destination` within the T-state limit.
std::string NeverArrived(std::string_view destination, const BootMachine& machine);

/// "3.1 M T-states".
std::string MegaTStates(std::uint64_t t_states);

}  // namespace quillfen
