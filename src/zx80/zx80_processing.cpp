#include "zx80/zx80_processing.h"

namespace quillfen {

bool ZX80Processing::LoadZX80Program(const std::filesystem::path&) { return false; }

std::int16_t ZX80Processing::ZX80ProgramLength() const { return 0; }

bool ZX80Processing::GenerateZX80Cartridge(const std::string&, std::int32_t& ram_size,
                                           std::int16_t) {
  ram_size += 16384;
  (void)host_;
  (void)maker_;
  (void)zx80_rom_end_;
  return false;
}

}  // namespace quillfen
