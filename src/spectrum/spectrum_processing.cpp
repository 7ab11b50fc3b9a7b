// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/spectrum_processing.h"

#include "cartridge/cartridge_maker.h"
#include "cartridge/file_names.h"
#include "cartridge/load_failure.h"
#include "cartridge/rom_folders.h"
#include "spectrum/sna_format.h"
#include "spectrum/spectrum_machine.h"
#include "spectrum/szx_format.h"
#include "spectrum/z80_format.h"

namespace quillfen {

spectrum::SnapshotKind spectrum::SnapshotKindOf(std::string_view file_name) {
  const std::string extension = ExtensionOf(file_name);
  if (extension == "SNA") return SnapshotKind::kSna;
  if (extension == "Z80" || extension == "SZX" || IsTapeExtension(extension))
    return SnapshotKind::kZ80;
  ThrowError("SnapshotKindOf: \"" + std::string(file_name) +
             "\" is not an SNA, Z80 or SZX snapshot nor a tape");
}

namespace {

constexpr std::size_t kSpectrumRomLength = 16384;

// SPECTRUM_ROM.bin from the first of `folders` holding it, or a refusal saying what is wrong.
Bytes TapeLoadingRom(const std::vector<std::filesystem::path>& folders) {
  const std::string rom_name(spectrum::kMachine.rom_file_name);
  const std::optional<std::filesystem::path> rom_path = FindRomFile(folders, rom_name);
  if (!rom_path) {
    std::string searched;
    for (const std::filesystem::path& folder : folders)
      searched.append(searched.empty() ? "" : ", ").append(folder.string());
    Refuse(LoadFailureKind::kNoSpectrumRom,
           "a tape is loaded on an emulated Spectrum, which needs " + rom_name +
               "; no ROM folder holds it (searched: " + searched + ")");
  }
  Bytes rom;
  std::string reason;
  if (!ReadWholeFile(rom, *rom_path, reason))
    Refuse(LoadFailureKind::kNoSpectrumRom, rom_path->string() + " cannot be read: " + reason);
  if (rom.size() != kSpectrumRomLength)
    Refuse(LoadFailureKind::kNoSpectrumRom,
           rom_path->string() + " holds " + std::to_string(rom.size()) + " bytes, not the " +
               std::to_string(kSpectrumRomLength) + " of a Spectrum ROM");
  return rom;
}

}  // namespace

void SpectrumProcessing::CaptureTape(const Bytes& file, const std::filesystem::path& path) {
  if (tape_capture_ == nullptr)
    Refuse(LoadFailureKind::kNoTapeLoader, "tapes cannot be loaded here; give a snapshot");
  const Bytes rom = TapeLoadingRom(host_.RomFolders());
  CapturedTape captured = tape_capture_->Capture(file, rom, path.filename().string());
  snapshot_state_ = std::move(captured.state);
  tape_ = LoadedTape{std::move(captured.blocks), captured.pc, captured.stopped_at_address};
}

bool SpectrumProcessing::LoadSnapshot(const std::filesystem::path& path) {
  return LoadRecordingFailure([&] {
    // The extension of the whole path as given: a point in a folder name alone is no extension.
    if (!spectrum::kMachine.HasExtension(ExtensionOf(path.string())))
      Refuse(LoadFailureKind::kWrongExtension, spectrum::kMachine.WrongExtensionText());
    tape_.reset();
    host_.RepaintWindow();
    // Read once, whole, before anything is stored: an unreadable file leaves the state as it was.
    Bytes file;
    ReadProgramFile(file, path);
    const std::string extension = ExtensionOf(path.string());
    if (spectrum::IsTapeExtension(extension))
      CaptureTape(file, path);
    else if (extension == "SZX")
      ParseSzxSnapshot(file, snapshot_state_);
    else if (extension == "Z80")
      ParseZ80Snapshot(file, snapshot_state_, host_);
    else
      ParseSnaSnapshot(file, snapshot_state_);
    kind_ = spectrum::SnapshotKindOf(path.string());
  });
}

}  // namespace quillfen
