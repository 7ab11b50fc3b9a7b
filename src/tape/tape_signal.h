// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace quillfen::tape {

inline constexpr std::uint64_t kSpectrumClock = 3'500'000;  // T-states per second
inline constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

/// One block of a tape file as libspectrum reads it.
struct TapeBlock {
  std::string description;      // libspectrum's: "Standard Speed Data", "Turbo Speed Data", ...
  std::string name;             // the file name a standard header block carries, else ""
  std::size_t data_length = 0;  // the bytes it carries, flag and checksum included
  std::uint64_t start = kNever;  // T-states from PLAY to its first play; kNever: never played

  bool operator==(const TapeBlock&) const = default;
};

/// The EAR signal of a tape from the moment PLAY is pressed: the level starts low and changes at
/// each time (T-states from PLAY) in Changes(). The tape stops at its end, or where a TZX block
/// stops it on a 48K Spectrum (what follows is for a 128K machine, or later loads the user starts):
/// plain "stop the tape" blocks do not stop it, as if PLAY were pressed again at once.
class TapeSignal {
 public:
  std::span<const TapeBlock> Blocks() const { return blocks_; }
  std::span<const std::uint64_t> Changes() const { return changes_; }
  /// False when the tape was still playing at the read limit (longer, or looping for ever).
  bool Ends() const { return ends_; }
  /// When the tape ends, or the read limit.
  std::uint64_t Length() const { return length_; }
  /// The block playing at `t`, an index into Blocks().
  std::size_t BlockAt(std::uint64_t t) const;

 private:
  friend TapeSignal ReadTapeSignal(std::span<const std::uint8_t>, const std::string&,
                                   std::uint64_t);
  struct Segment {
    std::uint64_t start;
    std::size_t block;
  };
  std::vector<TapeBlock> blocks_;
  std::vector<std::uint64_t> changes_;
  std::vector<Segment> segments_;  // which block plays from when, in time order
  std::uint64_t length_ = 0;
  bool ends_ = false;
};

/// Plays `file` (a TAP, TZX, PZX or CSW tape; `file_name`, which may be "", helps tell which) up
/// to `limit` T-states. Refuses, saying why, an empty tape, a file that is not a tape and one that
/// libspectrum cannot read (with its error text).
TapeSignal ReadTapeSignal(std::span<const std::uint8_t> file, const std::string& file_name,
                          std::uint64_t limit);

/// Follows a TapeSignal forwards in time.
class TapePlayer {
 public:
  explicit TapePlayer(const TapeSignal& signal) : changes_(signal.Changes()) {}
  /// The level at `t`, which never goes back: true is high.
  bool LevelAt(std::uint64_t t) {
    while (next_ < changes_.size() && changes_[next_] <= t) ++next_;
    return (next_ & 1) != 0;
  }
  /// The first change after the time last asked for, or kNever.
  std::uint64_t NextChange() const { return next_ < changes_.size() ? changes_[next_] : kNever; }

 private:
  std::span<const std::uint64_t> changes_;
  std::size_t next_ = 0;
};

}  // namespace quillfen::tape
