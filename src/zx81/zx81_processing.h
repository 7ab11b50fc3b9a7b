// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "cartridge/bytes.h"
#include "cartridge/machine_module.h"

namespace quillfen {

/// ZX81 programs: reads .P, .81 and .P81 files and builds the 32K ZX81 cartridge.
class ZX81Processing : public MachineModule {
 public:
  using MachineModule::MachineModule;

  /// Reads the program file at `path` (opened as given; its extension is tested in upper case).
  /// True when ZX81Program now holds a valid image of exactly the declared length. Every
  /// failure, an E_LINE below 0x4009 included, gives false; nothing is shown.
  [[nodiscard]] bool LoadZX81Program(const std::filesystem::path& path);

  /// True when the loaded program starts a BASIC line by itself. Throws quillfen::Error when
  /// NXTLIN (0x0001-0x4008) does not address the image, or when the image is too short to hold
  /// NXTLIN.
  bool ZX81ProgramAutoRuns() const;

  /// E_LINE - 0x4009 when the image is valid, else 0.
  std::int32_t ZX81ProgramLength() const;

  /// Builds the 32K cartridge for the loaded program and writes it under the output name of
  /// `file_name` (the bare upper-case name). Adds 16384 to `ram_size` once the extension has
  /// been accepted. False on every refusal; errors outside the build pass to the caller.
  [[nodiscard]] bool GenerateZX81Cartridge(const std::string& file_name, std::int32_t& ram_size,
                                           std::int16_t auto_run);

  /// The rewrite GenerateZX81Cartridge makes before building: with `auto_run` 1, a program that
  /// does not start by itself is made to run its first line. Throws as ZX81ProgramAutoRuns does.
  /// Lets a check of an image written earlier expect the program as that image carries it.
  void ApplyZX81AutoRun(std::int16_t auto_run);

  /// Builds the image for ZX81Program with ZX81Rom in the cartridge image. Raises `ramtop` by
  /// 16384 for a program longer than 16371 bytes. False, with a message, for a ROM image that is
  /// not 16384 bytes or cannot start (judged first, since a short image leaves no free space) or
  /// a program too large; false without one on any error.
  [[nodiscard]] bool BuildZX81Cartridge(std::int32_t& ramtop);

  /// The address in bank 1 at which the free space (trailing 0xFF bytes, searched down to offset
  /// 8191) of `rom` begins; 16385 for an image shorter than 16384 bytes.
  static std::int32_t FindZX81RomEnd(std::span<const std::uint8_t> rom);

  /// FindZX81RomEnd for ZX81Rom.
  std::int32_t FindZX81RomEnd() const { return FindZX81RomEnd(zx81_rom_); }

  const Bytes& ZX81Program() const { return zx81_program_; }
  const Bytes& ZX81Rom() const { return zx81_rom_; }
  std::int32_t ZX81RomEnd() const { return zx81_rom_end_; }

 private:
  bool SkipZX81ProgramName();
  bool ZX81ProgramIsValid() const;
  std::int32_t ZX81DeclaredLength() const;
  void TrimZX81Program();
  void AddAutoRun();

  Bytes zx81_program_;
  Bytes zx81_rom_;
  std::filesystem::path zx81_rom_path_;  // where ZX81Rom was read, for the messages about it
  std::int32_t zx81_rom_end_ = 0;
};

}  // namespace quillfen
