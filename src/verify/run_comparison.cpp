// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify/run_comparison.h"

#include <z80ex/z80ex_dasm.h>

#include <algorithm>
#include <vector>

namespace quillfen {
namespace {

constexpr std::uint64_t kFrame = FrameMachine::kFrameTStates;

const char* Verb(BusAccess::Kind kind) {
  switch (kind) {
    case BusAccess::Kind::kRead:
      return "reads";
    case BusAccess::Kind::kWrite:
      return "writes";
    case BusAccess::Kind::kPortWrite:
      break;
  }
  return "writes port";
}

// "reads 0x21 from 0xA67D where the snapshot reads 0x00", or where the accesses themselves
// differ, "reads 0x8000 where the snapshot writes 0x8001".
std::string AccessDifference(const BusAccess& c, const BusAccess& r,
                             std::optional<std::uint16_t>& read_address) {
  if (c.kind == r.kind && c.address == r.address) {
    if (c.kind == BusAccess::Kind::kRead) {
      read_address = c.address;
      return "reads " + HexByte(c.value) + " from " + HexWord(c.address) +
             " where the snapshot reads " + HexByte(r.value);
    }
    const std::string place =
        (c.kind == BusAccess::Kind::kWrite ? " to " : " to port ") + HexWord(c.address);
    return "writes " + HexByte(c.value) + place + " where the snapshot writes " + HexByte(r.value);
  }
  return std::string(Verb(c.kind)) + " " + HexWord(c.address) + " where the snapshot " +
         Verb(r.kind) + " " + HexWord(r.address);
}

std::string LogDifference(const StepLog& c, const StepLog& r,
                          std::optional<std::uint16_t>& read_address) {
  const std::size_t kept = std::min(c.Kept(), r.Kept());
  for (std::size_t i = 0; i < kept; ++i) {
    if (c.accesses[i] != r.accesses[i])
      return AccessDifference(c.accesses[i], r.accesses[i], read_address);
  }
  if (c.count != r.count)
    return "makes " + std::to_string(c.count) + " bus accesses where the snapshot makes " +
           std::to_string(r.count);
  return "";
}

std::string RegisterDifferences(const Z80Registers& c, const Z80Registers& r) {
  StateComparison check("snapshot has");
  check.CheckWord("AF", c.AF, r.AF);
  check.CheckWord("BC", c.BC, r.BC);
  check.CheckWord("DE", c.DE, r.DE);
  check.CheckWord("HL", c.HL, r.HL);
  check.CheckWord("AF'", c.AFAlt, r.AFAlt);
  check.CheckWord("BC'", c.BCAlt, r.BCAlt);
  check.CheckWord("DE'", c.DEAlt, r.DEAlt);
  check.CheckWord("HL'", c.HLAlt, r.HLAlt);
  check.CheckWord("IX", c.IX, r.IX);
  check.CheckWord("IY", c.IY, r.IY);
  check.CheckWord("PC", c.PC, r.PC);
  check.CheckWord("SP", c.SP, r.SP);
  check.CheckByte("I", c.I, r.I);
  check.CheckByte("R", c.R, r.R);
  check.CheckNumber("interrupt mode", c.InterruptMode, r.InterruptMode);
  check.CheckNumber("IFF1", c.IFF1, r.IFF1);
  check.CheckNumber("IFF2", c.IFF2, r.IFF2);
  std::string text;
  for (const std::string& line : check.Lines()) text += (text.empty() ? "" : ", ") + line;
  return text;
}

/// Compares RAM, allowing the area's bytes that both machines still hold from the resume.
class RamCheck {
 public:
  RamCheck(const FrameMachine& cartridge, const FrameMachine& reference,
           const RamAllowance& allowance)
      : cartridge_(cartridge), reference_(reference), allowance_(allowance) {
    if (!allowance.area) return;
    for (std::int32_t a = allowance.area->low; a < allowance.area->top; ++a) {
      cartridge_at_resume_.push_back(cartridge.Peek(static_cast<std::uint16_t>(a)));
      reference_at_resume_.push_back(reference.Peek(static_cast<std::uint16_t>(a)));
    }
  }

  /// "RAM differs at 3 addresses, first 0x8000 (is 0x12, snapshot has 0x00)", or "".
  std::string Difference() const {
    const auto c = cartridge_.Memory();
    const auto r = reference_.Memory();
    if (std::equal(c.begin() + FrameMachine::kRamStart, c.end(),
                   r.begin() + FrameMachine::kRamStart))
      return "";
    std::size_t differing = 0;
    std::size_t first = 0;
    for (std::size_t a = FrameMachine::kRamStart; a < c.size(); ++a) {
      if (c[a] == r[a] || Allowed(a)) continue;
      if (differing++ == 0) first = a;
    }
    if (differing == 0) return "";
    return "RAM differs at " + std::to_string(differing) +
           (differing == 1 ? " address" : " addresses") + ", first " + HexWord(first) + " (is " +
           HexByte(c[first]) + ", snapshot has " + HexByte(r[first]) + ")";
  }

 private:
  bool Allowed(std::size_t address) const {
    const auto a = static_cast<std::int32_t>(address);
    if (!allowance_.area || !allowance_.area->Contains(a)) return false;
    const auto i = static_cast<std::size_t>(a - allowance_.area->low);
    return cartridge_.Peek(static_cast<std::uint16_t>(a)) == cartridge_at_resume_[i] &&
           reference_.Peek(static_cast<std::uint16_t>(a)) == reference_at_resume_[i];
  }

  const FrameMachine& cartridge_;
  const FrameMachine& reference_;
  RamAllowance allowance_;
  std::vector<std::uint8_t> cartridge_at_resume_, reference_at_resume_;
};

std::uint8_t ReadForDisassembly(std::uint16_t address, void* divergence) {
  const auto* d = static_cast<const RunDivergence*>(divergence);
  const auto offset = static_cast<std::uint16_t>(address - d->pc);
  return offset < d->code.size() ? d->code[offset] : 0;
}

}  // namespace

std::string InstructionText(const RunDivergence& d) {
  switch (d.step) {
    case RunDivergence::Step::kRamComparison:
      return "";
    case RunDivergence::Step::kInterrupt:
      return "the frame interrupt";
    case RunDivergence::Step::kInstruction:
      break;
  }
  char text[64] = {};
  int t_states = 0, t_states_taken = 0;
  z80ex_dasm(text, sizeof text, 0, &t_states, &t_states_taken, &ReadForDisassembly, d.pc,
             const_cast<RunDivergence*>(&d));
  return text;
}

RunReport CompareRuns(FrameMachine& cartridge, FrameMachine& reference, std::uint64_t frames,
                      const RamAllowance& allowance) {
  RunReport report;
  report.frames = frames;
  const std::uint64_t start = cartridge.TStates();
  const std::uint64_t end = start + frames * kFrame;
  const RamCheck ram(cartridge, reference, allowance);
  std::uint64_t frame = 1;
  std::uint64_t next_frame = (start / kFrame + 1) * kFrame;
  std::uint16_t instruction_pc = cartridge.PC();

  auto diverge = [&](std::uint64_t at_frame, std::uint64_t at, RunDivergence::Step step,
                     std::string difference, std::optional<std::uint16_t> read_address) {
    RunDivergence d;
    d.frame = at_frame;
    d.t_states = at - start;
    d.pc = instruction_pc;
    d.step = step;
    for (std::uint16_t i = 0; i < d.code.size(); ++i)
      d.code[i] = cartridge.Peek(static_cast<std::uint16_t>(instruction_pc + i));
    d.difference = std::move(difference);
    d.read_address = read_address;
    report.divergence = std::move(d);
    report.t_states = at - start;
    return report;
  };
  constexpr auto kRamComparison = RunDivergence::Step::kRamComparison;

  std::string at_resume = ram.Difference();
  if (at_resume.empty())
    at_resume = RegisterDifferences(cartridge.Registers(), reference.Registers());
  if (!at_resume.empty()) return diverge(0, start, kRamComparison, at_resume, std::nullopt);
  while (cartridge.TStates() < end) {
    const std::uint64_t before = cartridge.TStates();
    if (cartridge.AtInstructionBoundary()) instruction_pc = cartridge.PC();
    const int cartridge_t = cartridge.Step();
    const int reference_t = reference.Step();
    const bool interrupt = cartridge.LastStepWasInterrupt();
    std::optional<std::uint16_t> read_address;
    std::string difference = LogDifference(cartridge.Log(), reference.Log(), read_address);
    if (difference.empty() && interrupt != reference.LastStepWasInterrupt())
      difference = interrupt ? "accepts the frame interrupt where the snapshot does not"
                             : "does not accept the frame interrupt where the snapshot does";
    if (difference.empty() && cartridge_t != reference_t)
      difference = "takes " + std::to_string(cartridge_t) + " T-states where the snapshot takes " +
                   std::to_string(reference_t);
    // Both processors are deterministic: from equal registers, with equal bus values, only a
    // hidden latch can part them, and that shows in the flags. So every step compares the flow
    // registers, and the whole set is compared at every frame interrupt and frame.
    const bool full = interrupt || cartridge.TStates() >= next_frame;
    if (difference.empty() && (full || cartridge.FlowRegisters() != reference.FlowRegisters())) {
      const Z80Registers c = cartridge.Registers();
      const Z80Registers r = reference.Registers();
      if (!(c == r)) difference = RegisterDifferences(c, r);
    }
    if (!difference.empty()) {
      const auto step =
          interrupt ? RunDivergence::Step::kInterrupt : RunDivergence::Step::kInstruction;
      return diverge(frame, before, step, difference, read_address);
    }
    if (cartridge.TStates() >= next_frame) {
      next_frame += kFrame;
      if (std::string ram_difference = ram.Difference(); !ram_difference.empty())
        return diverge(frame, cartridge.TStates(), kRamComparison, ram_difference, std::nullopt);
      ++frame;
    }
  }
  if (std::string difference = ram.Difference(); !difference.empty())
    return diverge(frame, cartridge.TStates(), kRamComparison, difference, std::nullopt);
  report.t_states = cartridge.TStates() - start;
  return report;
}

}  // namespace quillfen
