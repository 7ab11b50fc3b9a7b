// TEMPORARY: see pending_core_helpers.h. Delete together with it.
#include "cli/pending_core_helpers.h"

#include <string>

#include "cartridge/error.h"

namespace quillfen {
namespace pending {

// The free space of a ZX80 ROM image is its trailing 0xFF bytes, searched down to offset 4095;
// it begins two bytes above the last byte in use.
std::int32_t StandInFindZX80RomEnd(std::span<const std::uint8_t> rom) {
  for (std::int32_t offset = 16383; offset >= 4095; --offset) {
    if (static_cast<std::size_t>(offset) >= rom.size() || rom[offset] != 0xFF) return offset + 2;
  }
  return 4096;
}

// The 16K question is asked when the program fits behind the loader (85 bytes with auto-run,
// 78 without) in the ROM image's free space.
bool StandInFitsIn16K(std::int32_t program_length, std::int32_t rom_end, std::int16_t auto_run) {
  const std::int32_t loader_size = auto_run == 1 ? 85 : 78;
  return program_length <= 16384 - rom_end - loader_size;
}

}  // namespace pending

#if QUILLFEN_PENDING_FIND_UNUSED_AREA
std::int32_t FindUnusedArea(std::span<const std::uint8_t> memory, std::int32_t& top,
                            std::int16_t& page) {
  if (memory.size() != 0xC000)
    ThrowError("FindUnusedArea: memory of " + std::to_string(memory.size()) +
               " bytes instead of 49152");
  struct Window {
    std::int16_t page;
    std::int32_t first;
    std::int32_t last;
  };
  constexpr Window kWindows[] = {{2, 0xE3DF, 0xC1FF}, {1, 0xBFFF, 0x81FF}, {0, 0x7FFF, 0x5CFF}};
  for (const Window& window : kWindows) {
    bool open = false;
    std::int32_t high = 0;
    std::int32_t count = 0;
    for (std::int32_t x = window.first; x >= window.last; --x) {
      const bool zero = memory[x - 0x4000] == 0;
      if (!open) {
        if (zero) {
          open = true;
          high = x;
          count = 0;
        }
      } else if (zero) {
        ++count;
      } else if (count >= 512) {
        page = window.page;
        top = high + 1;
        return x + 2;
      } else {
        open = false;
      }
    }
  }
  top = 0;
  return 0;
}
#endif

}  // namespace quillfen
