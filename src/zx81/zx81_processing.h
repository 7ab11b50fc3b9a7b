#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "cartridge/bytes.h"
#include "cartridge/cartridge_maker.h"
#include "cartridge/host.h"

namespace quillfen {

/// ZX81 programs: reads .P, .81 and .P81 files and builds the 32K ZX81 cartridge.
class ZX81Processing {
 public:
  ZX81Processing(Host& host, CartridgeMaker& maker) : host_(host), maker_(maker) {}

  /// Reads the program file at `path` (opened as given; its extension is tested in upper case).
  /// True when ZX81Program now holds a valid image of exactly the declared length.
  [[nodiscard]] bool LoadZX81Program(const std::filesystem::path& path);

  /// True when the loaded program starts a BASIC line by itself. Throws quillfen::Error when
  /// NXTLIN (0x0001-0x4008) does not address the image.
  bool ZX81ProgramAutoRuns() const;

  /// E_LINE - 0x4009 when the image is valid, else 0.
  std::int32_t ZX81ProgramLength() const;

  /// Builds the 32K cartridge for the loaded program and writes it under the output name of
  /// `file_name` (the bare upper-case name). Adds 16384 to `ram_size`. False on every refusal;
  /// errors outside the build pass to the caller.
  [[nodiscard]] bool GenerateZX81Cartridge(const std::string& file_name, std::int32_t& ram_size,
                                           std::int16_t auto_run);

  const Bytes& ZX81Program() const { return zx81_program_; }

 private:
  Host& host_;
  CartridgeMaker& maker_;
  Bytes zx81_program_;
  Bytes zx81_rom_;
  std::int32_t zx81_rom_end_ = 0;
};

}  // namespace quillfen
