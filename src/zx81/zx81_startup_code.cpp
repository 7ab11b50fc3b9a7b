// SPDX-License-Identifier: GPL-3.0-or-later
#include "zx81/zx81_startup_code.h"

#include "cartridge/z80_blocks.h"
#include "zx81/zx81_program_file.h"

namespace quillfen::zx81 {
namespace {

// The RAM code waits until this address reads the ZX81 ROM's byte there: bank 0 holds 0xB0
// (the second byte of its first LDIR), so the wait ends once bank 1 is presented.
constexpr int kRomBankMarkAddress = 0x000A;
constexpr int kRomBankMark = 0x40;

}  // namespace

// clang-format off
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
  EmitWaitForByte(out, kRomBankMarkAddress, kRomBankMark);  // until bank 1 is presented
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
  EmitBlockCopy(out, rom_end + kTailCopyRoutineLength,              // the tail, behind this
                kImageStart + head, tail_length);                   // to RAM behind the head
  out.AppendFragment("C3 07 02");                                   // JP   0x0207
}
// clang-format on

}  // namespace quillfen::zx81
