#pragma once

#include <cstdint>

#include "spectrum/snapshot_state.h"

namespace quillfen::testing {

/// A snapshot whose RAM holds pseudo-random non-zero bytes (so no unused area exists) and whose
/// registers all hold distinct values. PC is 0x6123; for an SNA snapshot the same value is on
/// the stack at SP (0xFE40).
inline SnapshotState MakeBusySnapshot(std::uint32_t seed = 1) {
  SnapshotState state;
  state.Memory.resize(kSnapshotRamLength);
  std::uint32_t random = seed * 2654435761u + 7;
  for (auto& byte : state.Memory) {
    random = random * 1103515245u + 12345u;
    byte = static_cast<std::uint8_t>(1 + (random >> 16) % 255);
  }
  state.AF = 0x3A44;
  state.BC = 0x1122;
  state.DE = 0x3344;
  state.HL = 0x5566;
  state.IX = 0x7788;
  state.IY = 0x5C3A;
  state.AFAlt = 0x99AA;
  state.BCAlt = 0xBBCC;
  state.DEAlt = 0xDDEE;
  state.HLAlt = 0xF00F;
  state.PC = 0x6123;
  state.SP = 0xFE40;
  state.Memory[0xFE40 - 0x4000] = 0x23;  // the word at SP: 0x6123
  state.Memory[0xFE41 - 0x4000] = 0x61;
  state.I = 0x3F;
  state.R = 0x85;
  state.InterruptMode = 1;
  state.InterruptsEnabled = true;
  state.BorderColour = 5;
  return state;
}

/// Zeroes the RAM from `from` to `to` - 1 (addresses).
inline void ZeroRam(SnapshotState& state, int from, int to) {
  for (int address = from; address < to; ++address) state.Memory[address - 0x4000] = 0;
}

}  // namespace quillfen::testing
