#include "support/z80_machine.h"

#include <algorithm>
#include <stdexcept>

namespace quillfen::testing {

Z80Machine::Z80Machine(const Bytes& image) : ram_(0x10000 - kBankSize, 0x00) {
  for (std::size_t start = 0; start < image.size(); start += kBankSize) {
    const std::size_t end = std::min(image.size(), start + kBankSize);
    Bytes bank(image.begin() + static_cast<std::ptrdiff_t>(start),
               image.begin() + static_cast<std::ptrdiff_t>(end));
    bank.resize(kBankSize, 0xFF);
    banks_.push_back(std::move(bank));
  }
  cpu_ = z80ex_create(&ReadMemory, this, &WriteMemory, this, &ReadPort, this, &WritePort, this,
                      &ReadInterruptVector, this);
  if (cpu_ == nullptr) throw std::runtime_error("z80ex_create failed");
  z80ex_reset(cpu_);
}

Z80Machine::~Z80Machine() { z80ex_destroy(cpu_); }

void Z80Machine::Step() {
  do {
    z80ex_step(cpu_);
  } while (z80ex_last_op_type(cpu_) != 0);
}

bool Z80Machine::RunUntil(const std::function<bool(const Z80Machine&)>& done, long limit) {
  for (long i = 0; i < limit; ++i) {
    if (done(*this)) return true;
    Step();
  }
  return done(*this);
}

bool Z80Machine::RunUntilPc(std::uint16_t pc, long limit) {
  return RunUntil([pc](const Z80Machine& m) { return m.Pc() == pc; }, limit);
}

std::uint16_t Z80Machine::Register(Z80_REG_T reg) const { return z80ex_get_reg(cpu_, reg); }

std::uint8_t Z80Machine::Peek(std::uint16_t address) const {
  if (address < kBankSize)
    return presented_ < banks_.size() ? banks_[presented_][address] : std::uint8_t{0xFF};
  return ram_[address - kBankSize];
}

std::uint16_t Z80Machine::PeekWord(std::uint16_t address) const {
  return static_cast<std::uint16_t>(Peek(address) | Peek(static_cast<std::uint16_t>(address + 1))
                                                        << 8);
}

Bytes Z80Machine::Ram(std::uint16_t address, std::size_t length) const {
  if (address < kBankSize || address - kBankSize + length > ram_.size())
    throw std::out_of_range("Z80Machine::Ram: outside RAM");
  const auto start = ram_.begin() + static_cast<std::ptrdiff_t>(address - kBankSize);
  return Bytes(start, start + static_cast<std::ptrdiff_t>(length));
}

Z80EX_BYTE Z80Machine::ReadMemory(Z80EX_CONTEXT*, Z80EX_WORD address, int, void* self) {
  return static_cast<Z80Machine*>(self)->Peek(address);
}

void Z80Machine::WriteMemory(Z80EX_CONTEXT*, Z80EX_WORD address, Z80EX_BYTE value, void* self) {
  auto& machine = *static_cast<Z80Machine*>(self);
  if (address >= kBankSize) machine.ram_[address - kBankSize] = value;
}

Z80EX_BYTE Z80Machine::ReadPort(Z80EX_CONTEXT*, Z80EX_WORD, void*) { return 0xFF; }

void Z80Machine::WritePort(Z80EX_CONTEXT*, Z80EX_WORD port, Z80EX_BYTE value, void* self) {
  static_cast<Z80Machine*>(self)->port_writes_.emplace_back(port, value);
}

Z80EX_BYTE Z80Machine::ReadInterruptVector(Z80EX_CONTEXT*, void*) { return 0xFF; }

}  // namespace quillfen::testing
