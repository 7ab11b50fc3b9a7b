// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "cartridge/two_bank_startup.h"

// Where the parts of a ZX81 cartridge go: how much decoration bank 0 carries, how many program
// bytes fit beside it, and where the rest goes.
namespace quillfen {

/// Room for the decoration and the program head in bank 0: the 16384 bytes less the start-up
/// code, the jump, the system variable block, the second code block and 4 spare bytes.
inline constexpr std::int32_t kZX81BankZeroRoom = 16272;

/// A program longer than this runs with RAMTOP raised by 16384.
inline constexpr std::int32_t kZX81LongestProgramBelowRamTop = 16371;

/// The bank 1 room F behind a ROM image whose free space starts at `rom_end`.
std::int32_t ZX81BankOneRoom(std::int32_t rom_end);

/// Bank 0's layout for a program of `length` bytes and a ROM image whose free space starts at
/// `rom_end`; its A is the offset of the system variable block, which the head follows. The
/// program must fit: `length` <= kZX81BankZeroRoom + ZX81BankOneRoom(rom_end).
BankZeroLayout PlanZX81Cartridge(std::int32_t length, std::int32_t rom_end);

}  // namespace quillfen
