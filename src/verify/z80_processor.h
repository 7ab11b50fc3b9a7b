// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

struct _z80_cpu_context;  // libz80ex's processor, kept out of this header

namespace quillfen {

/// The processor state at an instruction boundary. R holds all eight bits.
struct Z80Registers {
  std::uint16_t AF = 0, BC = 0, DE = 0, HL = 0;
  std::uint16_t AFAlt = 0, BCAlt = 0, DEAlt = 0, HLAlt = 0;
  std::uint16_t IX = 0, IY = 0, PC = 0, SP = 0;
  std::uint8_t I = 0, R = 0, InterruptMode = 0;
  bool IFF1 = false, IFF2 = false;

  bool operator==(const Z80Registers&) const = default;
};

struct Z80ProcessorDeleter {
  void operator()(_z80_cpu_context* cpu) const;
};
/// One libz80ex processor; it can pass from one machine to another, which then points its
/// callbacks at itself.
using Z80Processor = std::unique_ptr<_z80_cpu_context, Z80ProcessorDeleter>;

Z80Registers ReadZ80Registers(_z80_cpu_context* cpu);
/// Loads every register; MEMPTR, which z80ex does not expose, stays as it is.
void WriteZ80Registers(_z80_cpu_context* cpu, const Z80Registers& registers);

}  // namespace quillfen
