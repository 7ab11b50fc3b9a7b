// SPDX-License-Identifier: GPL-3.0-or-later
#include "tape/emulated_tape_capture.h"

#include <algorithm>

namespace quillfen::tape {

CapturedTape EmulatedTapeCapture::Capture(std::span<const std::uint8_t> tape,
                                          std::span<const std::uint8_t> rom,
                                          const std::string& file_name) {
  // The options are fixed for this object, so the same tape, ROM and name capture the same state.
  for (const Kept& kept : kept_)
    if (kept.file_name == file_name && std::ranges::equal(kept.tape, tape) &&
        std::ranges::equal(kept.rom, rom))
      return kept.captured;

  TapeLoadOptions options = options_;
  options.file_name = file_name;
  TapeProgressCallback progress;
  if (progress_)
    progress = [this, &file_name](const TapeProgress& where) { progress_(file_name, where); };
  ++played_;
  TapeLoadResult result = LoadTape(tape, rom, options, progress);
  if (!result.Loaded()) throw LoadRefusal(std::move(result.failure));
  CapturedTape captured;
  captured.state = std::move(result.state);
  for (const TapeBlock& block : result.blocks)
    captured.blocks.push_back({block.description, block.name});
  captured.pc = result.captured_pc;
  captured.stopped_at_address = result.stopped_at_address;

  if (kept_.size() == kKeptCaptures) kept_.pop_front();
  kept_.push_back({Bytes(tape.begin(), tape.end()), Bytes(rom.begin(), rom.end()), file_name,
                   captured});
  return captured;
}

}  // namespace quillfen::tape
