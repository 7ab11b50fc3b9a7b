// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "cartridge/bytes.h"
#include "spectrum/snapshot_state.h"

namespace quillfen::testing {

// Snapshots of small programs at 0x8000 whose runs show how a cartridge treats their world.
// Every program starts with BIT 0,(HL), whose flags show the MEMPTR the resume left.

/// The unused area of ProgramSnapshot: zeros from kProgramAreaLow - 1 to kProgramAreaTop - 1,
/// after a non-zero byte, so the 48K layout puts its stage 2 at kProgramAreaLow.
inline constexpr int kProgramAreaLow = 0xD001;
inline constexpr int kProgramAreaTop = 0xE000;

/// BIT 0,(HL); HALT; JR back to HALT.
Bytes HaltLoop();

/// At each frame (after HALT; with `halt` false, over and over) adds up `count` bytes from
/// `from` and stores the sum at 0x9000.
Bytes SumLoop(int from, int count, bool halt = true);

/// Busy RAM around the unused area, `program` at 0x8000 (also on the stack at SP = 0x7F00 for
/// an SNA), interrupts enabled in `interrupt_mode` with `i`, and an IM 2 handler reached
/// through the vector 0xFFFF: JR at 0xFFFF, whose offset is the ROM's first byte 0xF3, lands on
/// EI; RET at 0xFFF4.
SnapshotState ProgramSnapshot(const Bytes& program, int interrupt_mode = 1, int i = 0x3F);

/// A Spectrum ROM stand-in: DI first, an IM 1 handler (EI; RET) at 0x0038, pseudo-random bytes
/// up to 0x386D and 0xFF from there on, as the spare area of the Spectrum's own ROM.
Bytes ProgramRom();

}  // namespace quillfen::testing
