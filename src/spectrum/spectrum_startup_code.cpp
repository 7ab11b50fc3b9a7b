// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/spectrum_startup_code.h"

#include <iterator>
#include <string>
#include <string_view>

#include "cartridge/error.h"
#include "cartridge/row_tables.h"
#include "cartridge/z80_blocks.h"

namespace quillfen::spectrum {
namespace {

constexpr int kStage3Address = 0x386E;  // the ROM copy's spare area starts here
constexpr int kStage2Address64K = 0x8000;
constexpr int kScreen = 0x4000;
constexpr int kScreenLength = 0x1B00;         // display file and attributes
constexpr int kAttributeRowsHighByte = 0x5A;  // attribute rows 16-23
constexpr int kBankAddress = 0x0000;          // where the cartridge presents a bank
constexpr int kBankLength = 0x4000;

// The letters "ZX", five cells high, in bright white at the bottom left (rows 19-23, columns 0-10).
// clang-format off
constexpr std::string_view kLetterRows[] = {
    "60 0B 78 78 78 78 78 00 78 00 00 00 78",
    "80 0B 00 00 00 78 00 00 00 78 00 78 00",
    "A0 0B 00 00 78 00 00 00 00 00 78 00 00",
    "C0 0B 00 78 00 00 00 00 00 78 00 78 00",
    "E0 0B 78 78 78 78 78 00 78 00 00 00 78",
};
// clang-format on
constexpr int kLogoRows = static_cast<int>(std::size(kStripeRows) + std::size(kLetterRows));
static_assert(kStripeRowsLength + RowTableLength(kLetterRows) == kLogoTableLength);

// Waits until the byte at 0x0000 has read `value` 256 times in a row.
void EmitBankWait(CartridgeMaker& out, int value) { EmitWaitForByte(out, kBankAddress, value); }

// Copies the 16K bank present at 0x0000 to `destination`.
void EmitBankCopy(CartridgeMaker& out, int destination) {
  EmitBlockCopy(out, kBankAddress, destination, kBankLength);
}

}  // namespace

int RefreshValueBeforeResume(std::int32_t r) {
  if (r < 0 || r > 0xFF)
    ThrowError("RefreshValueBeforeResume: " + std::to_string(r) + " is not a byte");
  return (r & 0x80) | ((r - 4) & 0x7F);
}

// clang-format off
void EmitStage1Start(CartridgeMaker& out, int logo_table) {
  EmitClearMemory(out, kScreen, kScreenLength);                        // screen := 0
  out.AppendFragment("3E 08");                                         // LD   A,0x08
  out.AppendFragment("D3 FE");                                         // OUT  (0xFE),A  black border
  EmitRowCopyLoop(out, kAttributeRowsHighByte, kLogoRows, logo_table);  // the logo
}

namespace {

// Clears `from` to `to` - 1 by copying its first byte upwards; LDIR with BC = 0 would copy 64 KB,
// so the range holds at least two bytes (an unused area holds at least 512 above stage 2's 130).
void EmitZeroFill(CartridgeMaker& out, int from, int to) {
  if (to - from < 2)
    ThrowError("EmitZeroFill: " + std::to_string(from) + " to " + std::to_string(to) +
               " is too short to clear");
  out.AppendFragment("21");  out.AppendWord(from);              // LD   HL,low+L2
  out.AppendFragment("36 00");                                  // LD   (HL),0
  out.AppendFragment("11");  out.AppendWord(from + 1);          // LD   DE,low+L2+1
  out.AppendFragment("01");  out.AppendWord(to - from - 1);     // LD   BC,count-1
  out.AppendFragment("ED B0");                                  // LDIR            area := 0
}

}  // namespace

void EmitStage1Continuation48K(CartridgeMaker& out, int stage1_length, int page_base, int low,
                               int top, int stage2_length) {
  const int prefix_source = stage1_length + kLogoTableLength;
  const int prefix_length = low - page_base;
  const int tail_length = page_base + 0x4000 - top;
  const int tail_source = prefix_source + prefix_length + stage2_length;
  EmitBlockCopy(out, prefix_source, page_base, prefix_length + stage2_length);  // prefix, stage 2
  if (tail_length != 0) EmitBlockCopy(out, tail_source, top, tail_length);      // the tail
  EmitZeroFill(out, low + stage2_length, top);
  out.AppendFragment("C3");  out.AppendWord(low);                             // JP low
}

void EmitStage1Continuation64K(CartridgeMaker& out) {
  EmitBlockCopy(out, 0x00A9, 0x8000, 0x0044);          // stage 2 in the code bank to 0x8000
  EmitBlockCopy(out, 0x00ED, 0xC0ED, 0x3F13);          // RAM data in the code bank, 16147 bytes
  out.AppendFragment("C3");  out.AppendWord(0x8000);   // JP   0x8000
}

void EmitLogoTable(CartridgeMaker& out) {
  EmitRowTable(out, kStripeRows);                      // rows 16-23, the colour band
  EmitRowTable(out, kLetterRows);                      // rows 19-23, "ZX"
}

void EmitStage2For48K(CartridgeMaker& out, const SnapshotState& state, SnapshotKind kind, int low,
                      int page_a, int page_b, int saved_a, int saved_b) {
  EmitBankWait(out, 0x01);
  EmitBankCopy(out, page_a);
  EmitBankWait(out, 0x02);
  EmitBankCopy(out, page_b);
  out.AppendFragment("3E");  out.AppendByte(saved_a);   // LD   A,saved byte of A
  out.AppendFragment("32");  out.AppendWord(page_a);    // LD   (A),A
  EmitBankWait(out, 0xF3);
  out.AppendFragment("3E");  out.AppendByte(saved_b);   // LD   A,saved byte of B
  out.AppendFragment("32");  out.AppendWord(page_b);    // LD   (B),A
  EmitRegisterBlock(out, state, kind, low + Stage2Length48K(kind) - 4);
}

void EmitStage2For64K(CartridgeMaker& out, int saved_80ed, int saved_4000) {
  EmitBankWait(out, 0x01);
  EmitBankCopy(out, 0x80ED);
  EmitBankWait(out, 0x02);
  EmitBankCopy(out, 0x4000);
  out.AppendFragment("3E");  out.AppendByte(saved_80ed);   // LD   A,saved byte of 0x80ED
  out.AppendFragment("32");  out.AppendWord(0x80ED);       // LD   (0x80ED),A
  EmitBankWait(out, 0xF3);
  out.AppendFragment("3E");  out.AppendByte(saved_4000);   // LD   A,saved byte of 0x4000
  out.AppendFragment("32");  out.AppendWord(0x4000);       // LD   (0x4000),A
  out.AppendFragment("C3 6E 38");                          // JP   0x386E
}

void EmitStage3(CartridgeMaker& out, const SnapshotState& state, SnapshotKind kind) {
  EmitBlockCopy(out, kRomCopyRamBytes, kStage2Address64K, kRomCopyRamBytesLength);  // over stage 2
  EmitRegisterBlock(out, state, kind, kStage3Address + Stage3Length(kind) - 4);
}

void EmitRegisterBlock(CartridgeMaker& out, const SnapshotState& state, SnapshotKind kind,
                       int stack_data) {
  const char* interrupt_mode = state.InterruptMode == 0   ? "ED 46"
                               : state.InterruptMode == 1 ? "ED 56"
                                                          : "ED 5E";
  const int border = state.BorderColour + 8;
  const int refresh = RefreshValueBeforeResume(state.R);
  out.AppendFragment("01 FD 7F");                                 // LD   BC,0x7FFD
  out.AppendFragment("3E 30");                                    // LD   A,0x30
  out.AppendFragment("ED 79");                                    // OUT  (C),A      48K ROM, locked
  out.AppendFragment("31");  out.AppendWord(stack_data);          // LD   SP,S
  out.AppendFragment("F1");                                       // POP  AF         AF'
  out.AppendFragment("08");                                       // EX   AF,AF'
  out.AppendFragment("21");  out.AppendWord(state.HLAlt);         // LD   HL,HL'
  out.AppendFragment("01");  out.AppendWord(state.BCAlt);         // LD   BC,BC'
  out.AppendFragment("11");  out.AppendWord(state.DEAlt);         // LD   DE,DE'
  out.AppendFragment("D9");                                       // EXX
  out.AppendFragment("3E");  out.AppendByte(border);             // LD   A,border + 8
  out.AppendFragment("D3 FE");                                    // OUT  (0xFE),A
  out.AppendFragment(interrupt_mode);                             // IM   0, 1 or 2
  out.AppendFragment("3E");  out.AppendByte(state.I);             // LD   A,I value
  out.AppendFragment("ED 47");                                    // LD   I,A
  out.AppendFragment("DD 21");  out.AppendWord(state.IX);         // LD   IX,nn
  out.AppendFragment("FD 21");  out.AppendWord(state.IY);         // LD   IY,nn
  out.AppendFragment("01");  out.AppendWord(state.BC);            // LD   BC,nn
  out.AppendFragment("11");  out.AppendWord(state.DE);            // LD   DE,nn
  out.AppendFragment("21");  out.AppendWord(state.HL);            // LD   HL,nn
  out.AppendFragment("3E");  out.AppendByte(refresh);            // LD   A,R'
  out.AppendFragment("ED 4F");                                    // LD   R,A
  out.AppendFragment("F1");                                       // POP  AF
  out.AppendFragment("31");  out.AppendWord(state.SP);            // LD   SP,nn
  out.AppendFragment(state.InterruptsEnabled ? "FB" : "F3");      // EI or DI
  if (kind == SnapshotKind::kZ80) {
    out.AppendFragment("C3");  out.AppendWord(state.PC);          // JP   PC
  } else {
    out.AppendFragment("ED 45");                                  // RETN          PC off the stack
  }
  out.AppendWord(state.AFAlt);                                    // S: data for the first POP AF
  out.AppendWord(state.AF);                                       //    data for the second POP AF
}
// clang-format on

}  // namespace quillfen::spectrum
