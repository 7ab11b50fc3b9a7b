// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cartridge/bytes.h"
#include "cartridge/machine_module.h"
#include "spectrum/snapshot_state.h"
#include "spectrum/spectrum_startup_code.h"
#include "spectrum/tape_capture.h"

namespace quillfen {

/// What a tape load kept besides the state, for inspection.
struct LoadedTape {
  std::vector<TapeBlockName> blocks;
  std::uint16_t pc = 0;
  bool stopped_at_address = false;
};

/// 48K Spectrum snapshots: reads .SNA, .Z80 and .SZX files, loads .TAP, .TZX, .PZX and .CSW tapes
/// through the installed TapeCapture, and builds the 64K or 48K cartridge.
class SpectrumProcessing : public MachineModule {
 public:
  using MachineModule::MachineModule;

  /// Reads the snapshot at `path` (opened as given; its extension, "SNA", "Z80", "SZX" or a
  /// tape's, is tested in upper case) into SnapshotState. True when a whole 48K snapshot was
  /// read, or a tape loaded and captured. A tape is loaded with SPECTRUM_ROM.bin from the host's
  /// ROM folders; its state then resumes as a Z80 snapshot does, by a jump.
  [[nodiscard]] bool LoadSnapshot(const std::filesystem::path& path);

  /// The capture tapes are loaded with (none: tapes are refused). Not owned; it must outlive
  /// the loads.
  void SetTapeCapture(TapeCapture* capture) { tape_capture_ = capture; }
  /// What the last load kept of its tape; empty when it read a snapshot or was refused.
  const std::optional<LoadedTape>& Tape() const { return tape_; }

  /// Builds the 64K cartridge or, when an unused area exists and the size question is answered
  /// Yes, the 48K one, and writes it under the output name of `file_name`. `ram_size` is not used.
  /// Errors outside the builders (an empty name, no snapshot loaded) pass to the caller.
  [[nodiscard]] bool GenerateSpectrumCartridge(const std::string& file_name,
                                               std::int32_t& ram_size);

  const SnapshotState& State() const { return snapshot_state_; }
  /// The kind of the snapshot LoadSnapshot read last.
  spectrum::SnapshotKind Kind() const { return kind_; }
  /// Lets tests put a snapshot in place without a snapshot file.
  SnapshotState& MutableStateForTesting() { return snapshot_state_; }

 private:
  void CaptureTape(const Bytes& file, const std::filesystem::path& path);

  SnapshotState snapshot_state_;
  TapeCapture* tape_capture_ = nullptr;
  std::optional<LoadedTape> tape_;
  Bytes spectrum_rom_;
  spectrum::SnapshotKind kind_ = spectrum::SnapshotKind::kSna;
};

}  // namespace quillfen
