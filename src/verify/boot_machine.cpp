// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify/boot_machine.h"

#include <z80ex/z80ex.h>

#include <random>
#include <string>

namespace quillfen {
namespace {

constexpr std::uint16_t kRamStart = 0x4000;

/// The 128K machine decodes its paging port from A15 and A1 low, the ULA from A0 low.
bool IsPagingPort(std::uint16_t port) { return (port & 0x8002) == 0; }
bool IsUlaPort(std::uint16_t port) { return (port & 0x0001) == 0; }

}  // namespace

BootMachine::BootMachine(std::span<const std::uint8_t> image, const CartridgeSetup& setup,
                         const VerifyOptions& options)
    : image_(image.begin(), image.end()), options_(options) {
  if (image_.empty()) ThrowError("BootMachine: the cartridge image is empty");
  if (options_.dwell_t_states == 0) ThrowError("BootMachine: a bank dwell of 0 T-states");
  bank_count_ = (image_.size() + kBankSize - 1) / kBankSize;
  image_.resize(bank_count_ * kBankSize, 0xFF);
  if (setup.start_bank >= bank_count_)
    ThrowError("BootMachine: start bank " + std::to_string(setup.start_bank) + " of " +
               std::to_string(bank_count_));
  internal_rom_ = setup.internal_rom;
  internal_rom_.resize(kBankSize, 0xFF);

  std::vector<int> order;
  for (std::size_t bank = 0; bank < bank_count_; ++bank) order.push_back(static_cast<int>(bank));
  if (setup.internal_rom_slot) order.push_back(kInternalRom);
  for (std::size_t i = 0; i < order.size(); ++i)
    cycle_.push_back(order[(setup.start_bank + i) % order.size()]);

  std::mt19937 random(options_.ram_seed);
  for (Bytes& page : ram_) {
    page.resize(kBankSize);
    for (std::uint8_t& byte : page) byte = static_cast<std::uint8_t>(random());
  }

  cpu_.reset(z80ex_create(&BootMachine::ReadMemory, this, &BootMachine::WriteMemory, this,
                          &BootMachine::ReadPort, this, &BootMachine::WritePort, this,
                          &BootMachine::ReadInterruptVector, this));
  if (!cpu_) ThrowError("BootMachine: the Z80 emulation could not be created");
}

BootMachine::~BootMachine() = default;

bool BootMachine::RunUntil(const std::function<bool(const BootMachine&)>& arrived) {
  if (!cpu_) ThrowError("BootMachine: the processor was handed over");
  bool at_boundary = true;
  for (;;) {
    if (at_boundary && arrived(*this)) return true;
    if (t_states_ > options_.t_state_limit) return false;
    t_states_ += static_cast<std::uint64_t>(z80ex_step(cpu_.get()));
    // A DD, FD, CB or ED prefix is a step of its own; the instruction ends after its opcode.
    at_boundary = z80ex_last_op_type(cpu_.get()) == 0;
  }
}

Z80Registers BootMachine::Registers() const { return ReadZ80Registers(cpu_.get()); }

std::uint16_t BootMachine::PC() const { return z80ex_get_reg(cpu_.get(), regPC); }

int BootMachine::PresentedBank() const {
  return cycle_[(t_states_ / options_.dwell_t_states) % cycle_.size()];
}

std::size_t BootMachine::RamPageAt(std::uint16_t address) const {
  switch (address / kBankSize) {
    case 1:
      return 5;
    case 2:
      return 2;
    default:
      return paging_port_ & 0x07;
  }
}

std::uint8_t BootMachine::Peek(std::uint16_t address) const {
  if (address >= kRamStart) return ram_[RamPageAt(address)][address % kBankSize];
  const int bank = PresentedBank();
  if (bank == kInternalRom) return internal_rom_[address];
  return image_[static_cast<std::size_t>(bank) * kBankSize + address];
}

std::uint16_t BootMachine::PeekWord(std::uint16_t address) const {
  return static_cast<std::uint16_t>(Peek(address) | Peek(static_cast<std::uint16_t>(address + 1))
                                                        << 8);
}

std::uint8_t BootMachine::ReadMemory(_z80_cpu_context*, std::uint16_t address, int, void* self) {
  return static_cast<BootMachine*>(self)->Peek(address);
}

void BootMachine::WriteMemory(_z80_cpu_context*, std::uint16_t address, std::uint8_t value,
                              void* self) {
  auto* machine = static_cast<BootMachine*>(self);
  if (address < kRamStart) return;  // the cartridge is read-only
  machine->ram_[machine->RamPageAt(address)][address % kBankSize] = value;
}

std::uint8_t BootMachine::ReadPort(_z80_cpu_context*, std::uint16_t, void*) {
  return 0xFF;  // no key pressed, nothing attached
}

void BootMachine::WritePort(_z80_cpu_context*, std::uint16_t port, std::uint8_t value, void* self) {
  auto* machine = static_cast<BootMachine*>(self);
  if (IsUlaPort(port)) machine->border_ = value & 0x07;
  if (IsPagingPort(port) && !machine->PagingLocked()) machine->paging_port_ = value;
}

std::uint8_t BootMachine::ReadInterruptVector(_z80_cpu_context*, void*) { return 0xFF; }

}  // namespace quillfen
