#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "cli/conversion.h"
#include "inspection/converters.h"
#include "verify/verify_result.h"

namespace quillfen {

/// The outcome of booting one image: the summary line and whether it passed.
struct ImageCheck {
  bool passed = false;
  std::string line;  // "GAME.bin: boots, ..." or "GAME.bin: FAILED: ..."
};

/// Boots `image` on the emulated cartridge and compares the end state with the program `job`
/// describes, as the machine's module in `converters` holds it now (for the ZX81 with the
/// auto-run rewrite already applied). The RAMTOP comes from the job's RAM entry; a Spectrum image
/// is checked as the 48K layout when `forty_eight_k`, with the unused area the converter uses,
/// and with SPECTRUM_ROM.bin from the first of `rom_folders` holding it as the machine's own ROM
/// when it can be read. Never
/// throws: an image that cannot be checked at all fails with the reason.
ImageCheck VerifyImage(MachineConverters& converters, const ConversionJob& job,
                       const std::string& image_name, std::span<const std::uint8_t> image,
                       bool forty_eight_k, const std::vector<std::filesystem::path>& rom_folders,
                       const VerifyOptions& options);

}  // namespace quillfen
