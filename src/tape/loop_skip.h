// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "tape/tape_signal.h"
#include "verify/frame_machine.h"

namespace quillfen::tape {

/// What the skipper must know about the moment and the signal.
struct SkipBounds {
  std::uint16_t previous_pc = 0;  // the instruction executed last
  bool previous_known = false;    // false after an interrupt or at the start
  std::uint64_t last_ear_read = 0;  // absolute T-state of the last read of port 0xFE
  std::uint64_t next_ear_change = 0;  // absolute T-state of the first EAR change after it
  std::uint64_t deadline = 0;  // no instruction boundary at or after this may be passed over
  std::optional<std::uint16_t> stop_address;  // never skipped over
};

/// Runs the two loops through which tape loaders spend nearly all their time in one go, with
/// exactly the result of running them instruction by instruction (registers, flags, R, T-states):
///  - the edge sampling loop INC B / RET Z / LD A,n / IN A,(0FEh) / RRA / RET NC / XOR C /
///    AND 20h / JR Z,loop (59 T-states a turn) while the EAR bit stays as it was and B does not
///    wrap, once a turn has run in full (so A is 0, the flags those of AND giving 0, the last
///    jump back set the hidden address latch) and no key is down (the caller's duty);
///  - the delay loop DEC A / JR NZ,loop (16 T-states a turn) down to A = 2, so that the last
///    turns, which set the flags, run for real.
/// Only with interrupts disabled. Returns true when it moved the machine on.
bool SkipWaitingLoop(FrameMachine& machine, const SkipBounds& bounds);

}  // namespace quillfen::tape
