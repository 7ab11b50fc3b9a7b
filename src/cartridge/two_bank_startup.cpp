// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/two_bank_startup.h"

#include <algorithm>

namespace quillfen {
namespace {

constexpr int kRamStart = 0x4000;
constexpr int kCopyLength = 33333;  // the block, the head, the second code block and beyond

}  // namespace

BankZeroLayout PlanBankZero(int length, int largest_program, int head_room, RowTable logo_rows) {
  BankZeroLayout layout;
  layout.decoration = PlanDecoration(length, largest_program, logo_rows, Comparison::kStrict);
  layout.head = std::min(length, head_room - layout.decoration.Length());
  layout.copy_from = kTwoBankStartupLength + layout.decoration.Length();
  layout.rows = kTwoBankStartupLength + layout.decoration.CodeLength();
  return layout;
}

// clang-format off
void EmitTwoBankStartupCode(CartridgeMaker& out, const BankZeroLayout& layout, int ram_code) {
  EmitBlockCopy(out, layout.copy_from, kRamStart, kCopyLength);       // LD HL,A ... LDIR
  spectrum128::EmitHardwareSetUp(out);
  if (layout.decoration.border) spectrum128::EmitBorder(out);
  spectrum128::EmitScreenClear(out);
  if (layout.decoration.stripes) EmitAttributeLoop(out, layout.decoration, layout.rows);
  out.AppendFragment("C3");  out.AppendWord(ram_code);                // JP   second block in RAM
}
// clang-format on

}  // namespace quillfen
