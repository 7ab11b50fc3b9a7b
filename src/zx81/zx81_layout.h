// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Where the parts of a ZX81 cartridge go: how much decoration bank 0 carries, how many program
// bytes fit beside it, and where the rest goes.
namespace quillfen {

/// Room for the decoration and the program head in bank 0: the 16384 bytes less the start-up
/// code, the jump, the system variable block, the second code block and 4 spare bytes.
inline constexpr std::int32_t kZX81BankZeroRoom = 16272;

inline constexpr std::int32_t kZX81BorderBytes = 4;
inline constexpr std::int32_t kZX81StripesBytes = 62;  // attribute loop and stripe rows
inline constexpr std::int32_t kZX81LogoBytes = 106;    // logo rows
inline constexpr std::int32_t kZX81TailCopyRoutineLength = 14;

/// A program longer than this runs with RAMTOP raised by 16384.
inline constexpr std::int32_t kZX81LongestProgramBelowRamTop = 16371;

/// The layout of one ZX81 cartridge.
struct ZX81Layout {
  std::int32_t length = 0;         // L: bytes of the program image
  std::int32_t bank_one_room = 0;  // F: program bytes that fit in bank 1
  bool border = false;
  bool stripes = false;
  bool logo = false;
  std::int32_t decoration = 0;        // S: bytes the decoration adds to bank 0
  std::int32_t head = 0;              // H: program bytes in bank 0
  std::int32_t system_variables = 0;  // A: offset of the system variable block
  std::int32_t attribute_table = 0;   // T: offset of the attribute rows

  std::int32_t TailLength() const { return length - head; }
};

/// The bank 1 room F behind a ROM image whose free space starts at `rom_end`.
std::int32_t ZX81BankOneRoom(std::int32_t rom_end);

/// The layout for a program of `length` bytes and a ROM image whose free space starts at
/// `rom_end`. The program must fit: `length` <= kZX81BankZeroRoom + ZX81BankOneRoom(rom_end).
ZX81Layout PlanZX81Cartridge(std::int32_t length, std::int32_t rom_end);

}  // namespace quillfen
