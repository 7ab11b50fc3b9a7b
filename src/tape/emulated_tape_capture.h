// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <span>
#include <string>

#include "spectrum/tape_capture.h"
#include "tape/tape_loader.h"

namespace quillfen::tape {

/// The TapeCapture the front ends install: LoadTape with their options, reporting its progress.
class EmulatedTapeCapture final : public TapeCapture {
 public:
  /// Called while a tape plays with the file name given to Capture and where the tape stands.
  using Progress = std::function<void(const std::string& file_name, const TapeProgress&)>;

  /// `options.file_name` is replaced by each Capture's own.
  EmulatedTapeCapture(TapeLoadOptions options, Progress progress)
      : options_(std::move(options)), progress_(std::move(progress)) {}

  /// LoadTape's capture, or a LoadRefusal with its reason.
  CapturedTape Capture(std::span<const std::uint8_t> tape, std::span<const std::uint8_t> rom,
                       const std::string& file_name) override;

 private:
  TapeLoadOptions options_;
  Progress progress_;
};

}  // namespace quillfen::tape
