// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/spectrum_processing.h"

#include "cartridge/file_names.h"
#include "cartridge/load_failure.h"
#include "spectrum/sna_format.h"
#include "spectrum/spectrum_machine.h"
#include "spectrum/szx_format.h"
#include "spectrum/z80_format.h"

namespace quillfen {

spectrum::SnapshotKind spectrum::SnapshotKindOf(std::string_view file_name) {
  const std::string extension = ExtensionOf(file_name);
  if (extension == "SNA") return SnapshotKind::kSna;
  if (extension == "Z80" || extension == "SZX") return SnapshotKind::kZ80;
  ThrowError("SnapshotKindOf: \"" + std::string(file_name) +
             "\" is not an SNA, Z80 or SZX snapshot");
}

bool SpectrumProcessing::LoadSnapshot(const std::filesystem::path& path) {
  return LoadRecordingFailure([&] {
    // The extension of the whole path as given: a point in a folder name alone is no extension.
    if (!spectrum::kMachine.HasExtension(ExtensionOf(path.string())))
      Refuse(LoadFailureKind::kWrongExtension, spectrum::kMachine.WrongExtensionText());
    host_.RepaintWindow();
    // Read once, whole, before anything is stored: an unreadable file leaves the state as it was.
    Bytes file;
    ReadProgramFile(file, path);
    const std::string extension = ExtensionOf(path.string());
    if (extension == "SZX")
      ParseSzxSnapshot(file, snapshot_state_);
    else if (extension == "Z80")
      ParseZ80Snapshot(file, snapshot_state_, host_);
    else
      ParseSnaSnapshot(file, snapshot_state_);
    kind_ = spectrum::SnapshotKindOf(path.string());
  });
}

}  // namespace quillfen
