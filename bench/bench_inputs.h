// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The inputs every benchmark works on: the largest ZX81 program, large ZX80 programs, one 48K
// snapshot as SNA and as compressed Z80, and stand-in ROM images carrying the bytes the start-up
// code waits for. Made from fixed seeds, so every run measures the same bytes.

#include <cstddef>
#include <filesystem>

#include "cartridge/bytes.h"
#include "spectrum/snapshot_state.h"

namespace quillfen::bench {

/// Stand-in ROM images: pseudo-random used bytes, then free space (0xFF) to the end.
Bytes StandInZX81Rom();      // used to 8191, byte 0x000A = 0x40
Bytes StandInZX80Rom();      // used to 4095, byte 0x000A = 0xFD
Bytes StandInSpectrumRom();  // used to the end, byte 0x0000 = 0xF3

/// The longest program a 32K ZX81 cartridge takes beside StandInZX81Rom: 16272 bytes in bank 0
/// and 16384 - 8193 - 14 in bank 1.
inline constexpr std::size_t kLargestZX81Program = 24449;
/// The longest ZX80 program there is (E_LINE 0x7FFF): a 32K cartridge.
inline constexpr std::size_t kLargestZX80Program = 0x3FFF;
/// A ZX80 program that still fits in the 16K cartridge beside StandInZX80Rom.
inline constexpr std::size_t kZX80ProgramFor16K = 12000;

Bytes LargestZX81Program();
Bytes LargeZX80Program(std::size_t length);

/// A 48K snapshot with a screen and code of mixed bytes, runs of zeros and repeated bytes, an
/// unused area of zeros at 0xC800-0xE3DF (page 2) and PC on its stack at SP = 0xFF00.
SnapshotState BenchSnapshot();
Bytes BenchSnaFile();
/// Version 3, compressed.
Bytes BenchZ80File();

/// Writes ZX81_ROM.bin, ZX80_ROM.bin, SPECTRUM_ROM.bin, LARGEST.P, LARGE.O, SMALLER.O, GAME.SNA
/// and GAME.Z80 into `folder` (created when missing).
void WriteBenchInputs(const std::filesystem::path& folder);

}  // namespace quillfen::bench
