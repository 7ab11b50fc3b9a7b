// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cartridge/load_failure.h"
#include "spectrum/snapshot_state.h"
#include "tape/tape_signal.h"

namespace quillfen::tape {

struct TapeLoadOptions {
  std::string file_name;  // helps tell the tape format; may be ""
  /// Time the program runs on after the tape has ended.
  std::uint64_t settle_t_states = 2 * kSpectrumClock;
  /// Capture as soon as PC reaches this address once the tape plays.
  std::optional<std::uint16_t> stop_address;
  /// The longest the tape may play; a tape still playing then is refused.
  std::uint64_t limit_t_states = 20 * 60 * kSpectrumClock;
  /// From power-on to the first key of LOAD "": the ROM is in its editor by then.
  std::uint64_t boot_t_states = 3 * kSpectrumClock;
  /// Each key is held this long, then all keys are up this long before the next one.
  std::uint64_t key_hold_t_states = 6 * 69888;
  std::uint64_t key_gap_t_states = 10 * 69888;
  /// Runs the loaders' edge-waiting loops in one go (the same result, far sooner).
  bool skip_waiting_loops = true;
};

/// Where the tape stands, for a progress display.
struct TapeProgress {
  std::uint64_t position = 0;  // T-states played
  std::uint64_t length = 0;    // T-states the tape lasts
  std::size_t block = 0;       // index into the result's blocks
  std::string_view block_name;  // its header name, or its description
};
using TapeProgressCallback = std::function<void(const TapeProgress&)>;

struct TapeLoadResult {
  LoadFailure failure;  // kind kNone once loaded
  SnapshotState state;  // the machine as captured, at an instruction boundary
  std::vector<TapeBlock> blocks;
  std::uint16_t captured_pc = 0;
  bool stopped_at_address = false;  // captured at the stop address, not after settling
  std::uint64_t tape_start = 0;     // T-state (from power-on) at which PLAY was pressed
  std::uint64_t tape_length = 0;
  std::uint64_t captured_at = 0;  // T-state of the capture

  bool Loaded() const { return failure.kind == LoadFailureKind::kNone; }
};

/// Powers on a 48K Spectrum with `rom` (16 KB), types LOAD "" then ENTER on its keyboard, plays
/// `tape_file` into its EAR input with the tape's own timing and captures the machine once the
/// tape has ended and the program has run `settle_t_states` more, or at the stop address.
/// Refuses, saying why, an unreadable or empty tape, a tape still playing at the limit, a
/// program that pages memory as a 128K Spectrum does, a ROM of the wrong size, a tape on which
/// the Spectrum reports a loading error and one it never read (unless stopped at the address
/// first). `progress`
/// (may be empty) is called about once a second of Spectrum time while the tape plays.
TapeLoadResult LoadTape(std::span<const std::uint8_t> tape_file, std::span<const std::uint8_t> rom,
                        const TapeLoadOptions& options, const TapeProgressCallback& progress);

}  // namespace quillfen::tape
