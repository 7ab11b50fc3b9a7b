// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/z80_blocks.h"

#include <gtest/gtest.h>

#include "cartridge/error.h"
#include "verify/boot_machine.h"

namespace quillfen {
namespace {

// A bank is taken after 256 reads in a row (34 T-states each); a bouncing contact never is.
// Bank 0 runs the wait from RAM, bank 1 holds the awaited 0x01 at 0x0000.
TEST(WaitForByteTest, Needs256ReadsInARow) {
  for (const auto& [dwell, taken] :
       {std::pair{std::uint64_t{255 * 34}, false}, {255 * 34 + 30, true}}) {
    CartridgeMaker out;
    // clang-format off
    EmitBlockCopy(out, 0x000E, 0x8000, kWaitForByteLength + 2);  // the wait, behind this code
    out.AppendFragment("C3 00 80");                              // JP   0x8000
    EmitWaitForByte(out, 0x0000, 0x01);
    out.AppendFragment("18 FE");                                 // JR   $   taken
    out.PadWithFFTo(kBankSize);
    out.AppendByte(0x01);                                        // bank 1: the awaited byte
    // clang-format on
    BootMachine machine(out.CartridgeImage(), CartridgeSetup{},
                        {.dwell_t_states = dwell, .t_state_limit = 2'000'000});
    EXPECT_EQ(machine.RunUntil([](const BootMachine& m) { return m.PC() == 0x800B; }), taken);
  }
}

// LD B,H gives the 256 reads only for an address below 0x100; LDIR with BC = 0 copies 64K.
TEST(Z80BlocksTest, RefusesOperandsThatWouldChangeTheLoopCount) {
  CartridgeMaker out;
  EXPECT_THROW(EmitWaitForByte(out, 0x0100, 0x01), Error);
  EXPECT_THROW(EmitClearMemory(out, 0x4000, 1), Error);
  EXPECT_TRUE(out.CartridgeImage().empty());
  EXPECT_NO_THROW(EmitWaitForByte(out, 0x00FF, 0x01));
  EXPECT_NO_THROW(EmitClearMemory(out, 0x4000, 2));
}

}  // namespace
}  // namespace quillfen
