// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <span>
#include <string>

#include "cartridge/bytes.h"
#include "spectrum/tape_capture.h"
#include "tape/tape_loader.h"

namespace quillfen::tape {

/// The TapeCapture the front ends install: LoadTape with their options, reporting its progress.
/// It keeps what recent tapes captured, so a tape loaded again (a batch reloads an input that a
/// later one replaced; the window's user picks it again) is not played again.
class EmulatedTapeCapture final : public TapeCapture {
 public:
  /// Called while a tape plays with the file name given to Capture and where the tape stands.
  using Progress = std::function<void(const std::string& file_name, const TapeProgress&)>;

  /// How many captures are kept; the oldest goes first.
  static constexpr std::size_t kKeptCaptures = 64;

  /// `options.file_name` is replaced by each Capture's own.
  EmulatedTapeCapture(TapeLoadOptions options, Progress progress)
      : options_(std::move(options)), progress_(std::move(progress)) {}

  /// LoadTape's capture, or a LoadRefusal with its reason.
  CapturedTape Capture(std::span<const std::uint8_t> tape, std::span<const std::uint8_t> rom,
                       const std::string& file_name) override;

  /// How many times a tape was played (not taken from the kept captures).
  std::size_t TapesPlayed() const { return played_; }

 private:
  struct Kept {
    Bytes tape, rom;
    std::string file_name;  // it may decide the format
    CapturedTape captured;
  };

  TapeLoadOptions options_;
  Progress progress_;
  std::deque<Kept> kept_;
  std::size_t played_ = 0;
};

}  // namespace quillfen::tape
