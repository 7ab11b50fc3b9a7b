// SPDX-License-Identifier: GPL-3.0-or-later
#include "zx81/sinclair_startup_code.h"

namespace quillfen::sinclair {

// clang-format off
void EmitHardwareSetUp(CartridgeMaker& out) {
  out.AppendFragment("01 FD 7F");  // LD   BC,0x7FFD
  out.AppendFragment("3E 2F");     // LD   A,0x2F
  out.AppendFragment("ED 79");     // OUT  (C),A      paging: page 7 at 0xC000, screen 2, locked
  out.AppendFragment("06 FF");     // LD   B,0xFF     port 0xFFFD
  out.AppendFragment("3E 0E");     // LD   A,0x0E
  out.AppendFragment("ED 79");     // OUT  (C),A      sound chip: select register 14
  out.AppendFragment("06 BF");     // LD   B,0xBF     port 0xBFFD
  out.AppendFragment("3E FF");     // LD   A,0xFF
  out.AppendFragment("ED 79");     // OUT  (C),A      register 14 := 0xFF
  out.AppendFragment("06 FF");     // LD   B,0xFF
  out.AppendFragment("3E 07");     // LD   A,0x07
  out.AppendFragment("ED 79");     // OUT  (C),A      select register 7
  out.AppendFragment("06 BF");     // LD   B,0xBF
  out.AppendFragment("3E FF");     // LD   A,0xFF
  out.AppendFragment("ED 79");     // OUT  (C),A      register 7 := 0xFF
}

void EmitBorder(CartridgeMaker& out) {
  out.AppendFragment("3E 08");     // LD   A,0x08
  out.AppendFragment("D3 FE");     // OUT  (0xFE),A   black border
}

void EmitScreenClear(CartridgeMaker& out) {
  out.AppendFragment("AF");        // XOR  A
  out.AppendFragment("21 00 C0");  // LD   HL,0xC000
  out.AppendFragment("77");        // LD   (HL),A
  out.AppendFragment("11 01 C0");  // LD   DE,0xC001
  out.AppendFragment("01 FF 3F");  // LD   BC,0x3FFF
  out.AppendFragment("ED B0");     // LDIR            0xC000-0xFFFF := 0
}

void EmitRowCopyLoop(CartridgeMaker& out, int high_byte, int rows, int table) {
  out.AppendFragment("16");  out.AppendByte(high_byte);    // LD   D,high_byte
  out.AppendFragment("0E");  out.AppendByte(rows);         // LD   C,rows
  out.AppendFragment("21");  out.AppendWord(table);        // LD   HL,table
  out.AppendFragment("5E");                                // row: LD E,(HL)   low address byte
  out.AppendFragment("23");                                //      INC  HL
  out.AppendFragment("46");                                //      LD   B,(HL) count
  out.AppendFragment("23");                                //      INC  HL
  out.AppendFragment("7E");                                // byte: LD A,(HL)
  out.AppendFragment("12");                                //      LD   (DE),A
  out.AppendFragment("13");                                //      INC  DE
  out.AppendFragment("23");                                //      INC  HL
  out.AppendFragment("10 FA");                             //      DJNZ byte
  out.AppendFragment("0D");                                //      DEC  C
  out.AppendFragment("20 F3");                             //      JR   NZ,row
}

void EmitAttributeLoop(CartridgeMaker& out, int table, bool logo) {
  EmitRowCopyLoop(out, 0xDA, logo ? 13 : 8, table);        // attributes of the shown screen
}

void EmitStripeRows(CartridgeMaker& out) {
  out.AppendFragment("1F 01 50");
  out.AppendFragment("3E 02 50 70");
  out.AppendFragment("5D 03 50 70 60");
  out.AppendFragment("7C 04 50 70 60 68");
  out.AppendFragment("9B 04 50 70 60 68");
  out.AppendFragment("BA 04 50 70 60 68");
  out.AppendFragment("D9 04 50 70 60 68");
  out.AppendFragment("F8 04 50 70 60 68");
}
// clang-format on

}  // namespace quillfen::sinclair
