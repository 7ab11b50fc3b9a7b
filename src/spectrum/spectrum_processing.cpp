// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/spectrum_processing.h"

#include <exception>

#include "cartridge/file_names.h"
#include "spectrum/sna_format.h"
#include "spectrum/spectrum_machine.h"
#include "spectrum/z80_format.h"

namespace quillfen {

bool SpectrumProcessing::LoadSnapshot(const std::filesystem::path& path) {
  try {
    // The extension of the whole path as given: a point in a folder name alone is no extension.
    const std::string extension = ExtensionOf(path.string());
    if (!spectrum::kMachine.HasExtension(extension)) return false;
    host_.RepaintWindow();
    if (extension == "Z80") return ReadZ80Snapshot(path, snapshot_state_, host_);
    return ReadSnaSnapshot(path, snapshot_state_);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quillfen
