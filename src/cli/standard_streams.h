// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <ostream>
#include <span>
#include <string>

#include "cli/private_folder.h"
#include "inspection/machine.h"

// Standard input and output as the converters' files: the input is copied into a private file
// whose name tells the reader its kind; the image is written to a private file and then copied
// to standard output, so that both are handled exactly as files are.
namespace quillfen {

/// The name the copy of standard input `content` gets for `machine`: STDIN.O (ZX80), STDIN.P
/// (ZX81), and for a snapshot STDIN.SZX when it starts with the SZX signature "ZXST", else
/// STDIN.SNA when it is as long as a 48K SNA file, else STDIN.Z80.
std::string StandardInputName(Machine machine, std::span<const std::uint8_t> content);

/// Copies all of `in` into `folder` under StandardInputName and returns the copy's path; empty,
/// with the reason in `error`, when `in` fails or holds more than kLargestReadableFile bytes.
std::filesystem::path CopyStandardInput(std::istream& in, Machine machine,
                                        const PrivateFolder& folder, std::string& error);

/// Writes the file at `image` to `out` and flushes it; false, with the reason in `error`, when
/// the file cannot be read or `out` fails.
bool CopyImageToStandardOutput(const std::filesystem::path& image, std::ostream& out,
                               std::string& error);

}  // namespace quillfen
