// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "cli/conversion_job.h"
#include "inspection/converters.h"
#include "verify/image_checks.h"
#include "verify/verify_result.h"

namespace quillfen {

/// The outcome of booting one image: the summary line and whether it passed.
struct ImageCheck {
  bool passed = false;
  std::string line;  // "GAME.bin: boots, ..." or "GAME.bin: FAILED: ..."
  std::string json;  // the same facts as one JSON object
};

/// Copies what checking `image` needs from the program `job` describes, as the machine's module
/// in `converters` holds it now (for the ZX81 with the auto-run rewrite already applied). The
/// RAMTOP comes from the job's RAM entry; a Spectrum image is checked as the 48K layout when
/// `forty_eight_k`, with the unused area the converter uses, and with
/// SPECTRUM_ROM.bin from the first of `rom_folders` holding it as the machine's own ROM. Never
/// throws.
ImageVerification PrepareVerification(MachineConverters& converters, const ConversionJob& job,
                                      const std::string& image_name, Bytes image,
                                      bool forty_eight_k,
                                      const std::vector<std::filesystem::path>& rom_folders,
                                      const VerifyOptions& options);

/// Boots each image on the emulated cartridge and compares the end state (and for a Spectrum
/// snapshot the run after it) with its program, on up to `threads` threads (0: one per core);
/// the reports, made on the calling thread, in the given order. Never throws: an image that
/// cannot be checked fails with the reason.
std::vector<ImageCheck> RunVerifications(const std::vector<ImageVerification>& verifications,
                                         unsigned threads);

/// The JSON object on `out`, or the line on `out` when it passed, else on `err`.
void PrintCheck(const ImageCheck& check, bool json, std::ostream& out, std::ostream& err);

/// PrepareVerification, then the check, on this thread.
ImageCheck VerifyImage(MachineConverters& converters, const ConversionJob& job,
                       const std::string& image_name, std::span<const std::uint8_t> image,
                       bool forty_eight_k, const std::vector<std::filesystem::path>& rom_folders,
                       const VerifyOptions& options);

}  // namespace quillfen
