// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/z80_blocks.h"

#include <string>

#include "cartridge/error.h"

namespace quillfen {

// clang-format off
void EmitBlockCopy(CartridgeMaker& out, int source, int destination, int count) {
  out.AppendFragment("21");  out.AppendWord(source);        // LD   HL,source
  out.AppendFragment("11");  out.AppendWord(destination);   // LD   DE,destination
  out.AppendFragment("01");  out.AppendWord(count);         // LD   BC,count
  out.AppendFragment("ED B0");                              // LDIR
}

void EmitClearMemory(CartridgeMaker& out, int first, int length) {
  if (length < 2)
    ThrowError("EmitClearMemory: " + std::to_string(length) + " bytes are too few to clear");
  out.AppendFragment("AF");                                 // XOR  A
  out.AppendFragment("21");  out.AppendWord(first);         // LD   HL,first
  out.AppendFragment("77");                                 // LD   (HL),A
  out.AppendFragment("11");  out.AppendWord(first + 1);     // LD   DE,first + 1
  out.AppendFragment("01");  out.AppendWord(length - 1);    // LD   BC,length - 1
  out.AppendFragment("ED B0");                              // LDIR
}

void EmitWaitForByte(CartridgeMaker& out, int address, int value) {
  if (address < 0 || address > 0xFF)
    ThrowError("EmitWaitForByte: address " + std::to_string(address) +
               " does not leave B = 0 for 256 reads");
  out.AppendFragment("21");  out.AppendWord(address);       //        LD   HL,address
  out.AppendFragment("44");                                 // count: LD   B,H     256 reads
  out.AppendFragment("7E");                                 // read:  LD   A,(HL)
  out.AppendFragment("FE");  out.AppendByte(value);         //        CP   value
  out.AppendFragment("20 FA");                              //        JR   NZ,count
  out.AppendFragment("10 F9");                              //        DJNZ read
}
// clang-format on

}  // namespace quillfen
