// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify/z80_processor.h"

#include <z80ex/z80ex.h>

#include <utility>

namespace quillfen {
namespace {

constexpr std::pair<std::uint16_t Z80Registers::*, Z80_REG_T> kWordRegisters[] = {
    {&Z80Registers::AF, regAF},     {&Z80Registers::BC, regBC},     {&Z80Registers::DE, regDE},
    {&Z80Registers::HL, regHL},     {&Z80Registers::AFAlt, regAF_}, {&Z80Registers::BCAlt, regBC_},
    {&Z80Registers::DEAlt, regDE_}, {&Z80Registers::HLAlt, regHL_}, {&Z80Registers::IX, regIX},
    {&Z80Registers::IY, regIY},     {&Z80Registers::PC, regPC},     {&Z80Registers::SP, regSP}};

}  // namespace

void Z80ProcessorDeleter::operator()(_z80_cpu_context* cpu) const { z80ex_destroy(cpu); }

Z80Registers ReadZ80Registers(_z80_cpu_context* cpu) {
  Z80Registers r;
  for (const auto& [field, reg] : kWordRegisters) r.*field = z80ex_get_reg(cpu, reg);
  r.I = static_cast<std::uint8_t>(z80ex_get_reg(cpu, regI));
  // The refresh counter runs in the low seven bits; bit 7 keeps what LD R,A stored.
  r.R = static_cast<std::uint8_t>((z80ex_get_reg(cpu, regR) & 0x7F) |
                                  (z80ex_get_reg(cpu, regR7) & 0x80));
  r.InterruptMode = static_cast<std::uint8_t>(z80ex_get_reg(cpu, regIM));
  r.IFF1 = z80ex_get_reg(cpu, regIFF1) != 0;
  r.IFF2 = z80ex_get_reg(cpu, regIFF2) != 0;
  return r;
}

void WriteZ80Registers(_z80_cpu_context* cpu, const Z80Registers& r) {
  for (const auto& [field, reg] : kWordRegisters) z80ex_set_reg(cpu, reg, r.*field);
  z80ex_set_reg(cpu, regI, r.I);
  z80ex_set_reg(cpu, regR, r.R & 0x7F);
  z80ex_set_reg(cpu, regR7, r.R & 0x80);
  z80ex_set_reg(cpu, regIM, r.InterruptMode);
  z80ex_set_reg(cpu, regIFF1, r.IFF1 ? 1 : 0);
  z80ex_set_reg(cpu, regIFF2, r.IFF2 ? 1 : 0);
}

}  // namespace quillfen
