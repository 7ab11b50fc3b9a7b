#pragma once

// TEMPORARY stand-ins for three core helpers that the ZX80 and Spectrum modules are gaining:
//   static std::int32_t ZX80Processing::FindZX80RomEnd(std::span<const std::uint8_t> rom);
//   static bool ZX80Processing::FitsIn16K(std::int32_t program_length, std::int32_t rom_end,
//                                         std::int16_t auto_run);
//   std::int32_t FindUnusedArea(std::span<const std::uint8_t> memory, std::int32_t& top,
//                               std::int16_t& page);   // spectrum/spectrum_layout.h
// Once both have landed, delete this file and pending_core_helpers.cpp: the command line then
// uses the real ones (see program_inspection.cpp). Until then, each stand-in forwards to the
// real helper as soon as it exists, so a partial merge keeps building and behaving.

#include <concepts>
#include <cstdint>
#include <span>

#include "zx80/zx80_processing.h"

#if __has_include("spectrum/spectrum_layout.h")
#include "spectrum/spectrum_layout.h"
#define QUILLFEN_PENDING_FIND_UNUSED_AREA 0
#else
#define QUILLFEN_PENDING_FIND_UNUSED_AREA 1
namespace quillfen {
/// Stand-in for the Spectrum layout's search for a run of at least 513 zero bytes: the low
/// address of the area found (0 when none), its top and its page index. Throws quillfen::Error
/// for memory that is not 49152 bytes long.
std::int32_t FindUnusedArea(std::span<const std::uint8_t> memory, std::int32_t& top,
                            std::int16_t& page);
}  // namespace quillfen
#endif

namespace quillfen::pending {

std::int32_t StandInFindZX80RomEnd(std::span<const std::uint8_t> rom);
bool StandInFitsIn16K(std::int32_t program_length, std::int32_t rom_end, std::int16_t auto_run);

template <typename Processing>
concept HasZX80SizeHelpers = requires(std::span<const std::uint8_t> rom) {
  { Processing::FindZX80RomEnd(rom) } -> std::convertible_to<std::int32_t>;
  { Processing::FitsIn16K(std::int32_t{}, std::int32_t{}, std::int16_t{}) } -> std::same_as<bool>;
};

/// Used in place of ZX80Processing for its two static size helpers.
template <typename Processing = ZX80Processing>
struct ZX80SizeHelpers {
  static std::int32_t FindZX80RomEnd(std::span<const std::uint8_t> rom) {
    if constexpr (HasZX80SizeHelpers<Processing>) {
      return Processing::FindZX80RomEnd(rom);
    } else {
      return StandInFindZX80RomEnd(rom);
    }
  }
  static bool FitsIn16K(std::int32_t program_length, std::int32_t rom_end, std::int16_t auto_run) {
    if constexpr (HasZX80SizeHelpers<Processing>) {
      return Processing::FitsIn16K(program_length, rom_end, auto_run);
    } else {
      return StandInFitsIn16K(program_length, rom_end, auto_run);
    }
  }
};

}  // namespace quillfen::pending
