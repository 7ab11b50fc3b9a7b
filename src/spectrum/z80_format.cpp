// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/z80_format.h"

#include <algorithm>
#include <array>
#include <exception>
#include <optional>
#include <string>

#include "cartridge/bytes.h"
#include "cartridge/cartridge_maker.h"
#include "cartridge/load_failure.h"
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
constexpr std::size_t kZ80MainHeaderLength = 30;
constexpr std::size_t kBlockHeaderLength = 3;  // data length (2), page number (1)
constexpr std::array<std::uint8_t, 4> kVersion1EndMarker = {0x00, 0xED, 0xED, 0x00};

// Sequential checked reads over the file content; a read past the end refuses the file.
class ByteCursor {
 public:
  // `base`: the file offset of data[0], for the messages.
  explicit ByteCursor(std::span<const std::uint8_t> data, std::size_t base = 0)
      : data_(data), base_(base) {}

  std::uint8_t Byte() { return Take(1)[0]; }
  std::uint16_t Word() {
    const std::uint8_t low = Byte();
    return static_cast<std::uint16_t>(Byte() << 8 | low);
  }
  // The word stored high byte first, as AF and AF' are in the main header.
  std::uint16_t HighFirstWord() {
    const std::uint8_t high = Byte();
    return static_cast<std::uint16_t>(high << 8 | Byte());
  }
  std::span<const std::uint8_t> Take(std::size_t length) {
    if (length > Remaining())
      Refuse(LoadFailureKind::kTruncated,
             "truncated: the file ends at offset " + std::to_string(base_ + data_.size()) + ", " +
                 std::to_string(length - Remaining()) +
                 (length - Remaining() == 1 ? " byte short" : " bytes short"));
    const auto taken = data_.subspan(position_, length);
    position_ += length;
    return taken;
  }
  std::size_t Remaining() const { return data_.size() - position_; }
  std::span<const std::uint8_t> Rest() const { return data_.subspan(position_); }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t base_;
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

// The refusal of a snapshot of another machine (hardware mode `mode` in a header of `length`).
[[noreturn]] void RefuseHardwareMode(std::uint8_t mode, std::size_t length) {
  // Version 2 (header length 23) numbers the 128K as 3, version 3 as 4; 5 and 6 are 128K too.
  const bool is_128k = length == 23 ? mode == 3 || mode == 4 : mode >= 4 && mode <= 6;
  Refuse(LoadFailureKind::kNot48KSnapshot,
         std::string(is_128k ? "128K snapshot" : "snapshot of another machine") +
             " (hardware mode " + std::to_string(mode) + "): only 48K snapshots can be converted");
}

// Reads as much of the additional header as its length L says, in steps that each stop once L
// bytes are consumed. Refuses a snapshot that is not of a plain 48K machine.
void ReadZ80AdditionalHeader(ByteCursor& in, SnapshotState& state) {
  const std::size_t length = in.Word();
  std::size_t consumed = 0;
  if (length > 0) {
    state.PC = in.Word();
    consumed = 2;
  }
  if (consumed < length) {
    const std::uint8_t hardware_mode = in.Byte();  // 0: 48K, 1: 48K with Interface 1
    consumed = 3;
    if (hardware_mode != 0 && hardware_mode != 1) RefuseHardwareMode(hardware_mode, length);
  }
  if (consumed < length) {
    in.Byte();  // paging state
    consumed = 4;
  }
  if (consumed < length) {
    const bool interface1_rom_paged_in = in.Byte() == kInterface1RomPagedIn;
    consumed = 5;
    if (interface1_rom_paged_in)
      Refuse(LoadFailureKind::kNot48KSnapshot,
             "the Interface 1 ROM is paged in: only snapshots running the Spectrum's own ROM can "
             "be converted");
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

void DecodeZ80Version1Memory(std::span<const std::uint8_t> data, SnapshotState& state, Host& host) {
  state.Memory.clear();
  state.Memory.reserve(kSnapshotRamLength);
  // The marker is recognised only as the last four bytes, so expansion stops before them.
  const std::size_t loop_end =
      data.size() > kVersion1EndMarker.size() ? data.size() - kVersion1EndMarker.size() : 0;
  const std::size_t p = ExpandZ80RunLength(data, loop_end, kSnapshotRamLength, state.Memory, host);
  const auto tail = data.subspan(std::min(p, data.size()));
  if (!std::ranges::equal(tail, kVersion1EndMarker))
    Refuse(LoadFailureKind::kBadCompressedData,
           "compressed version 1 data does not end in its marker 00 ED ED 00");
  if (state.Memory.size() != kSnapshotRamLength)
    Refuse(LoadFailureKind::kBadCompressedData,
           "compressed version 1 data expands to " + std::to_string(state.Memory.size()) +
               " bytes, not " + std::to_string(kSnapshotRamLength));
}

void ReadZ80MemoryPages(std::span<const std::uint8_t> data, SnapshotState& state, Host& host) {
  ByteCursor in(data, kZ80MainHeaderLength);
  ReadZ80AdditionalHeader(in, state);

  // A later block for the same page replaces the earlier one; only the final content counts.
  std::array<std::optional<Bytes>, 3> pages;
  // One or two bytes after the last block are too few for a block header and are ignored.
  while (in.Remaining() >= kBlockHeaderLength) {
    const std::uint16_t length = in.Word();
    const std::uint8_t page = in.Byte();
    const PageUse use = ClassifyPage(page);
    if (use == PageUse::Rejected)
      Refuse(LoadFailureKind::kNot48KSnapshot,
             "page " + std::to_string(page) +
                 " belongs to another machine's memory: only 48K snapshots can be converted");
    const std::size_t stored = length == kZ80UncompressedBlock ? kZ80PageLength : length;
    if (stored > in.Remaining())
      Refuse(LoadFailureKind::kTruncated, "truncated: page " + std::to_string(page) + " declares " +
                                              std::to_string(stored) + " bytes, " +
                                              std::to_string(in.Remaining()) + " remain");
    const auto block = in.Take(stored);
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

  // Only the final content of each page is judged: a bad block replaced later does not count.
  constexpr std::array<int, 3> kPageOfSlot = {8, 4, 5};
  for (std::size_t slot = 0; slot < pages.size(); ++slot) {
    const std::string page = std::to_string(kPageOfSlot[slot]);
    if (!pages[slot])
      Refuse(LoadFailureKind::kIncompleteRam,
             "page " + page + " is missing: the 48 KB of RAM are not all there");
    if (pages[slot]->size() != kZ80PageLength)
      Refuse(LoadFailureKind::kBadCompressedData,
             "page " + page + " expands to " + std::to_string(pages[slot]->size()) +
                 " bytes, not " + std::to_string(kZ80PageLength));
  }
  Bytes memory;
  memory.reserve(kSnapshotRamLength);
  for (const auto& content : pages) memory.insert(memory.end(), content->begin(), content->end());
  state.Memory = std::move(memory);
}

void ParseZ80Snapshot(std::span<const std::uint8_t> file, SnapshotState& state, Host& host) {
  ByteCursor in(file);
  const bool compressed = ReadZ80MainHeader(in, state);
  if (state.PC == 0) return ReadZ80MemoryPages(in.Rest(), state, host);
  if (compressed) return DecodeZ80Version1Memory(in.Rest(), state, host);
  // Uncompressed version 1: the RAM as it is; anything after it is never looked at.
  const auto ram = in.Take(kSnapshotRamLength);
  state.Memory.assign(ram.begin(), ram.end());
}

bool ReadZ80Snapshot(std::span<const std::uint8_t> file, SnapshotState& state, Host& host) {
  try {
    ParseZ80Snapshot(file, state, host);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quillfen
