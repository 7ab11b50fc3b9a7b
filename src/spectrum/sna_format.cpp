// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/sna_format.h"

#include <exception>

#include "cartridge/bytes.h"
#include "cartridge/cartridge_maker.h"
#include "cartridge/load_failure.h"

namespace quillfen {
namespace {

constexpr std::uint8_t kSnaInterruptsEnabledBit = 0x04;  // IFF2 as the format stores it
constexpr std::uint8_t kBorderColourMask = 0x07;

// Header fields in file order; each is stored as soon as it has been read, so a file that ends
// inside the header leaves the fields before that point in the record.
[[noreturn]] void RefuseShortFile(std::size_t size) {
  Refuse(LoadFailureKind::kTruncated, "truncated: " + std::to_string(size) +
                                          " bytes, an SNA snapshot is " +
                                          std::to_string(kSnaFileLength));
}

std::uint8_t HeaderByte(std::span<const std::uint8_t> file, std::size_t offset) {
  if (offset >= file.size()) RefuseShortFile(file.size());
  return file[offset];
}

std::uint16_t HeaderWord(std::span<const std::uint8_t> file, std::size_t offset) {
  const std::uint8_t low = HeaderByte(file, offset);
  return static_cast<std::uint16_t>(HeaderByte(file, offset + 1) << 8 | low);
}

void ReadSnaHeader(std::span<const std::uint8_t> file, SnapshotState& state) {
  state.I = HeaderByte(file, 0);
  state.HLAlt = HeaderWord(file, 1);
  state.DEAlt = HeaderWord(file, 3);
  state.BCAlt = HeaderWord(file, 5);
  state.AFAlt = HeaderWord(file, 7);  // F' first, then A'
  state.HL = HeaderWord(file, 9);
  state.DE = HeaderWord(file, 11);
  state.BC = HeaderWord(file, 13);
  state.IY = HeaderWord(file, 15);
  state.IX = HeaderWord(file, 17);
  state.InterruptsEnabled = (HeaderByte(file, 19) & kSnaInterruptsEnabledBit) != 0;
  state.R = HeaderByte(file, 20);
  state.AF = HeaderWord(file, 21);  // F first, then A
  state.SP = HeaderWord(file, 23);
  state.InterruptMode = HeaderByte(file, 25);  // unmasked: the start-up code decides what it means
  state.BorderColour = static_cast<std::int16_t>(HeaderByte(file, 26) & kBorderColourMask);
}

}  // namespace

void ParseSnaSnapshot(std::span<const std::uint8_t> file, SnapshotState& state) {
  ReadSnaHeader(file, state);
  // 128K snapshots and anything else longer are refused only now, after the header is stored.
  if (file.size() > kSnaLongestFileLength)
    Refuse(LoadFailureKind::kWrongFileLength,
           "an SNA of " + std::to_string(file.size()) + " bytes: a 48K snapshot is " +
               std::to_string(kSnaFileLength) + " (a 128K one is longer)");
  if (file.size() < kSnaFileLength) RefuseShortFile(file.size());
  const auto ram = file.subspan(kSnaHeaderLength, kSnapshotRamLength);
  state.Memory.assign(ram.begin(), ram.end());
}

bool ReadSnaSnapshot(std::span<const std::uint8_t> file, SnapshotState& state) {
  try {
    ParseSnaSnapshot(file, state);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quillfen
