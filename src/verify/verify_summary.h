// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "verify/verify_result.h"

namespace quillfen {

/// One line for a verified image: "GAME.bin: boots, snapshot restored exactly (3.1 M T-states)",
/// with a compared run "GAME.bin: boots, snapshot restored exactly, runs as the snapshot for 250
/// frames (14.0 M T-states)" (the T-states are always the boot's, up to the resume), with the
/// notes after it, or "GAME.bin: FAILED: " and the reason,
/// the first mismatches or where the run parted from the snapshot's.
std::string FormatVerifySummary(std::string_view image_name, const VerifyResult& result);

/// "in frame 2, 1234 T-states after the resume, at PC 0x800B (LD A,(HL)): reads 0x21 from
/// 0xD001 where the snapshot reads 0x00; " and the cause when there is one.
std::string DescribeDivergence(const RunDivergence& divergence);

}  // namespace quillfen
