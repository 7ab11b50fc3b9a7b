// SPDX-License-Identifier: GPL-3.0-or-later
// The waiting loops run in one go against the same loops run instruction by instruction, for
// every deadline over a stretch of edges, delays and B wrapping round.
#include "tape/loop_skip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cartridge/bytes.h"

namespace quillfen::tape {
namespace {

// An edge routine as loaders use it, called for ever; each return flips the level kept in C.
// clang-format off
const Bytes kCode = {
    0xF3, 0x31, 0x00, 0xF0,        // 0000 DI ; LD SP,F000h
    0x0E, 0x00,                    // 0004 LD C,0
    0x06, 0x00,                    // 0006 LD B,0
    0xCD, 0x10, 0x00,              // 0008 CALL 0010h
    0x79, 0x2F, 0x4F,              // 000B LD A,C ; CPL ; LD C,A
    0x18, 0xF6,                    // 000E JR 0006h
    0x3E, 0x05, 0x3D, 0x20, 0xFD,  // 0010 LD A,5 ; DEC A ; JR NZ,0012h
    0x04, 0xC8, 0x3E, 0x7F,        // 0015 INC B ; RET Z ; LD A,7Fh
    0xDB, 0xFE, 0x1F, 0xD0,        //      IN A,(FEh) ; RRA ; RET NC
    0xA9, 0xE6, 0x20, 0x28, 0xF3,  //      XOR C ; AND 20h ; JR Z,0015h
    0xC9};                         // 0022 RET
// clang-format on

/// EAR changes at the given times; no key is down.
class Ear final : public FramePorts {
 public:
  explicit Ear(std::vector<std::uint64_t> changes) : changes_(std::move(changes)) {}
  std::uint8_t Read(std::uint16_t, std::uint64_t t) override {
    last_read = t;
    const auto passed = std::upper_bound(changes_.begin(), changes_.end(), t) - changes_.begin();
    return (passed & 1) ? 0xFF : 0xBF;
  }
  void Write(std::uint16_t, std::uint8_t, std::uint64_t) override {}
  std::uint64_t NextChange() const {
    const auto next = std::upper_bound(changes_.begin(), changes_.end(), last_read);
    return next == changes_.end() ? kNever : *next;
  }
  std::uint64_t last_read = 0;

 private:
  std::vector<std::uint64_t> changes_;
};

Bytes Memory() {
  Bytes memory(FrameMachine::kMemorySize, 0);
  std::copy(kCode.begin(), kCode.end(), memory.begin());
  return memory;
}

struct Outcome {
  Z80Registers registers;
  std::uint64_t t_states;
};

Outcome RunTo(std::uint64_t deadline, bool skip, const std::vector<std::uint64_t>& changes) {
  FrameMachine machine(Memory());
  Ear ear(changes);
  machine.AttachPorts(&ear);
  SkipBounds bounds;
  bounds.deadline = deadline;
  while (!machine.AtInstructionBoundary() || machine.TStates() < deadline) {
    if (skip && machine.AtInstructionBoundary()) {
      bounds.last_ear_read = ear.last_read;
      bounds.next_ear_change = ear.NextChange();
      const std::uint16_t pc = machine.PC();
      if (SkipWaitingLoop(machine, bounds)) {
        bounds.previous_known = false;
        continue;
      }
      bounds.previous_pc = pc;
    }
    machine.Step();
    bounds.previous_known = machine.AtInstructionBoundary();
  }
  return {machine.Registers(), machine.TStates()};
}

TEST(LoopSkip, EveryDeadlineMeetsTheSameMachineAsStepping) {
  // Pulses of pilot, sync and bit lengths, then none: B wraps round.
  const std::vector<std::uint64_t> changes = {2168, 4336, 5003, 5738, 6593, 7448, 9158, 10868};
  for (std::uint64_t deadline = 0; deadline < 30000; deadline += 3) {
    const Outcome stepped = RunTo(deadline, false, changes);
    const Outcome skipped = RunTo(deadline, true, changes);
    ASSERT_EQ(skipped.t_states, stepped.t_states) << deadline;
    ASSERT_EQ(skipped.registers, stepped.registers) << deadline;
  }
}

TEST(LoopSkip, StopsShortOfTheStopAddressAndOnlyWithInterruptsOff) {
  // A stop address inside the sampling loop, or interrupts on, leave nothing to skip.
  for (const bool interrupts_on : {false, true}) {
    FrameMachine machine(Memory());
    Ear ear({});
    machine.AttachPorts(&ear);
    while (machine.PC() != 0x0012) machine.Step();  // at DEC A, A = 5
    Z80Registers r = machine.Registers();
    r.IFF1 = interrupts_on;
    machine.Skip(r, 0);
    SkipBounds bounds;
    bounds.deadline = kNever;
    bounds.stop_address = 0x0014;  // JR NZ
    EXPECT_FALSE(SkipWaitingLoop(machine, bounds));
    bounds.stop_address.reset();
    EXPECT_EQ(SkipWaitingLoop(machine, bounds), !interrupts_on);
  }
}

}  // namespace
}  // namespace quillfen::tape
