// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "zx81/zx81_machine.h"

// Where a ZX81 program image (ZX81 memory from 0x4009, the system variable VERSN) keeps what the
// converter reads and rewrites.
namespace quillfen::zx81 {

inline constexpr std::int32_t kImageStart = 0x4009;         // address of offset 0 of an image
inline constexpr std::size_t kELineOffset = 11;             // E_LINE: end of the image
inline constexpr std::size_t kNxtLinOffset = 32;            // NXTLIN: next line to run
inline constexpr std::size_t kProgramAreaOffset = 116;      // first byte of the BASIC program
inline constexpr std::size_t kSystemVariablesLength = 116;  // offsets 0-115: 0x4009-0x407C
inline constexpr std::uint8_t kNewLine = 0x76;              // ends a line; starts the display file
inline constexpr std::uint16_t kFirstProgramLine = 0x407D;  // address of kProgramAreaOffset

/// A program name in a .P81 file is at most this long, its last byte included.
inline constexpr std::size_t kLongestProgramName = 32767;

/// True for "P81", "P" and "81", the extensions (in upper case) of ZX81 program files.
inline bool IsZX81Extension(std::string_view extension) { return kMachine.HasExtension(extension); }

}  // namespace quillfen::zx81
