#include "zx81/zx81_processing.h"

namespace quillfen {

bool ZX81Processing::LoadZX81Program(const std::filesystem::path&) { return false; }

bool ZX81Processing::ZX81ProgramAutoRuns() const { return false; }

std::int32_t ZX81Processing::ZX81ProgramLength() const { return 0; }

bool ZX81Processing::GenerateZX81Cartridge(const std::string&, std::int32_t& ram_size,
                                           std::int16_t) {
  ram_size += 16384;
  (void)host_;
  (void)maker_;
  (void)zx81_rom_end_;
  return false;
}

}  // namespace quillfen
