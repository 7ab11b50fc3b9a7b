// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify/frame_machine.h"

#include <z80ex/z80ex.h>

#include <algorithm>
#include <string>

#include "cartridge/error.h"

namespace quillfen {
namespace {

constexpr std::uint8_t kIdleBus = 0xFF;
constexpr std::uint8_t kJumpOpcode = 0xC3;  // JP nn

std::uint8_t LowByte(std::uint16_t word) { return static_cast<std::uint8_t>(word & 0xFF); }
std::uint8_t HighByte(std::uint16_t word) { return static_cast<std::uint8_t>(word >> 8); }

}  // namespace

/// The processor's view of the machine: memory and ports, each access logged.
struct FrameMachineBus {
  static std::uint8_t ReadMemory(_z80_cpu_context*, std::uint16_t address, int, void* self) {
    auto* machine = static_cast<FrameMachine*>(self);
    const std::uint8_t value = machine->memory_[address];
    machine->log_.Add({address, value, BusAccess::Kind::kRead});
    return value;
  }
  static void WriteMemory(_z80_cpu_context*, std::uint16_t address, std::uint8_t value,
                          void* self) {
    auto* machine = static_cast<FrameMachine*>(self);
    machine->log_.Add({address, value, BusAccess::Kind::kWrite});
    if (address >= FrameMachine::kRamStart) machine->memory_[address] = value;  // ROM ignores it
  }
  static std::uint8_t ReadPort(_z80_cpu_context* cpu, std::uint16_t port, void* self) {
    auto* machine = static_cast<FrameMachine*>(self);
    if (machine->ports_ == nullptr) return kIdleBus;
    return machine->ports_->Read(port, machine->IoTState(cpu));
  }
  static void WritePort(_z80_cpu_context* cpu, std::uint16_t port, std::uint8_t value,
                        void* self) {
    auto* machine = static_cast<FrameMachine*>(self);
    machine->log_.Add({port, value, BusAccess::Kind::kPortWrite});
    if (machine->ports_ != nullptr) machine->ports_->Write(port, value, machine->IoTState(cpu));
  }
  static std::uint8_t ReadInterruptVector(_z80_cpu_context*, void*) { return kIdleBus; }
};

FrameMachine::FrameMachine(Z80Processor processor, std::span<const std::uint8_t> memory,
                           std::uint64_t t_states)
    : t_states_(t_states), cpu_(std::move(processor)) {
  if (!cpu_) ThrowError("FrameMachine: no processor to run on");
  LoadMemory(memory);
  Attach();
}

FrameMachine::FrameMachine(std::span<const std::uint8_t> memory) {
  LoadMemory(memory);
  CreateProcessor();
}

FrameMachine::FrameMachine(const Z80Registers& r, std::uint16_t memptr,
                           std::span<const std::uint8_t> memory, std::uint64_t t_states) {
  LoadMemory(memory);
  CreateProcessor();
  auto* cpu = cpu_.get();

  // JP memptr, placed for one step in the three bytes below the program counter: a jump leaves
  // its target in MEMPTR and touches no flag. The bytes it covered are put back afterwards.
  const auto stub_at = static_cast<std::uint16_t>(r.PC - 3);
  const std::uint8_t stub[3] = {kJumpOpcode, LowByte(memptr), HighByte(memptr)};
  std::uint8_t covered[3];
  for (std::uint16_t i = 0; i < 3; ++i) {
    covered[i] = memory_[static_cast<std::uint16_t>(stub_at + i)];
    memory_[static_cast<std::uint16_t>(stub_at + i)] = stub[i];
  }
  z80ex_set_reg(cpu, regPC, stub_at);
  z80ex_step(cpu);
  for (std::uint16_t i = 0; i < 3; ++i)
    memory_[static_cast<std::uint16_t>(stub_at + i)] = covered[i];

  WriteZ80Registers(cpu, r);  // setting PC leaves MEMPTR alone
  t_states_ = t_states;
}

void FrameMachine::LoadMemory(std::span<const std::uint8_t> memory) {
  if (memory.size() != kMemorySize)
    ThrowError("FrameMachine: " + std::to_string(memory.size()) + " bytes of memory, not 65536");
  std::copy(memory.begin(), memory.end(), memory_.begin());
}

void FrameMachine::CreateProcessor() {
  cpu_.reset(z80ex_create(&FrameMachineBus::ReadMemory, this, &FrameMachineBus::WriteMemory, this,
                          &FrameMachineBus::ReadPort, this, &FrameMachineBus::WritePort, this,
                          &FrameMachineBus::ReadInterruptVector, this));
  if (!cpu_) ThrowError("FrameMachine: the Z80 emulation could not be created");
}

std::uint64_t FrameMachine::IoTState(_z80_cpu_context* cpu) const {
  return t_states_ + static_cast<std::uint64_t>(z80ex_op_tstate(cpu));
}

void FrameMachine::Skip(const Z80Registers& registers, std::uint64_t t_states) {
  if (!at_boundary_) ThrowError("FrameMachine: a skip inside an instruction");
  WriteZ80Registers(cpu_.get(), registers);
  t_states_ += t_states;
}

void FrameMachine::Attach() {
  auto* cpu = cpu_.get();
  z80ex_set_memread_callback(cpu, &FrameMachineBus::ReadMemory, this);
  z80ex_set_memwrite_callback(cpu, &FrameMachineBus::WriteMemory, this);
  z80ex_set_portread_callback(cpu, &FrameMachineBus::ReadPort, this);
  z80ex_set_portwrite_callback(cpu, &FrameMachineBus::WritePort, this);
  z80ex_set_intread_callback(cpu, &FrameMachineBus::ReadInterruptVector, this);
}

std::uint16_t FrameMachine::PC() const { return z80ex_get_reg(cpu_.get(), regPC); }

std::uint64_t FrameMachine::FlowRegisters() const {
  auto* cpu = cpu_.get();
  return static_cast<std::uint64_t>(z80ex_get_reg(cpu, regAF)) |
         static_cast<std::uint64_t>(z80ex_get_reg(cpu, regPC)) << 16 |
         static_cast<std::uint64_t>(z80ex_get_reg(cpu, regSP)) << 32 |
         static_cast<std::uint64_t>(z80ex_get_reg(cpu, regIFF1) & 1) << 48;
}

int FrameMachine::Step() {
  log_.count = 0;
  auto* cpu = cpu_.get();
  int t_states = 0;
  // INT is sampled at the end of an instruction; z80ex refuses it after EI and while IFF1 is 0.
  // It is accepted once per frame at most, so a handler shorter than the INT pulse is not
  // entered twice.
  const std::uint64_t frame = t_states_ / kFrameTStates;
  if (at_boundary_ && frame != interrupted_frame_ && t_states_ % kFrameTStates < kInterruptTStates)
    t_states = z80ex_int(cpu);
  last_was_interrupt_ = t_states != 0;
  if (last_was_interrupt_) interrupted_frame_ = frame;
  if (!last_was_interrupt_) {
    t_states = z80ex_step(cpu);
    at_boundary_ = z80ex_last_op_type(cpu) == 0;
  }
  t_states_ += static_cast<std::uint64_t>(t_states);
  return t_states;
}

}  // namespace quillfen
