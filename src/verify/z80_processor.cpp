#include "verify/z80_processor.h"

#include <z80ex/z80ex.h>

namespace quillfen {

void Z80ProcessorDeleter::operator()(_z80_cpu_context* cpu) const { z80ex_destroy(cpu); }

Z80Registers ReadZ80Registers(_z80_cpu_context* cpu) {
  Z80Registers r;
  r.AF = z80ex_get_reg(cpu, regAF);
  r.BC = z80ex_get_reg(cpu, regBC);
  r.DE = z80ex_get_reg(cpu, regDE);
  r.HL = z80ex_get_reg(cpu, regHL);
  r.AFAlt = z80ex_get_reg(cpu, regAF_);
  r.BCAlt = z80ex_get_reg(cpu, regBC_);
  r.DEAlt = z80ex_get_reg(cpu, regDE_);
  r.HLAlt = z80ex_get_reg(cpu, regHL_);
  r.IX = z80ex_get_reg(cpu, regIX);
  r.IY = z80ex_get_reg(cpu, regIY);
  r.PC = z80ex_get_reg(cpu, regPC);
  r.SP = z80ex_get_reg(cpu, regSP);
  r.I = static_cast<std::uint8_t>(z80ex_get_reg(cpu, regI));
  // The refresh counter runs in the low seven bits; bit 7 keeps what LD R,A stored.
  r.R = static_cast<std::uint8_t>((z80ex_get_reg(cpu, regR) & 0x7F) |
                                  (z80ex_get_reg(cpu, regR7) & 0x80));
  r.InterruptMode = static_cast<std::uint8_t>(z80ex_get_reg(cpu, regIM));
  r.IFF1 = z80ex_get_reg(cpu, regIFF1) != 0;
  r.IFF2 = z80ex_get_reg(cpu, regIFF2) != 0;
  return r;
}

}  // namespace quillfen
