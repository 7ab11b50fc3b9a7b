// SPDX-License-Identifier: GPL-3.0-or-later
#include "tape/emulated_tape_capture.h"

namespace quillfen::tape {

CapturedTape EmulatedTapeCapture::Capture(std::span<const std::uint8_t> tape,
                                          std::span<const std::uint8_t> rom,
                                          const std::string& file_name) {
  TapeLoadOptions options = options_;
  options.file_name = file_name;
  TapeProgressCallback progress;
  if (progress_)
    progress = [this, &file_name](const TapeProgress& where) { progress_(file_name, where); };
  TapeLoadResult result = LoadTape(tape, rom, options, progress);
  if (!result.Loaded()) throw LoadRefusal(std::move(result.failure));
  CapturedTape captured;
  captured.state = std::move(result.state);
  for (const TapeBlock& block : result.blocks)
    captured.blocks.push_back({block.description, block.name});
  captured.pc = result.captured_pc;
  captured.stopped_at_address = result.stopped_at_address;
  return captured;
}

}  // namespace quillfen::tape
