// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/row_tables.h"

namespace quillfen {

void EmitRowTable(CartridgeMaker& out, RowTable rows) {
  for (const std::string_view row : rows) out.AppendFragment(row);
}

// clang-format off
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
// clang-format on

}  // namespace quillfen
