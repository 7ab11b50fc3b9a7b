// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "verify/frame_machine.h"
#include "verify/state_comparison.h"
#include "verify/verify_result.h"

namespace quillfen {

/// RAM the two machines may hold differently from the start: bytes there are not compared while
/// each machine still holds the value it had at the resume (a write to them is still compared
/// step by step).
struct RamAllowance {
  std::optional<AddressRange> area;
};

/// Runs `cartridge` and `reference`, which stand at the same instant, step by step for `frames`
/// frames of T-states and stops at the first step whose T-states, bus accesses (address, value
/// and kind of every memory read and write and port write) or registers differ (AF, PC, SP and
/// IFF1 after every step, all of them at the start, at every interrupt and every frame). RAM
/// 0x4000-0xFFFF is compared at the start, at every frame interrupt and at the end.
RunReport CompareRuns(FrameMachine& cartridge, FrameMachine& reference, std::uint64_t frames,
                      const RamAllowance& allowance = {});

/// What parted the runs: "LD A,(HL)" (the instruction at the divergence's PC), "the frame
/// interrupt", or "" for a RAM comparison. z80ex's disassembler works in a static buffer, so
/// this runs on one thread at a time: the front end names instructions on its own thread.
std::string InstructionText(const RunDivergence& divergence);

}  // namespace quillfen
