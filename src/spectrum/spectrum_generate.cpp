// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <optional>
#include <string>

#include "cartridge/converter_files.h"
#include "cartridge/file_names.h"
#include "spectrum/spectrum_layout.h"
#include "spectrum/spectrum_machine.h"
#include "spectrum/spectrum_processing.h"

namespace quillfen {
namespace {

constexpr char kRomUnreadable[] = "Failed to read Spectrum ROM file (SPECTRUM_ROM.bin)";
constexpr char kRomNotInsertable[] = "Failed to insert Spectrum ROM data";
constexpr char kRomContent[] = "the 48K Spectrum ROM";
constexpr char kSizeQuestion[] =
    "An area of unused bytes has been found within the program.\r\n\r\n"
    "Generate a 48K instead of a 64K ROM cartridge?";

}  // namespace

bool SpectrumProcessing::GenerateSpectrumCartridge(const std::string& file_name,
                                                   std::int32_t& /*ram_size*/) {
  const std::optional<std::filesystem::path> rom_path = ReadRomImageFile(
      host_, std::string(spectrum::kMachine.rom_file_name), kRomUnreadable, spectrum_rom_);
  if (!rom_path) return false;

  std::int32_t top = 0;
  std::int16_t page = 0;
  const std::int32_t low = spectrum::FindUnusedArea(snapshot_state_.Memory, top, page);
  const Host::Answer answer = low != 0 ? host_.AskCartridgeSize(kSizeQuestion) : Host::Answer::No;
  if (answer == Host::Answer::Cancel) return false;
  // Only a snapshot's own name gives an image (none is given after a switch from another machine).
  const bool named_snapshot = spectrum::kMachine.HasExtension(ExtensionOf(file_name));

  if (answer == Host::Answer::Yes) {
    if (!named_snapshot ||
        !spectrum::BuildSpectrumCartridge48K(maker_, snapshot_state_, kind_, low, top, page))
      return false;
  } else {
    // The 64K cartridge resumes the program only once its stage 2 has seen the ROM copy's 0xF3
    // at 0x0000: any other image would give a cartridge that hangs at power-on.
    const std::string rom_fault = RomImageFault(spectrum_rom_, *rom_path, kRomContent,
                                                RomMark{0, spectrum::kSpectrumRomFirstByte});
    if (!rom_fault.empty()) {
      host_.ShowError(kRomNotInsertable, rom_fault);
      return false;
    }
    if (!named_snapshot ||
        !spectrum::BuildSpectrumCartridge64K(maker_, snapshot_state_, kind_, spectrum_rom_))
      return false;
  }
  return WriteCartridgeImageFile(host_, maker_, file_name);
}

}  // namespace quillfen
