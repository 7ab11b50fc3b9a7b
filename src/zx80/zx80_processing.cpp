// SPDX-License-Identifier: GPL-3.0-or-later
#include "zx80/zx80_processing.h"

#include <string>

#include "cartridge/converter_files.h"
#include "cartridge/error.h"
#include "cartridge/file_names.h"
#include "cartridge/load_failure.h"
#include "cartridge/rom_free_space.h"
#include "zx80/zx80_machine.h"
#include "zx80/zx80_startup_code.h"
#include "zx80/zx80_texts.h"

namespace quillfen {
namespace {

constexpr std::size_t kELineOffset = 10;            // E_LINE, the end of the image
constexpr std::size_t kSystemVariablesLength = 40;  // 0x4000-0x4027
constexpr std::int32_t kProgramAddress = 0x4000;
constexpr std::int32_t kLargestELine = 0x7FFF;  // E_LINE is taken as a 16-bit signed value

// Free space is searched from the ROM image's end down to this offset.
constexpr std::int32_t kLowestFreeSpaceOffset = 4095;

bool IsZX80Extension(const std::string& extension) {
  return zx80::kMachine.HasExtension(extension);
}

}  // namespace

bool ZX80Processing::LoadZX80Program(const std::filesystem::path& path) {
  return LoadRecordingFailure([&] {
    if (!IsZX80Extension(ExtensionOf(path.string())))
      Refuse(LoadFailureKind::kWrongExtension, zx80::kMachine.WrongExtensionText());
    ReadProgramFile(zx80_program_, path);
    CheckProgramImage(zx80_program_,
                      {kSystemVariablesLength, kELineOffset, kProgramAddress, kLargestELine});
    TrimZX80Program();
  });
}

std::int16_t ZX80Processing::ZX80ProgramLength() const {
  return ZX80ProgramIsValid() ? ZX80DeclaredLength() : 0;
}

bool ZX80Processing::ZX80ProgramIsValid() const {
  if (zx80_program_.size() < kSystemVariablesLength) return false;
  return static_cast<std::int32_t>(zx80_program_.size()) >= ZX80DeclaredLength();
}

std::int16_t ZX80Processing::ZX80DeclaredLength() const {
  const std::int32_t e_line = WordAt(zx80_program_, kELineOffset);
  if (e_line > kLargestELine)
    ThrowError("ZX80DeclaredLength: E_LINE " + std::to_string(e_line) +
               " does not fit a 16-bit signed value");
  return static_cast<std::int16_t>(e_line - kProgramAddress);
}

void ZX80Processing::TrimZX80Program() {
  const std::int16_t length = ZX80ProgramLength();
  if (length < 0)
    ThrowError("TrimZX80Program: E_LINE lies " + std::to_string(-length) + " bytes below 0x4000");
  zx80_program_.resize(static_cast<std::size_t>(length));
}

std::int32_t ZX80Processing::FindZX80RomEnd(std::span<const std::uint8_t> rom) {
  return FindRomFreeSpace(rom, kLowestFreeSpaceOffset);
}

bool ZX80Processing::FitsIn16K(std::int32_t program_length, std::int32_t rom_end,
                               std::int16_t auto_run) {
  return program_length <=
         static_cast<std::int32_t>(kBankSize) - rom_end - zx80::LoaderLength(auto_run);
}

bool ZX80Processing::GenerateZX80Cartridge(const std::string& file_name, std::int32_t& ram_size,
                                           std::int16_t auto_run) {
  if (!IsZX80Extension(ExtensionOf(file_name))) return false;
  ram_size += 16384;
  std::int32_t ramtop = ram_size;  // the 32K build may raise its own copy

  const std::optional<std::filesystem::path> rom_path = ReadRomImageFile(
      host_, std::string(zx80::kMachine.rom_file_name), zx80::kRomReadFailed, zx80_rom_);
  if (!rom_path) return false;
  zx80_rom_path_ = *rom_path;
  zx80_rom_end_ = FindZX80RomEnd(zx80_rom_);

  Host::Answer answer = Host::Answer::No;
  if (FitsIn16K(static_cast<std::int32_t>(zx80_program_.size()), zx80_rom_end_, auto_run))
    answer = host_.AskCartridgeSize(zx80::kSizeQuestion);
  if (answer == Host::Answer::Cancel) return false;

  const bool built = answer == Host::Answer::Yes ? BuildZX80Cartridge16K(ramtop, auto_run)
                                                 : BuildZX80Cartridge32K(ramtop, auto_run);
  if (!built) return false;
  return WriteCartridgeImageFile(host_, maker_, file_name);
}

}  // namespace quillfen
