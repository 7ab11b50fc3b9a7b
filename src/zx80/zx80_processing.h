// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "cartridge/bytes.h"
#include "cartridge/machine_module.h"

namespace quillfen {

/// ZX80 programs: reads .O, .80 and .P80 files and builds the 16K or 32K ZX80 cartridge.
class ZX80Processing : public MachineModule {
 public:
  using MachineModule::MachineModule;

  /// Reads the program file at `path` (opened as given; its extension is tested in upper case).
  /// True when ZX80Program now holds a valid image of exactly the declared length. False, with
  /// ZX80Program untouched, for an unknown extension or an unreadable file; false, with the file
  /// read but not trimmed, for an image that is too short or whose E_LINE is out of range.
  [[nodiscard]] bool LoadZX80Program(const std::filesystem::path& path);

  /// E_LINE - 0x4000 when the image is valid, else 0. Throws quillfen::Error for an E_LINE of
  /// 0x8000 or more.
  std::int16_t ZX80ProgramLength() const;

  /// Builds the 16K (when it fits and the size question is answered Yes) or 32K cartridge for
  /// the loaded program and writes it under the output name of `file_name`. Adds 16384 to
  /// `ram_size`. False on every refusal; errors outside the builds pass to the caller.
  [[nodiscard]] bool GenerateZX80Cartridge(const std::string& file_name, std::int32_t& ram_size,
                                           std::int16_t auto_run);

  /// The address at which the free space (the trailing 0xFF bytes, searched down to offset
  /// 4095) of the ZX80 ROM image `rom` begins: one behind the first 0xFF after the last used
  /// byte; 4096 when offsets 4095 and up are all free; 16385 for an image shorter than 16384.
  static std::int32_t FindZX80RomEnd(std::span<const std::uint8_t> rom);

  /// Whether a program of `program_length` bytes fits in a 16K cartridge beside a ROM image
  /// whose free space begins at `rom_end`: when it does, the size question is asked.
  static bool FitsIn16K(std::int32_t program_length, std::int32_t rom_end, std::int16_t auto_run);

  /// The longest program a 32K cartridge takes beside a ROM image whose free space begins at
  /// `rom_end`: the room in bank 0 plus the room in bank 1 behind the tail copy routine.
  static std::int32_t Largest32KProgram(std::int32_t rom_end, std::int16_t auto_run);

  const Bytes& ZX80Program() const { return zx80_program_; }
  const Bytes& ZX80Rom() const { return zx80_rom_; }
  std::int32_t ZX80RomEnd() const { return zx80_rom_end_; }

 private:
  bool ZX80ProgramIsValid() const;
  std::int16_t ZX80DeclaredLength() const;
  void TrimZX80Program();

  /// One bank: the ROM image with a jump to a loader in its free space, then the program.
  /// False (after a message for a ROM image of the wrong length) when it cannot be built.
  bool BuildZX80Cartridge16K(std::int32_t ramtop, std::int16_t auto_run);

  /// Two banks: start-up code and the program's head, then the ROM image with the tail.
  /// Raises `ramtop` by 16384 for a program longer than 16382 bytes. False (after a message
  /// for an unusable ROM image, judged first, or a program too large) when it cannot be built.
  bool BuildZX80Cartridge32K(std::int32_t& ramtop, std::int16_t auto_run);

  Bytes zx80_program_;
  Bytes zx80_rom_;
  std::filesystem::path zx80_rom_path_;  // where ZX80Rom was read, for the messages about it
  std::int32_t zx80_rom_end_ = 0;
};

}  // namespace quillfen
