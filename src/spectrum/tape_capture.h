// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "spectrum/snapshot_state.h"

namespace quillfen {

/// One block of a loaded tape, as inspection shows it.
struct TapeBlockName {
  std::string description;  // "Standard Speed Data", "Turbo Speed Data", ...
  std::string name;         // the file name a standard header carries, else ""

  bool operator==(const TapeBlockName&) const = default;
};

/// What loading a tape left: the machine as captured and what led there.
struct CapturedTape {
  SnapshotState state;
  std::vector<TapeBlockName> blocks;
  std::uint16_t pc = 0;             // the program counter at the capture
  bool stopped_at_address = false;  // captured at the stop address, not after settling
};

/// Loads a Spectrum tape into a 48K Spectrum and captures it. The core only calls it: the
/// emulation lives outside the core (src/tape), installed by the front end that owns it.
class TapeCapture {
 public:
  virtual ~TapeCapture() = default;
  /// Plays `tape` (the whole file) on a Spectrum running `rom` (16384 bytes). `file_name` helps
  /// tell the tape format. Throws LoadRefusal saying why a tape cannot be loaded.
  virtual CapturedTape Capture(std::span<const std::uint8_t> tape,
                               std::span<const std::uint8_t> rom, const std::string& file_name) = 0;
};

namespace spectrum {

/// Whether `extension` (upper case, without the point) is a tape's: TAP, TZX, PZX or CSW.
constexpr bool IsTapeExtension(std::string_view extension) {
  return extension == "TAP" || extension == "TZX" || extension == "PZX" || extension == "CSW";
}

}  // namespace spectrum
}  // namespace quillfen
