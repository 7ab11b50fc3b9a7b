// SPDX-License-Identifier: GPL-3.0-or-later
#include "zx81/zx81_startup_code.h"

#include "zx81/sinclair_startup_code.h"
#include "zx81/zx81_program_file.h"

namespace quillfen::zx81 {

// clang-format off
void EmitStartupCode(CartridgeMaker& out, const ZX81Layout& layout) {
  out.AppendFragment("21");  out.AppendWord(layout.system_variables);  // LD   HL,A
  out.AppendFragment("11 00 40");                                     // LD   DE,0x4000
  out.AppendFragment("01 35 82");                                     // LD   BC,33333
  out.AppendFragment("ED B0");                                        // LDIR   block, head and beyond
  sinclair::EmitHardwareSetUp(out);
  if (layout.border) sinclair::EmitBorder(out);
  sinclair::EmitScreenClear(out);
  if (layout.stripes) sinclair::EmitAttributeLoop(out, layout.attribute_table, layout.logo);
  out.AppendFragment("C3");  out.AppendWord(kImageStart + layout.head);  // JP   second block in RAM
}

void EmitLogoRows(CartridgeMaker& out) {
  out.AppendFragment("60 13 78 78 78 78 78 00 78 00 00 00 78 00 00 78 78 00 00 78 78");
  out.AppendFragment("80 13 00 00 00 78 00 00 00 78 00 78 00 00 78 00 00 78 00 00 78");
  out.AppendFragment("A0 13 00 00 78 00 00 00 00 00 78 00 00 00 00 78 78 00 00 00 78");
  out.AppendFragment("C0 13 00 78 00 00 00 00 00 78 00 78 00 00 78 00 00 78 00 00 78");
  out.AppendFragment("E0 14 78 78 78 78 78 00 78 00 00 00 78 00 00 78 78 00 00 78 78 78");
}

void EmitSystemVariables(CartridgeMaker& out, std::int32_t ramtop) {
  out.AppendFragment("FF");                           // 0x4000 ERR_NR
  out.AppendFragment("80");                           // 0x4001 FLAGS
  out.AppendWord(ramtop - 4);                         // 0x4002 ERR_SP
  out.AppendWord(ramtop);                             // 0x4004 RAMTOP
  out.AppendFragment("00");                           // 0x4006 MODE
  out.AppendFragment("FE FF");                        // 0x4007 PPC
}

void EmitSecondCodeBlock(CartridgeMaker& out, std::int32_t ramtop,
                         std::optional<std::int32_t> tail_copy_routine) {
  out.AppendFragment("21 0A 00");                     // LD   HL,0x000A
  out.AppendFragment("44");                           // restart: LD B,H   256 reads
  out.AppendFragment("7E");                           // read: LD A,(HL)
  out.AppendFragment("FE 40");                        //      CP   0x40    bank 1's byte there
  out.AppendFragment("20 FA");                        //      JR   NZ,restart
  out.AppendFragment("10 F9");                        //      DJNZ read
  out.AppendFragment("DD 21 81 02");                  // LD   IX,0x0281
  out.AppendFragment("FD 21 00 40");                  // LD   IY,0x4000
  out.AppendFragment("3E 1E");                        // LD   A,0x1E
  out.AppendFragment("ED 47");                        // LD   I,A
  out.AppendFragment("ED 56");                        // IM   1
  out.AppendFragment("AF");                           // XOR  A
  out.AppendFragment("08");                           // EX   AF,AF'     A' = 0, F' = 0x44
  out.AppendFragment("31");  out.AppendWord(ramtop);  // LD   SP,RAMTOP
  out.AppendFragment("21 00 3E");                     // LD   HL,0x3E00
  out.AppendFragment("E5");                           // PUSH HL         at RAMTOP - 2
  out.AppendFragment("21 76 06");                     // LD   HL,0x0676
  out.AppendFragment("E5");                           // PUSH HL         at RAMTOP - 4 = ERR_SP
  if (tail_copy_routine) {
    out.AppendFragment("C3");  out.AppendWord(*tail_copy_routine);  // JP tail copy routine
  } else {
    out.AppendFragment("C3 07 02");                   // JP   0x0207
  }
}

void EmitTailCopyRoutine(CartridgeMaker& out, std::int32_t rom_end, std::int32_t head,
                         std::int32_t tail_length) {
  out.AppendFragment("21");  out.AppendWord(rom_end + kZX81TailCopyRoutineLength);  // LD HL,tail
  out.AppendFragment("11");  out.AppendWord(kImageStart + head);  // LD   DE,behind the head
  out.AppendFragment("01");  out.AppendWord(tail_length);         // LD   BC,tail length
  out.AppendFragment("ED B0");                                    // LDIR
  out.AppendFragment("C3 07 02");                                 // JP   0x0207
}
// clang-format on

}  // namespace quillfen::zx81
