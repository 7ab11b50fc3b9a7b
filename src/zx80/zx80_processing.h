#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "cartridge/bytes.h"
#include "cartridge/cartridge_maker.h"
#include "cartridge/host.h"

namespace quillfen {

/// ZX80 programs: reads .O, .80 and .P80 files and builds the 16K or 32K ZX80 cartridge.
class ZX80Processing {
 public:
  ZX80Processing(Host& host, CartridgeMaker& maker) : host_(host), maker_(maker) {}

  /// Reads the program file at `path` (opened as given; its extension is tested in upper case).
  /// True when ZX80Program now holds a valid image of exactly the declared length.
  [[nodiscard]] bool LoadZX80Program(const std::filesystem::path& path);

  /// E_LINE - 0x4000 when the image is valid, else 0. Throws quillfen::Error for an E_LINE of
  /// 0x8000 or more.
  std::int16_t ZX80ProgramLength() const;

  /// Builds the 16K (when it fits and the size question is answered Yes) or 32K cartridge for
  /// the loaded program and writes it under the output name of `file_name`. Adds 16384 to
  /// `ram_size`. False on every refusal; errors outside the builds pass to the caller.
  [[nodiscard]] bool GenerateZX80Cartridge(const std::string& file_name, std::int32_t& ram_size,
                                           std::int16_t auto_run);

  const Bytes& ZX80Program() const { return zx80_program_; }

 private:
  Host& host_;
  CartridgeMaker& maker_;
  Bytes zx80_program_;
  Bytes zx80_rom_;
  std::int32_t zx80_rom_end_ = 0;
};

}  // namespace quillfen
