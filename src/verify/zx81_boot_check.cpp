// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify/zx81_boot_check.h"

#include <string>

#include "verify/boot_machine.h"
#include "verify/state_comparison.h"

namespace quillfen {
namespace {

constexpr std::uint16_t kRomEntry = 0x0207;  // where the ZX81 ROM takes over
constexpr int kRomBank = 1;
constexpr std::size_t kLongProgram = 16371;  // longer programs get RAMTOP raised by 16384

std::uint8_t Low(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint8_t High(std::int32_t value) { return static_cast<std::uint8_t>((value >> 8) & 0xFF); }

/// ZX81 RAM from 0x4000 as the ROM expects it: the system variables a program file does not
/// hold (ERR_NR, FLAGS, ERR_SP, RAMTOP, MODE, PPC), then the program.
Bytes ExpectedRam(const Bytes& program, std::int32_t ramtop) {
  Bytes ram = {
      0xFF,  // ERR_NR
      0x80,  // FLAGS
      Low(ramtop - 4),
      High(ramtop - 4),  // ERR_SP
      Low(ramtop),
      High(ramtop),  // RAMTOP
      0x00,          // MODE
      0xFE,
      0xFF,  // PPC
  };
  ram.insert(ram.end(), program.begin(), program.end());
  return ram;
}

}  // namespace

std::int32_t ZX81Ramtop(std::int32_t ram_size, std::size_t program_length) {
  return 16384 + ram_size + (program_length > kLongProgram ? 16384 : 0);
}

VerifyResult VerifyZX81Image(std::span<const std::uint8_t> image, const Bytes& program,
                             std::int32_t ramtop, const VerifyOptions& options) {
  if (ramtop < 0x4009 || ramtop > 0x10000)
    ThrowError("VerifyZX81Image: RAMTOP " + std::to_string(ramtop) + " out of range");
  BootMachine machine(image, CartridgeSetup{}, options);
  const bool arrived = machine.RunUntil(
      [](const BootMachine& m) { return m.PC() == kRomEntry && m.PresentedBank() == kRomBank; });

  VerifyResult result;
  result.t_states = machine.TStates();
  result.success_text = "ZX81 program and system variables in place";
  if (!arrived) {
    result.failure = NeverArrived("0x0207 with bank 1 presented", machine);
    return result;
  }
  result.booted = true;

  StateComparison check("expected");
  const Bytes ram = ExpectedRam(program, ramtop);
  if (0x4000 + ram.size() > 0x10000)
    ThrowError("VerifyZX81Image: a program of " + std::to_string(program.size()) +
               " bytes does not fit in RAM");
  check.CheckRam(machine, 0x4000, ram);
  const Z80Registers r = machine.Registers();
  check.CheckWord("IX", r.IX, 0x0281);
  check.CheckWord("IY", r.IY, 0x4000);
  check.CheckByte("I", r.I, 0x1E);
  check.CheckNumber("interrupt mode", r.InterruptMode, 1);
  check.CheckWord("AF'", r.AFAlt, 0x0044);  // XOR A leaves Z and P/V set
  const auto sp = static_cast<std::uint16_t>(ramtop - 4);
  check.CheckWord("SP", r.SP, sp);
  check.CheckWord("word at " + HexWord(sp + 2), machine.PeekWord(sp + 2), 0x3E00);
  check.CheckWord("word at " + HexWord(sp), machine.PeekWord(sp), 0x0676);
  result.mismatches = check.Lines();
  return result;
}

}  // namespace quillfen
