// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/sna_format.h"

#include <exception>

#include "cartridge/bytes.h"
#include "cartridge/cartridge_maker.h"

namespace quillfen {
namespace {

constexpr std::uint8_t kSnaInterruptsEnabledBit = 0x04;  // IFF2 as the format stores it
constexpr std::uint8_t kBorderColourMask = 0x07;

// Header fields in file order; each is stored as soon as it has been read, so a file that ends
// inside the header leaves the fields before that point in the record.
void ReadSnaHeader(std::span<const std::uint8_t> file, SnapshotState& state) {
  state.I = ByteAt(file, 0);
  state.HLAlt = WordAt(file, 1);
  state.DEAlt = WordAt(file, 3);
  state.BCAlt = WordAt(file, 5);
  state.AFAlt = WordAt(file, 7);  // F' first, then A'
  state.HL = WordAt(file, 9);
  state.DE = WordAt(file, 11);
  state.BC = WordAt(file, 13);
  state.IY = WordAt(file, 15);
  state.IX = WordAt(file, 17);
  state.InterruptsEnabled = (ByteAt(file, 19) & kSnaInterruptsEnabledBit) != 0;
  state.R = ByteAt(file, 20);
  state.AF = WordAt(file, 21);  // F first, then A
  state.SP = WordAt(file, 23);
  state.InterruptMode = ByteAt(file, 25);  // unmasked: the start-up code decides what it means
  state.BorderColour = static_cast<std::int16_t>(ByteAt(file, 26) & kBorderColourMask);
}

}  // namespace

bool ReadSnaSnapshot(std::span<const std::uint8_t> file, SnapshotState& state) {
  try {
    ReadSnaHeader(file, state);
    // 128K snapshots and anything else longer are refused only now, after the header is stored.
    if (file.size() > kSnaLongestFileLength) return false;
    if (file.size() < kSnaFileLength) return false;
    const auto ram = file.subspan(kSnaHeaderLength, kSnapshotRamLength);
    state.Memory.assign(ram.begin(), ram.end());
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool ReadSnaSnapshot(const std::filesystem::path& path, SnapshotState& state) {
  try {
    Bytes file;
    if (!ReadWholeFile(file, path)) return false;
    return ReadSnaSnapshot(file, state);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quillfen
