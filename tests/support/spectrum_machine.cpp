#include "support/spectrum_machine.h"

#include <z80ex/z80ex.h>

#include <algorithm>
#include <stdexcept>

namespace quillfen::testing {

SpectrumMachine::SpectrumMachine(std::vector<Bytes> banks, std::size_t first_bank,
                                 std::size_t patience)
    : banks_(std::move(banks)), shown_(first_bank), patience_(patience), ram_(0xC000) {
  for (const Bytes& bank : banks_)
    if (bank.size() != kBankSize) throw std::invalid_argument("SpectrumMachine: bank not 16K");
  if (shown_ >= banks_.size()) throw std::invalid_argument("SpectrumMachine: no such bank");
  std::uint32_t state = 0x9E3779B9u;
  for (auto& byte : ram_) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  cpu_ = z80ex_create(&ReadCallback, this, &WriteCallback, this, &InCallback, this, &OutCallback,
                      this, &InterruptVectorCallback, this);
}

SpectrumMachine::~SpectrumMachine() { z80ex_destroy(cpu_); }

void SpectrumMachine::LoadRam(int address, const Bytes& bytes) {
  if (address < static_cast<int>(kBankSize) || address - kBankSize + bytes.size() > ram_.size())
    throw std::invalid_argument("SpectrumMachine::LoadRam: outside RAM");
  std::copy(bytes.begin(), bytes.end(), ram_.begin() + (address - static_cast<int>(kBankSize)));
}

bool SpectrumMachine::RunUntil(int pc, std::size_t max_steps) {
  for (std::size_t step = 0; step < max_steps; ++step) {
    z80ex_step(cpu_);
    if (z80ex_last_op_type(cpu_) == 0 && z80ex_get_reg(cpu_, regPC) == pc) return true;
  }
  return false;
}

Z80Registers SpectrumMachine::Registers() const {
  auto reg = [this](Z80_REG_T r) { return static_cast<int>(z80ex_get_reg(cpu_, r)); };
  return Z80Registers{reg(regAF),       reg(regBC),
                      reg(regDE),       reg(regHL),
                      reg(regIX),       reg(regIY),
                      reg(regAF_),      reg(regBC_),
                      reg(regDE_),      reg(regHL_),
                      reg(regPC),       reg(regSP),
                      reg(regI),        (reg(regR) & 0x7F) | (reg(regR7) & 0x80),
                      reg(regIM),       reg(regIFF1) != 0,
                      reg(regIFF2) != 0};
}

std::uint8_t SpectrumMachine::Read(std::uint16_t address) {
  if (address >= kBankSize) return ram_[address - kBankSize];
  std::uint8_t value = banks_[shown_][address];
  if (address == 0) {
    ++reads_of_zero_;
    if (flicker_period_ != 0 && reads_of_zero_ % flicker_period_ == 0) value ^= 0xFF;
    if (reads_of_zero_ >= patience_) {  // the next bank comes round
      shown_ = (shown_ + 1) % banks_.size();
      reads_of_zero_ = 0;
    }
  }
  return value;
}

void SpectrumMachine::Write(std::uint16_t address, std::uint8_t value) {
  if (address >= kBankSize)
    ram_[address - kBankSize] = value;
  else
    ++rom_writes_;
}

void SpectrumMachine::Out(std::uint16_t port, std::uint8_t value) {
  if (port == 0x7FFD)
    paging_writes_.push_back(value);
  else if ((port & 0x01) == 0)
    border_writes_.push_back(value);
}

std::uint8_t SpectrumMachine::ReadCallback(Z80EX_CONTEXT*, std::uint16_t address, int,
                                           void* machine) {
  return static_cast<SpectrumMachine*>(machine)->Read(address);
}

void SpectrumMachine::WriteCallback(Z80EX_CONTEXT*, std::uint16_t address, std::uint8_t value,
                                    void* machine) {
  static_cast<SpectrumMachine*>(machine)->Write(address, value);
}

std::uint8_t SpectrumMachine::InCallback(Z80EX_CONTEXT*, std::uint16_t, void*) { return 0xFF; }

void SpectrumMachine::OutCallback(Z80EX_CONTEXT*, std::uint16_t port, std::uint8_t value,
                                  void* machine) {
  static_cast<SpectrumMachine*>(machine)->Out(port, value);
}

std::uint8_t SpectrumMachine::InterruptVectorCallback(Z80EX_CONTEXT*, void*) { return 0xFF; }

}  // namespace quillfen::testing
