// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/spectrum128_setup.h"

#include "cartridge/z80_blocks.h"

namespace quillfen::spectrum128 {

constexpr int kShownScreen = 0xC000;  // RAM page 7, paged in by the hardware set-up
constexpr int kShownScreenLength = 0x4000;

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
// clang-format on

void EmitScreenClear(CartridgeMaker& out) {
  EmitClearMemory(out, kShownScreen, kShownScreenLength);
}

}  // namespace quillfen::spectrum128
