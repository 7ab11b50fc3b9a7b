// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "inspection/program_inspection.h"

namespace quillfen {

/// The inspection as text, several lines beginning with `shown_name` on a line of its own.
/// Addresses and registers are in hexadecimal with "0x".
std::string InfoText(const std::string& shown_name, const ProgramInspection& inspection);

/// The inspection as one JSON object on one line (without the line break). A refused file gives
/// {"file", "machine", "error"}; numbers are decimal; facts that cannot be known are null.
std::string InfoJson(const std::string& shown_name, const ProgramInspection& inspection);

}  // namespace quillfen
