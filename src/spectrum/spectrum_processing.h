// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "cartridge/bytes.h"
#include "cartridge/machine_module.h"
#include "spectrum/snapshot_state.h"
#include "spectrum/spectrum_startup_code.h"

namespace quillfen {

/// 48K Spectrum snapshots: reads .SNA, .Z80 and .SZX files and builds the 64K or 48K cartridge.
class SpectrumProcessing : public MachineModule {
 public:
  using MachineModule::MachineModule;

  /// Reads the snapshot at `path` (opened as given; its extension, "SNA", "Z80" or "SZX", is tested
  /// in upper case) into SnapshotState. True when a whole 48K snapshot was read.
  [[nodiscard]] bool LoadSnapshot(const std::filesystem::path& path);

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
  SnapshotState snapshot_state_;
  Bytes spectrum_rom_;
  spectrum::SnapshotKind kind_ = spectrum::SnapshotKind::kSna;
};

}  // namespace quillfen
