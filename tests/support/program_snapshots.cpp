// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/program_snapshots.h"

#include <algorithm>

#include "support/rom_images.h"
#include "support/snapshot_files.h"

namespace quillfen::testing {

Bytes HaltLoop() { return {0xCB, 0x46, 0x76, 0x18, 0xFD}; }

Bytes SumLoop(int from, int count, bool halt) {
  const auto byte = [](int value) { return static_cast<std::uint8_t>(value); };
  // 0x8002 HALT (or NOP); LD HL,from; LD BC,count; LD E,0; then at 0x800B: LD A,(HL); ADD A,E;
  // LD E,A; INC HL; DEC BC; LD A,B; OR C; JR NZ,0x800B; LD A,E; LD (0x9000),A; JR 0x8002.
  // clang-format off
  return {0xCB, 0x46, byte(halt ? 0x76 : 0x00), 0x21, byte(from), byte(from >> 8), 0x01,
          byte(count), byte(count >> 8), 0x1E, 0x00, 0x7E, 0x83, 0x5F, 0x23, 0x0B, 0x78, 0xB1,
          0x20, 0xF7, 0x7B, 0x32, 0x00, 0x90, 0x18, 0xE8};
  // clang-format on
}

SnapshotState ProgramSnapshot(const Bytes& program, int interrupt_mode, int i) {
  SnapshotState s = MakeBusySnapshot(3);
  ZeroRam(s, kProgramAreaLow - 1, kProgramAreaTop);
  std::copy(program.begin(), program.end(), s.Memory.begin() + (0x8000 - 0x4000));
  s.PC = 0x8000;
  s.SP = 0x7F00;
  s.Memory[0x7F00 - 0x4000] = 0x00;
  s.Memory[0x7F01 - 0x4000] = 0x80;
  s.InterruptMode = interrupt_mode;
  s.I = i;
  s.InterruptsEnabled = true;
  s.Memory[0xFFFF - 0x4000] = 0x18;
  s.Memory[0xFFF4 - 0x4000] = 0xFB;
  s.Memory[0xFFF5 - 0x4000] = 0xC9;
  return s;
}

Bytes ProgramRom() { return MakeRomImage(0x386C, {{0, 0xF3}, {0x38, 0xFB}, {0x39, 0xC9}}); }

}  // namespace quillfen::testing
