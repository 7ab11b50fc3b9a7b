// SPDX-License-Identifier: GPL-3.0-or-later
#include "zx80/zx80_startup_code.h"

#include "cartridge/z80_blocks.h"

namespace quillfen::zx80 {

// clang-format off
void EmitSetUp(CartridgeMaker& out, int ramtop) {
  out.AppendFragment("FD 21 00 40");                     // LD   IY,0x4000
  out.AppendFragment("3E 0E");                           // LD   A,0x0E
  out.AppendFragment("ED 47");                           // LD   I,A
  out.AppendFragment("ED 56");                           // IM   1
  out.AppendFragment("31");  out.AppendWord(ramtop);     // LD   SP,ramtop
  out.AppendFragment("21 AA 3F");                        // LD   HL,0x3FAA
  out.AppendFragment("E5");                              // PUSH HL
}

void EmitAutoRunStart(CartridgeMaker& out) {
  out.AppendFragment("CD 47 07");  // CALL 0x0747
  out.AppendFragment("21 47 04");  // LD   HL,0x0447
  out.AppendFragment("E5");        // PUSH HL
  out.AppendFragment("01 00 00");  // LD   BC,0x0000
  out.AppendFragment("C3 3D 09");  // JP   0x093D
}

void EmitPlainStart(CartridgeMaker& out) {
  out.AppendFragment("C3 83 02");  // JP   0x0283
}

void EmitTailCopyRoutine(CartridgeMaker& out, int source, int destination, int length,
                         std::int16_t auto_run) {
  EmitBlockCopy(out, source, destination, length);
  EmitStart(out, auto_run);
}
// clang-format on

void EmitStart(CartridgeMaker& out, std::int16_t auto_run) {
  if (auto_run == 1)
    EmitAutoRunStart(out);
  else
    EmitPlainStart(out);
}

int TailCopyRoutineLength(std::int16_t auto_run) {
  return kBlockCopyLength + (auto_run == 1 ? kAutoRunStartLength : kPlainStartLength);
}

}  // namespace quillfen::zx80
