#pragma once

#include <string>
#include <string_view>

#include "verify/verify_result.h"

namespace quillfen {

/// One line for a verified image: "GAME.bin: boots, snapshot restored exactly (3.1 M T-states)",
/// with the notes after it, or "GAME.bin: FAILED: " and the reason or the first mismatches.
std::string FormatVerifySummary(std::string_view image_name, const VerifyResult& result);

}  // namespace quillfen
