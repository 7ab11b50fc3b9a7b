// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/z80_format.h"

#include <algorithm>
#include <array>
#include <exception>
#include <optional>
#include <string>

#include "cartridge/bytes.h"
#include "cartridge/cartridge_maker.h"
#include "spectrum/z80_run_length.h"

namespace quillfen {
namespace {

constexpr std::uint8_t kFlagsMeaningOne = 0xFF;  // old writers: 255 stands for 1
constexpr std::uint8_t kFlagsRBit7 = 0x01;
constexpr std::uint8_t kFlagsCompressed = 0x20;
constexpr std::uint8_t kRLowBitsMask = 0x7F;
constexpr std::uint8_t kInterruptModeMask = 0x03;
constexpr std::uint8_t kBorderColourMask = 0x07;
constexpr std::uint8_t kInterface1RomPagedIn = 0xFF;
constexpr std::size_t kSoundChipRegisterCount = 16;
constexpr std::size_t kVersion2HeaderLength = 23;  // additional header bytes up to the sound chip
constexpr std::size_t kBlockHeaderLength = 3;      // data length (2), page number (1)
constexpr std::array<std::uint8_t, 4> kVersion1EndMarker = {0x00, 0xED, 0xED, 0x00};

// Sequential checked reads over the file content; every read past the end throws.
class ByteCursor {
 public:
  explicit ByteCursor(std::span<const std::uint8_t> data) : data_(data) {}

  std::uint8_t Byte() {
    const std::uint8_t value = ByteAt(data_, position_);
    position_ += 1;
    return value;
  }
  std::uint16_t Word() {
    const std::uint16_t value = WordAt(data_, position_);
    position_ += 2;
    return value;
  }
  // The word stored high byte first, as AF and AF' are in the main header.
  std::uint16_t HighFirstWord() {
    const std::uint8_t high = Byte();
    return static_cast<std::uint16_t>(high << 8 | Byte());
  }
  std::span<const std::uint8_t> Take(std::size_t length) {
    if (length > Remaining())
      ThrowError("ByteCursor::Take: " + std::to_string(length) + " bytes at offset " +
                 std::to_string(position_) + " run past the end of " +
                 std::to_string(data_.size()) + " bytes");
    const auto taken = data_.subspan(position_, length);
    position_ += length;
    return taken;
  }
  std::size_t Remaining() const { return data_.size() - position_; }
  std::span<const std::uint8_t> Rest() const { return data_.subspan(position_); }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t position_ = 0;
};

// The 30-byte main header in file order, each field stored as soon as it is read.
// Returns the compressed flag (meaningful for version 1 only).
bool ReadZ80MainHeader(ByteCursor& in, SnapshotState& state) {
  state.AF = in.HighFirstWord();
  state.BC = in.Word();
  state.HL = in.Word();
  state.PC = in.Word();
  state.SP = in.Word();
  state.I = in.Byte();
  state.R = in.Byte() & kRLowBitsMask;
  std::uint8_t flags = in.Byte();
  if (flags == kFlagsMeaningOne) flags = 1;
  if (flags & kFlagsRBit7) state.R |= 0x80;
  state.BorderColour = static_cast<std::int16_t>((flags >> 1) & kBorderColourMask);
  state.DE = in.Word();
  state.BCAlt = in.Word();
  state.DEAlt = in.Word();
  state.HLAlt = in.Word();
  state.AFAlt = in.HighFirstWord();
  state.IY = in.Word();
  state.IX = in.Word();
  state.InterruptsEnabled = in.Byte() != 0;
  in.Byte();  // IFF2: the cartridge restores IFF1 only
  state.InterruptMode = in.Byte() & kInterruptModeMask;
  return (flags & kFlagsCompressed) != 0;
}

// Reads as much of the additional header as its length L says, in steps that each stop once L
// bytes are consumed. False when the snapshot is not of a plain 48K machine.
bool ReadZ80AdditionalHeader(ByteCursor& in, SnapshotState& state) {
  const std::size_t length = in.Word();
  std::size_t consumed = 0;
  if (length > 0) {
    state.PC = in.Word();
    consumed = 2;
  }
  if (consumed < length) {
    const std::uint8_t hardware_mode = in.Byte();  // 0: 48K, 1: 48K with Interface 1
    consumed = 3;
    if (hardware_mode != 0 && hardware_mode != 1) return false;
  }
  if (consumed < length) {
    in.Byte();  // paging state
    consumed = 4;
  }
  if (consumed < length) {
    const bool interface1_rom_paged_in = in.Byte() == kInterface1RomPagedIn;
    consumed = 5;
    if (interface1_rom_paged_in) return false;
  }
  if (consumed < length) {
    in.Byte();  // emulation flags
    consumed = 6;
  }
  if (consumed < length) {
    in.Byte();  // last sound-chip register selected
    consumed = 7;
  }
  if (consumed < length) {
    in.Take(kSoundChipRegisterCount);
    consumed = kVersion2HeaderLength;
  }
  if (consumed < length) in.Take(length - kVersion2HeaderLength);  // rest of a version 3 header
  return true;
}

enum class PageUse { Used, Rejected, Ignored };

// Pages 8, 4 and 5 are the 48K RAM at 0x4000, 0x8000 and 0xC000; the ROM images and the other
// RAM banks of larger machines refuse the file; anything above page 10 is skipped.
PageUse ClassifyPage(std::uint8_t page) {
  if (page == 8 || page == 4 || page == 5) return PageUse::Used;
  if (page <= 10) return PageUse::Rejected;
  return PageUse::Ignored;
}

// Position of a used page in Memory: 0 for 0x4000, 1 for 0x8000, 2 for 0xC000.
std::size_t PageSlot(std::uint8_t page) { return page == 8 ? 0 : page == 4 ? 1 : 2; }

}  // namespace

bool DecodeZ80Version1Memory(std::span<const std::uint8_t> data, SnapshotState& state, Host& host) {
  try {
    state.Memory.clear();
    state.Memory.reserve(kSnapshotRamLength);
    // The marker is recognised only as the last four bytes, so expansion stops before them.
    const std::size_t loop_end =
        data.size() > kVersion1EndMarker.size() ? data.size() - kVersion1EndMarker.size() : 0;
    const std::size_t p =
        ExpandZ80RunLength(data, loop_end, kSnapshotRamLength, state.Memory, host);
    const auto tail = data.subspan(std::min(p, data.size()));
    const bool marker_closes_data = std::ranges::equal(tail, kVersion1EndMarker);
    return marker_closes_data && state.Memory.size() == kSnapshotRamLength;
  } catch (const std::exception&) {
    return false;
  }
}

bool ReadZ80MemoryPages(std::span<const std::uint8_t> data, SnapshotState& state, Host& host) {
  try {
    ByteCursor in(data);
    if (!ReadZ80AdditionalHeader(in, state)) return false;

    // A later block for the same page replaces the earlier one; only the final content counts.
    std::array<std::optional<Bytes>, 3> pages;
    // One or two bytes after the last block are too few for a block header and are ignored.
    while (in.Remaining() >= kBlockHeaderLength) {
      const std::uint16_t length = in.Word();
      const std::uint8_t page = in.Byte();
      const PageUse use = ClassifyPage(page);
      if (use == PageUse::Rejected) return false;
      const auto block =
          in.Take(length == kZ80UncompressedBlock ? kZ80PageLength : std::size_t{length});
      if (use == PageUse::Ignored) continue;

      Bytes content;
      if (length == kZ80UncompressedBlock) {
        content.assign(block.begin(), block.end());
      } else {
        content.reserve(kZ80PageLength);
        ExpandZ80RunLength(block, block.size(), kZ80PageLength, content, host);
      }
      pages[PageSlot(page)] = std::move(content);
    }

    for (const auto& content : pages)
      if (!content || content->size() != kZ80PageLength) return false;
    Bytes memory;
    memory.reserve(kSnapshotRamLength);
    for (const auto& content : pages) memory.insert(memory.end(), content->begin(), content->end());
    state.Memory = std::move(memory);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool ReadZ80Snapshot(std::span<const std::uint8_t> file, SnapshotState& state, Host& host) {
  try {
    ByteCursor in(file);
    const bool compressed = ReadZ80MainHeader(in, state);
    if (state.PC == 0) return ReadZ80MemoryPages(in.Rest(), state, host);
    if (compressed) return DecodeZ80Version1Memory(in.Rest(), state, host);
    // Uncompressed version 1: the RAM as it is; anything after it is never looked at.
    const auto ram = in.Take(kSnapshotRamLength);
    state.Memory.assign(ram.begin(), ram.end());
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool ReadZ80Snapshot(const std::filesystem::path& path, SnapshotState& state, Host& host) {
  try {
    Bytes file;
    if (!ReadWholeFile(file, path)) return false;
    return ReadZ80Snapshot(file, state, host);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quillfen
