#include "spectrum/spectrum_startup_code.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cartridge/error.h"
#include "support/snapshot_files.h"
#include "verify/boot_machine.h"

namespace quillfen::spectrum {
namespace {

using quillfen::testing::MakeBusySnapshot;

Bytes RegisterBlock(const SnapshotState& state, SnapshotKind kind) {
  CartridgeMaker out;
  EmitRegisterBlock(out, state, kind, 0x9000);
  return out.CartridgeImage();
}

/// Boots `image` (its banks presented in turn for `dwell` T-states each) and runs it until PC
/// reaches `pc`; nullptr when it never does.
std::unique_ptr<BootMachine> RunUntilPc(const Bytes& image, int pc,
                                        std::uint64_t dwell = 2'000'000) {
  VerifyOptions options;
  options.dwell_t_states = dwell;
  options.t_state_limit = 2'000'000;
  auto machine = std::make_unique<BootMachine>(image, CartridgeSetup{}, options);
  if (!machine->RunUntil([pc](const BootMachine& m) { return m.PC() == pc; })) return nullptr;
  return machine;
}

TEST(SpectrumStartupCodeTest, RegisterBlockEndings) {
  SnapshotState state = MakeBusySnapshot();
  state.PC = 0xBEEF;
  const Bytes z80 = RegisterBlock(state, SnapshotKind::kZ80);
  // +57 EI, +58 JP 0xBEEF, +61 AF' = 0x99AA (F' first), +63 AF = 0x3A44 (F first)
  EXPECT_EQ(Bytes(z80.begin() + 57, z80.end()),
            (Bytes{0xFB, 0xC3, 0xEF, 0xBE, 0xAA, 0x99, 0x44, 0x3A}));
  state.InterruptsEnabled = false;
  const Bytes sna = RegisterBlock(state, SnapshotKind::kSna);
  // +57 DI, +58 RETN, +60 AF', +62 AF: one byte shorter
  EXPECT_EQ(Bytes(sna.begin() + 57, sna.end()), (Bytes{0xF3, 0xED, 0x45, 0xAA, 0x99, 0x44, 0x3A}));
  state.BorderColour = 7;
  EXPECT_EQ(RegisterBlock(state, SnapshotKind::kSna)[23], 0x0F);  // LD A,border + 8
  state.BorderColour = 248;                                       // out of range, not cut to a byte
  EXPECT_THROW(RegisterBlock(state, SnapshotKind::kSna), Error);
  EXPECT_THROW(RefreshValueBeforeResume(256), Error);
}

// R' for the worked values of R (bit 7 kept, the low seven bits four lower), and the register
// block run on an emulated Z80: it resumes with R, the interrupt state, the border and SP as
// recorded. An SNA's PC comes off its stack, which here lies in the cartridge at 0x0100.
TEST(SpectrumStartupCodeTest, RegisterBlockResumesTheSnapshot) {
  struct Case {
    SnapshotKind kind;
    int r, r_before, mode;
    bool enabled;
    std::int16_t border;
  };
  const Case cases[] = {
      {SnapshotKind::kZ80, 0x85, 0x81, 0, true, 0},   {SnapshotKind::kZ80, 0x02, 0x7E, 1, false, 7},
      {SnapshotKind::kZ80, 0x83, 0xFF, 2, true, 1},   {SnapshotKind::kZ80, 0x00, 0x7C, 3, false, 2},
      {SnapshotKind::kSna, 0x80, 0xFC, 255, true, 3}, {SnapshotKind::kSna, 0x04, 0x00, -1, true, 4},
      {SnapshotKind::kSna, 0x07, 0x03, 1, false, 5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RefreshValueBeforeResume(c.r), c.r_before) << "R = " << c.r;
    SCOPED_TRACE("R " + std::to_string(c.r) + " mode " + std::to_string(c.mode));
    SnapshotState state = MakeBusySnapshot();
    state.R = c.r;
    state.InterruptMode = c.mode;
    state.InterruptsEnabled = c.enabled;
    state.BorderColour = c.border;
    state.SP = 0x0100;
    const bool sna = c.kind == SnapshotKind::kSna;
    CartridgeMaker out;
    EmitRegisterBlock(out, state, c.kind, RegisterBlockLength(c.kind) - 4);
    out.PadWithFFTo(0x0100);
    out.AppendWord(0x6123);
    const auto machine = RunUntilPc(out.CartridgeImage(), 0x6123);
    ASSERT_NE(machine, nullptr);
    const Z80Registers r = machine->Registers();
    EXPECT_EQ(r.AF, state.AF);
    EXPECT_EQ(r.SP, sna ? 0x0102 : 0x0100);
    // RETN's prefix is one more refresh cycle than JP: the SNA program starts with R one higher.
    EXPECT_EQ(r.R, sna ? (c.r & 0x80) | ((c.r + 1) & 0x7F) : c.r);
    EXPECT_EQ(r.InterruptMode, c.mode == 0 || c.mode == 1 ? c.mode : 2);
    EXPECT_EQ(r.IFF1, c.enabled);
    EXPECT_EQ(machine->BorderColour(), c.border);
  }
}

// A bank is taken once its marker has been read 256 times in a row (34 T-states a read): one
// presented for less time, as by a bouncing contact, never is. Bank 0 runs the wait from RAM,
// bank 1 holds the marker 0x01.
TEST(SpectrumStartupCodeTest, BankWaitNeeds256ReadsInARow) {
  for (const auto& [dwell, taken] : {std::pair{255 * 34, false}, {255 * 34 + 30, true}}) {
    CartridgeMaker out;
    // clang-format off
    out.AppendFragment("21 0E 00");  // LD   HL,0x000E  the wait, behind this code
    out.AppendFragment("11 00 80");  // LD   DE,0x8000
    out.AppendFragment("01 0D 00");  // LD   BC,13
    out.AppendFragment("ED B0");     // LDIR
    out.AppendFragment("C3 00 80");  // JP   0x8000
    EmitBankWait(out, 0x01);
    out.AppendFragment("18 FE");     // JR   $          taken
    out.PadWithFFTo(kBankSize);
    out.AppendByte(0x01);            //                 bank 1: the marker
    // clang-format on
    EXPECT_EQ(RunUntilPc(out.CartridgeImage(), 0x800B, dwell) != nullptr, taken) << dwell;
  }
}

}  // namespace
}  // namespace quillfen::spectrum
