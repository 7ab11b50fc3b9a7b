#include "support/zx80_machine.h"

#include <algorithm>

namespace quillfen::testing {

ZX80Machine::ZX80Machine(std::span<const std::uint8_t> bank)
    : bank_(bank),
      cpu_(z80ex_create(&ReadMemory, this, &WriteMemory, this, &ReadPort, this, &WritePort, this,
                        &ReadInterruptVector, this)) {
  z80ex_reset(cpu_);
}

ZX80Machine::~ZX80Machine() { z80ex_destroy(cpu_); }

bool ZX80Machine::RunUntil(std::initializer_list<std::uint16_t> stops, long max_instructions) {
  for (long i = 0; i < max_instructions; ++i) {
    z80ex_step(cpu_);
    if (std::find(stops.begin(), stops.end(), Register(regPC)) != stops.end()) return true;
  }
  return false;
}

bool ZX80Machine::RunUntilInRam(long max_instructions) {
  for (long i = 0; i < max_instructions; ++i) {
    z80ex_step(cpu_);
    if (Register(regPC) >= 0x4000) return true;
  }
  return false;
}

void ZX80Machine::Run(long instructions) {
  for (long i = 0; i < instructions; ++i) z80ex_step(cpu_);
}

std::uint16_t ZX80Machine::Register(Z80_REG_T reg) const { return z80ex_get_reg(cpu_, reg); }

std::uint8_t ZX80Machine::Memory(std::uint16_t address) const {
  if (address < 0x4000) return address < bank_.size() ? bank_[address] : 0xFF;
  return memory_[address];
}

std::uint16_t ZX80Machine::MemoryWord(std::uint16_t address) const {
  return static_cast<std::uint16_t>(Memory(address) |
                                    Memory(static_cast<std::uint16_t>(address + 1)) << 8);
}

std::span<const std::uint8_t> ZX80Machine::Ram(std::uint16_t address, std::size_t length) const {
  return std::span<const std::uint8_t>(memory_).subspan(address, length);
}

Z80EX_BYTE ZX80Machine::ReadMemory(Z80EX_CONTEXT*, Z80EX_WORD address, int, void* machine) {
  return static_cast<ZX80Machine*>(machine)->Memory(address);
}

void ZX80Machine::WriteMemory(Z80EX_CONTEXT*, Z80EX_WORD address, Z80EX_BYTE value, void* machine) {
  if (address >= 0x4000) static_cast<ZX80Machine*>(machine)->memory_[address] = value;
}

Z80EX_BYTE ZX80Machine::ReadPort(Z80EX_CONTEXT*, Z80EX_WORD, void*) { return 0xFF; }

void ZX80Machine::WritePort(Z80EX_CONTEXT*, Z80EX_WORD port, Z80EX_BYTE value, void* machine) {
  static_cast<ZX80Machine*>(machine)->port_writes_.emplace_back(port, value);
}

Z80EX_BYTE ZX80Machine::ReadInterruptVector(Z80EX_CONTEXT*, void*) { return 0xFF; }

}  // namespace quillfen::testing
