// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify/state_comparison.h"

#include <cstdio>

namespace quillfen {

std::string HexByte(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value));
  return text;
}

std::string MegaTStates(std::uint64_t t_states) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f M T-states", static_cast<double>(t_states) / 1e6);
  return text;
}

std::string PresentedName(const BootMachine& machine) {
  const int bank = machine.PresentedBank();
  if (bank == BootMachine::kInternalRom) return "the internal ROM";
  return "bank " + std::to_string(bank);
}

std::string NeverArrived(std::string_view destination, const BootMachine& machine) {
  return "never reached " + std::string(destination) + " within " + MegaTStates(machine.TStates()) +
         " (stopped at PC " + HexWord(machine.PC()) + " with " + PresentedName(machine) +
         " presented)";
}

void StateComparison::CheckWord(std::string_view name, std::uint16_t actual,
                                std::uint16_t expected) {
  if (actual != expected)
    Add(std::string(name) + " is " + HexWord(actual) + ", " + source_phrase_ + " " +
        HexWord(expected));
}

void StateComparison::CheckByte(std::string_view name, std::uint8_t actual, std::uint8_t expected) {
  if (actual != expected)
    Add(std::string(name) + " is " + HexByte(actual) + ", " + source_phrase_ + " " +
        HexByte(expected));
}

void StateComparison::CheckNumber(std::string_view name, int actual, int expected) {
  if (actual != expected)
    Add(std::string(name) + " is " + std::to_string(actual) + ", " + source_phrase_ + " " +
        std::to_string(expected));
}

void StateComparison::CheckRam(const BootMachine& machine, std::uint16_t first,
                               std::span<const std::uint8_t> expected,
                               std::optional<AddressRange> tolerated) {
  std::size_t differing = 0;
  std::int32_t first_difference = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::int32_t address = first + static_cast<std::int32_t>(i);
    if (address > 0xFFFF) ThrowError("CheckRam: " + std::to_string(address) + " is past 0xFFFF");
    if (tolerated && tolerated->Contains(address)) continue;
    if (machine.Peek(static_cast<std::uint16_t>(address)) == expected[i]) continue;
    if (differing++ == 0) first_difference = address;
  }
  if (differing == 0) return;
  const auto at = static_cast<std::uint16_t>(first_difference);
  Add("RAM differs at " + std::to_string(differing) + (differing == 1 ? " address" : " addresses") +
      ", first " + HexWord(at) + " (is " + HexByte(machine.Peek(at)) + ", " + source_phrase_ + " " +
      HexByte(expected[static_cast<std::size_t>(first_difference - first)]) + ")");
}

}  // namespace quillfen
