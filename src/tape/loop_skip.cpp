// SPDX-License-Identifier: GPL-3.0-or-later
#include "tape/loop_skip.h"

#include <algorithm>
#include <array>

namespace quillfen::tape {
namespace {

// The sampling loop; byte 3 (LD A,n's operand, the half-row) may be anything.
constexpr std::array<std::uint8_t, 13> kSampleLoop = {0x04, 0xC8, 0x3E, 0x00, 0xDB, 0xFE, 0x1F,
                                                      0xD0, 0xA9, 0xE6, 0x20, 0x28, 0xF3};
constexpr std::size_t kSampleLoopAnyByte = 3;
constexpr std::uint16_t kSampleLoopJumpOffset = 11;
constexpr std::uint64_t kSampleTurn = 59;
constexpr int kSampleTurnFetches = 9;  // opcode fetches a turn, each one step of R

constexpr std::array<std::uint8_t, 3> kDelayLoop = {0x3D, 0x20, 0xFD};
constexpr std::uint64_t kDelayTurn = 16;
constexpr int kDelayTurnFetches = 2;
constexpr unsigned kDelayLeftToRun = 2;

constexpr std::uint64_t kIff1Bit = std::uint64_t{1} << 48;

template <std::size_t N>
bool CodeAt(const FrameMachine& machine, std::uint16_t pc, const std::array<std::uint8_t, N>& code,
            std::size_t any_byte = N) {
  for (std::size_t i = 0; i < N; ++i)
    if (i != any_byte && machine.Peek(static_cast<std::uint16_t>(pc + i)) != code[i]) return false;
  return true;
}

bool StopInside(const SkipBounds& bounds, std::uint16_t pc, std::size_t length) {
  return bounds.stop_address && static_cast<std::uint16_t>(*bounds.stop_address - pc) < length;
}

std::uint8_t AdvanceR(std::uint8_t r, std::uint64_t fetches) {
  return static_cast<std::uint8_t>((r & 0x80) | ((r + fetches) & 0x7F));
}

bool SkipSampleLoop(FrameMachine& machine, std::uint16_t pc, const SkipBounds& bounds) {
  if (!bounds.previous_known ||
      bounds.previous_pc != static_cast<std::uint16_t>(pc + kSampleLoopJumpOffset) ||
      !CodeAt(machine, pc, kSampleLoop, kSampleLoopAnyByte) ||
      StopInside(bounds, pc, kSampleLoop.size()))
    return false;
  Z80Registers r = machine.Registers();
  const std::uint64_t now = machine.TStates();
  const unsigned b = r.BC >> 8;
  // Turn i reads the port at last_ear_read + 59 (i + 1); it stays in the loop while that read
  // comes before the next change and its INC B does not reach 0.
  std::uint64_t turns = 255 - b;
  if (bounds.next_ear_change != kNever) {
    if (bounds.next_ear_change <= bounds.last_ear_read) return false;
    turns = std::min(turns, (bounds.next_ear_change - bounds.last_ear_read - 1) / kSampleTurn);
  }
  if (bounds.deadline <= now) return false;
  turns = std::min(turns, (bounds.deadline - now) / kSampleTurn);
  if (turns == 0) return false;
  r.BC = static_cast<std::uint16_t>(((b + turns) << 8) | (r.BC & 0xFF));
  r.R = AdvanceR(r.R, turns * kSampleTurnFetches);
  machine.Skip(r, turns * kSampleTurn);
  return true;
}

bool SkipDelayLoop(FrameMachine& machine, std::uint16_t pc, const SkipBounds& bounds) {
  if (!CodeAt(machine, pc, kDelayLoop) || StopInside(bounds, pc, kDelayLoop.size())) return false;
  Z80Registers r = machine.Registers();
  const unsigned a = (r.AF >> 8) == 0 ? 256 : r.AF >> 8;
  const std::uint64_t now = machine.TStates();
  if (a <= kDelayLeftToRun || bounds.deadline <= now) return false;
  // The skip leaves the flags as they were; the DEC A that follows sets them before the deadline.
  const std::uint64_t turns =
      std::min<std::uint64_t>(a - kDelayLeftToRun, (bounds.deadline - now - 1) / kDelayTurn);
  if (turns == 0) return false;
  r.AF = static_cast<std::uint16_t>(((a - turns) << 8) | (r.AF & 0xFF));
  r.R = AdvanceR(r.R, turns * kDelayTurnFetches);
  machine.Skip(r, turns * kDelayTurn);
  return true;
}

}  // namespace

bool SkipWaitingLoop(FrameMachine& machine, const SkipBounds& bounds) {
  if ((machine.FlowRegisters() & kIff1Bit) != 0) return false;
  const std::uint16_t pc = machine.PC();
  switch (machine.Peek(pc)) {
    case kSampleLoop[0]:
      return SkipSampleLoop(machine, pc, bounds);
    case kDelayLoop[0]:
      return SkipDelayLoop(machine, pc, bounds);
    default:
      return false;
  }
}

}  // namespace quillfen::tape
