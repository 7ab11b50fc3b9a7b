// SPDX-License-Identifier: GPL-3.0-or-later
#include "tape/tape_signal.h"

#include <algorithm>
#include <array>

#include "cartridge/load_failure.h"
#include "spectrum/libspectrum_session.h"

namespace quillfen::tape {
namespace {

constexpr std::size_t kHeaderLength = 19;  // flag, type, name, three words, checksum
constexpr std::size_t kNameOffset = 2;
constexpr std::size_t kNameLength = 10;
// Edges libspectrum may report without time passing (empty blocks in a loop) cannot stall the
// read: beyond this many the tape counts as playing for ever.
constexpr std::uint64_t kEdgesPerLimitTState = 64;
constexpr std::uint64_t kSpareEdges = 1'000'000;

[[noreturn]] void RefuseUnreadable(const std::string& what) {
  const std::string why = LastLibspectrumError();
  Refuse(LoadFailureKind::kUnreadableFormat,
         "libspectrum cannot " + what + (why.empty() ? "" : ": " + why));
}

/// The name in a standard header: ten characters, trailing spaces dropped, others shown as '?'.
std::string HeaderName(libspectrum_tape_block* block) {
  const auto type = libspectrum_tape_block_type(block);
  if (type != LIBSPECTRUM_TAPE_BLOCK_ROM && type != LIBSPECTRUM_TAPE_BLOCK_TURBO) return "";
  const std::span<const std::uint8_t> data(libspectrum_tape_block_data(block),
                                           libspectrum_tape_block_data_length(block));
  if (data.size() != kHeaderLength || data[0] != 0x00) return "";
  std::string name;
  for (const std::uint8_t c : data.subspan(kNameOffset, kNameLength))
    name += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}

TapeBlock DescribeBlock(libspectrum_tape_block* block) {
  TapeBlock described;
  std::array<char, 128> text{};
  if (libspectrum_tape_block_description(text.data(), text.size(), block) ==
      LIBSPECTRUM_ERROR_NONE)
    described.description = text.data();
  switch (libspectrum_tape_block_type(block)) {
    case LIBSPECTRUM_TAPE_BLOCK_ROM:
    case LIBSPECTRUM_TAPE_BLOCK_TURBO:
    case LIBSPECTRUM_TAPE_BLOCK_PURE_DATA:
    case LIBSPECTRUM_TAPE_BLOCK_RAW_DATA:
      described.data_length = libspectrum_tape_block_data_length(block);
      break;
    default:
      break;
  }
  described.name = HeaderName(block);
  return described;
}

std::size_t CurrentBlock(libspectrum_tape* tape) {
  int position = 0;
  if (libspectrum_tape_position(&position, tape) != LIBSPECTRUM_ERROR_NONE || position < 0)
    RefuseUnreadable("follow the tape");
  return static_cast<std::size_t>(position);
}

}  // namespace

std::size_t TapeSignal::BlockAt(std::uint64_t t) const {
  const auto after = std::upper_bound(segments_.begin(), segments_.end(), t,
                                      [](std::uint64_t at, const Segment& s) { return at < s.start; });
  return after == segments_.begin() ? 0 : std::prev(after)->block;
}

TapeSignal ReadTapeSignal(std::span<const std::uint8_t> file, const std::string& file_name,
                          std::uint64_t limit) {
  if (file.empty()) Refuse(LoadFailureKind::kEmptyFile, "the tape is empty");
  EnsureLibspectrum();
  ClearLibspectrumError();
  const char* name = file_name.empty() ? nullptr : file_name.c_str();

  // libspectrum unpacks gzip, bzip2 and zip files, even while only identifying them, so a small
  // packed file could claim any amount of memory: a packed tape is refused before that.
  libspectrum_id_t raw_type = LIBSPECTRUM_ID_UNKNOWN;
  libspectrum_class_t raw_class = LIBSPECTRUM_CLASS_UNKNOWN;
  if (libspectrum_identify_file_raw(&raw_type, name, file.data(), file.size()) ==
          LIBSPECTRUM_ERROR_NONE &&
      libspectrum_identify_class(&raw_class, raw_type) == LIBSPECTRUM_ERROR_NONE &&
      raw_class == LIBSPECTRUM_CLASS_COMPRESSED)
    Refuse(LoadFailureKind::kUnreadableFormat,
           "a compressed file: unpack it, then load the tape inside");

  // TAP files carry no signature: what libspectrum does not recognise is read as one.
  libspectrum_id_t type = LIBSPECTRUM_ID_UNKNOWN;
  if (libspectrum_identify_file(&type, name, file.data(), file.size()) != LIBSPECTRUM_ERROR_NONE)
    RefuseUnreadable("identify the file");
  libspectrum_class_t kind = LIBSPECTRUM_CLASS_UNKNOWN;
  if (type != LIBSPECTRUM_ID_UNKNOWN &&
      libspectrum_identify_class(&kind, type) == LIBSPECTRUM_ERROR_NONE &&
      kind != LIBSPECTRUM_CLASS_TAPE && kind != LIBSPECTRUM_CLASS_UNKNOWN)
    Refuse(LoadFailureKind::kUnreadableFormat, "not a tape file");
  if (kind != LIBSPECTRUM_CLASS_TAPE) type = LIBSPECTRUM_ID_TAPE_TAP;

  TapeHandle tape(libspectrum_tape_alloc());
  if (libspectrum_tape_read(tape.get(), file.data(), file.size(), type, name) !=
      LIBSPECTRUM_ERROR_NONE)
    RefuseUnreadable("read the tape");
  if (!libspectrum_tape_present(tape.get()))
    Refuse(LoadFailureKind::kEmptyFile, "the tape holds no blocks");

  TapeSignal signal;
  libspectrum_tape_iterator it = nullptr;
  for (auto* block = libspectrum_tape_iterator_init(&it, tape.get()); block != nullptr;
       block = libspectrum_tape_iterator_next(&it))
    signal.blocks_.push_back(DescribeBlock(block));

  const auto note_block = [&signal](std::uint64_t at, std::size_t block) {
    if (block >= signal.blocks_.size()) return;
    signal.segments_.push_back({at, block});
    signal.blocks_[block].start = std::min(signal.blocks_[block].start, at);
  };
  note_block(0, CurrentBlock(tape.get()));

  const std::uint64_t edge_limit = limit / kEdgesPerLimitTState + kSpareEdges;
  std::uint64_t t = 0;
  bool level = false;
  for (std::uint64_t edges = 0; t <= limit && edges < edge_limit; ++edges) {
    libspectrum_dword length = 0;
    int flags = 0;
    if (libspectrum_tape_get_next_edge(&length, &flags, tape.get()) != LIBSPECTRUM_ERROR_NONE)
      RefuseUnreadable("play the tape");
    t += length;
    bool next = level;
    if (flags & LIBSPECTRUM_TAPE_FLAGS_LEVEL_LOW)
      next = false;
    else if (flags & LIBSPECTRUM_TAPE_FLAGS_LEVEL_HIGH)
      next = true;
    else if (!(flags & LIBSPECTRUM_TAPE_FLAGS_NO_EDGE))
      next = !level;
    if (next != level) signal.changes_.push_back(t);
    level = next;
    if (flags & (LIBSPECTRUM_TAPE_FLAGS_TAPE | LIBSPECTRUM_TAPE_FLAGS_STOP48)) {
      signal.ends_ = true;
      break;
    }
    if (flags & LIBSPECTRUM_TAPE_FLAGS_BLOCK) note_block(t, CurrentBlock(tape.get()));
  }
  signal.length_ = t;
  if (signal.length_ == 0)
    Refuse(LoadFailureKind::kEmptyFile, "the tape holds no signal");
  return signal;
}

}  // namespace quillfen::tape
