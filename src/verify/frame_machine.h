// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "verify/z80_processor.h"

namespace quillfen {

/// One memory read, memory write or port write made by a step.
struct BusAccess {
  enum class Kind : std::uint8_t { kRead, kWrite, kPortWrite };
  std::uint16_t address = 0;
  std::uint8_t value = 0;
  Kind kind = Kind::kRead;

  bool operator==(const BusAccess&) const = default;
};

/// The accesses of one step, in order, in a fixed buffer: no step of the Z80 makes more than a
/// handful, so a longer log only keeps its count.
struct StepLog {
  static constexpr std::size_t kCapacity = 16;
  std::array<BusAccess, kCapacity> accesses{};
  std::size_t count = 0;

  void Add(const BusAccess& access) {
    if (count < kCapacity) accesses[count] = access;
    ++count;
  }
  std::size_t Kept() const { return count < kCapacity ? count : kCapacity; }
};

/// What sits on the ports of a FrameMachine: the keyboard and the tape's EAR signal, say. Each
/// access comes with the absolute T-state of its I/O cycle.
class FramePorts {
 public:
  virtual std::uint8_t Read(std::uint16_t port, std::uint64_t t_state) = 0;
  virtual void Write(std::uint16_t port, std::uint8_t value, std::uint64_t t_state) = 0;

 protected:
  ~FramePorts() = default;
};

/// A 48K Spectrum seen by its program: 16 KB of ROM (never written) and 48 KB of RAM in one flat
/// map, a maskable interrupt held for the first 32 T-states of each 69888 T-state frame and
/// accepted at most once in it, every
/// port reading 0xFF (no key pressed, an idle floating bus) unless FramePorts are attached, and
/// 0xFF on the bus during interrupt acknowledge. Memory is uncontended. Each step (one opcode or
/// one interrupt acceptance) logs its accesses.
class FrameMachine {
 public:
  static constexpr std::uint64_t kFrameTStates = 69888;
  static constexpr std::uint64_t kInterruptTStates = 32;
  static constexpr std::size_t kMemorySize = 0x10000;
  static constexpr std::uint16_t kRamStart = 0x4000;

  /// Runs on with `processor` as it stands (its callbacks now point here), `memory` (64 KB) and
  /// the absolute T-state count `t_states`, which places the frame interrupts.
  FrameMachine(Z80Processor processor, std::span<const std::uint8_t> memory,
               std::uint64_t t_states);
  /// A new processor loaded with `registers`, whose internal address latch (MEMPTR) is set to
  /// `memptr` by executing JP `memptr` from just below the program counter; T-states and R are
  /// then put back, so the jump leaves no other trace.
  FrameMachine(const Z80Registers& registers, std::uint16_t memptr,
               std::span<const std::uint8_t> memory, std::uint64_t t_states);
  /// A new processor as at power-on (PC 0, interrupts off, IM 0) at T-state 0.
  explicit FrameMachine(std::span<const std::uint8_t> memory);
  ~FrameMachine() = default;
  FrameMachine(const FrameMachine&) = delete;
  FrameMachine& operator=(const FrameMachine&) = delete;

  /// Accepts the frame interrupt when it is due and allowed, else executes one opcode (a DD, FD,
  /// CB or ED prefix is an opcode of its own). Returns its T-states.
  int Step();

  /// Port accesses go to `ports` (not owned; nullptr: reads give 0xFF) from the next step on.
  void AttachPorts(FramePorts* ports) { ports_ = ports; }

  /// Moves on as if instructions taking `t_states` had run and left `registers`, without
  /// running them: for the caller that knows what a loop does and that it touches no memory,
  /// no port and meets no interrupt. Only at an instruction boundary.
  void Skip(const Z80Registers& registers, std::uint64_t t_states);

  /// The log and kind of the last step.
  const StepLog& Log() const { return log_; }
  bool LastStepWasInterrupt() const { return last_was_interrupt_; }
  /// False after a prefix: the instruction goes on in the next step.
  bool AtInstructionBoundary() const { return at_boundary_; }

  Z80Registers Registers() const { return ReadZ80Registers(cpu_.get()); }
  /// The registers a step can part in without its bus accesses parting too: AF (the flags show
  /// hidden latches such as MEMPTR), PC, SP, and IFF1 in bit 16. Cheap enough for every step.
  std::uint64_t FlowRegisters() const;
  std::uint16_t PC() const;
  std::uint64_t TStates() const { return t_states_; }
  std::span<const std::uint8_t> Memory() const { return memory_; }
  std::uint8_t Peek(std::uint16_t address) const { return memory_[address]; }

 private:
  friend struct FrameMachineBus;  // the processor's callbacks

  void LoadMemory(std::span<const std::uint8_t> memory);
  void CreateProcessor();
  void Attach();
  /// The absolute T-state of the I/O cycle of the port access being made.
  std::uint64_t IoTState(_z80_cpu_context* cpu) const;

  std::array<std::uint8_t, kMemorySize> memory_{};
  std::uint64_t t_states_ = 0;
  StepLog log_;
  bool at_boundary_ = true;
  bool last_was_interrupt_ = false;
  std::uint64_t interrupted_frame_ = ~std::uint64_t{0};  // the frame whose interrupt was taken
  FramePorts* ports_ = nullptr;
  Z80Processor cpu_;
};

}  // namespace quillfen
