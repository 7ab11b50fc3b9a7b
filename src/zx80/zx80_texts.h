// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts the ZX80 converter shows, word for word.
namespace quillfen::zx80 {

inline constexpr char kRomReadFailed[] = "Failed to read ZX80 ROM file (ZX80_ROM.bin)";
inline constexpr char kRomInsertFailed[] = "Failed to insert ZX80 ROM data";
inline constexpr char kRomContent[] = "the ZX80 ROM followed by free space filled with 0xFF";
inline constexpr char kProgramTooLarge[] = "Program is too large";
inline constexpr char kSizeQuestion[] =
    "The program and ZX80 ROM will fit within 16K.\r\n\r\n"
    "Generate a 16K instead of a 32K ROM cartridge?";

}  // namespace quillfen::zx80
