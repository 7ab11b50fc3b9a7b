// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify/zx80_boot_check.h"

#include <string>

#include "verify/boot_machine.h"
#include "verify/state_comparison.h"

namespace quillfen {
namespace {

constexpr std::uint16_t kCallEntry = 0x0747;     // called first by the auto-run and 16K starts
constexpr std::uint16_t kAutoRunEntry = 0x093D;  // where the auto-run start jumps afterwards
constexpr std::uint16_t kPlainEntry = 0x0283;    // the 32K plain start
constexpr std::size_t kLongProgram = 16382;      // longer 32K programs get RAMTOP raised

bool IsRomEntry(std::uint16_t pc) {
  return pc == kCallEntry || pc == kAutoRunEntry || pc == kPlainEntry;
}

}  // namespace

std::int32_t ZX80Ramtop(std::int32_t ram_size, std::size_t program_length, std::size_t image_size) {
  const bool raised = image_size > kBankSize && program_length > kLongProgram;
  return 16384 + ram_size + (raised ? 16384 : 0);
}

VerifyResult VerifyZX80Image(std::span<const std::uint8_t> image, const Bytes& program,
                             std::int32_t ramtop, std::int16_t auto_run,
                             const VerifyOptions& options) {
  if (ramtop < 0x4004 || ramtop > 0x10000)
    ThrowError("VerifyZX80Image: RAMTOP " + std::to_string(ramtop) + " out of range");
  const bool two_banks = image.size() > kBankSize;
  const int rom_bank = two_banks ? 1 : 0;
  BootMachine machine(image, CartridgeSetup{}, options);
  const bool arrived = machine.RunUntil([rom_bank](const BootMachine& m) {
    return IsRomEntry(m.PC()) && m.PresentedBank() == rom_bank;
  });

  VerifyResult result;
  result.t_states = machine.TStates();
  result.success_text = "ZX80 program in place";
  if (!arrived) {
    result.failure = NeverArrived("the ZX80 ROM (0x0747, 0x093D or 0x0283) with bank " +
                                      std::to_string(rom_bank) + " presented",
                                  machine);
    return result;
  }
  result.booted = true;

  StateComparison check("expected");
  // The 16K loader and the auto-run start CALL 0x0747; only the 32K plain start jumps to 0x0283.
  const bool calls = !two_banks || auto_run == 1;
  const std::uint16_t entry = calls ? kCallEntry : kPlainEntry;
  const Z80Registers r = machine.Registers();
  if (r.PC != entry) check.Add("ROM entered at " + HexWord(r.PC) + ", expected " + HexWord(entry));
  if (0x4000 + program.size() > 0x10000)
    ThrowError("VerifyZX80Image: a program of " + std::to_string(program.size()) +
               " bytes does not fit in RAM");
  check.CheckRam(machine, 0x4000, program);
  check.CheckWord("IY", r.IY, 0x4000);
  check.CheckByte("I", r.I, 0x0E);
  check.CheckNumber("interrupt mode", r.InterruptMode, 1);
  const auto pushed_at = static_cast<std::uint16_t>(ramtop - 2);
  // At 0x0747 the CALL's return address lies below the pushed 0x3FAA.
  check.CheckWord("SP", r.SP,
                  static_cast<std::uint16_t>(r.PC == kPlainEntry ? ramtop - 2 : ramtop - 4));
  check.CheckWord("word at " + HexWord(pushed_at), machine.PeekWord(pushed_at), 0x3FAA);
  result.mismatches = check.Lines();
  return result;
}

}  // namespace quillfen
