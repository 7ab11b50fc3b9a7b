// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

/// How an emulated boot is run.
struct VerifyOptions {
  /// T-states the cartridge presents each bank (and the internal ROM) before it moves on.
  std::uint64_t dwell_t_states = 2'000'000;
  /// A boot that has not arrived after this many T-states has failed.
  std::uint64_t t_state_limit = 200'000'000;
  /// Seed of the pseudo-random bytes that fill all RAM at power-on.
  std::uint32_t ram_seed = 0x51C1A1u;
  /// Frames a resumed Spectrum snapshot runs beside the snapshot itself; 0: no run.
  std::uint64_t run_frames = 250;
  /// Checks of a batch run at once; 0: one per processor core.
  unsigned threads = 0;
  /// Each check is reported as one JSON object instead of a line.
  bool json = false;
};

/// Where the cartridge's run first parts from the snapshot's.
struct RunDivergence {
  std::uint64_t frame = 0;     // 0 at the resume itself; 1 up to the first frame interrupt
  std::uint64_t t_states = 0;  // since the resume, at the start of the step that differs
  std::uint16_t pc = 0;        // of the instruction (or the one the interrupt arrived at)
  enum class Step { kRamComparison, kInstruction, kInterrupt };
  Step step = Step::kRamComparison;    // what parted them
  std::array<std::uint8_t, 4> code{};  // the cartridge's bytes at pc, for naming the instruction
  std::string difference;              // "reads 0x21 from 0xA67D where the snapshot reads 0x00"
  std::optional<std::uint16_t> read_address;  // set when a read returned another value
  std::string cause;  // what lies at that address when it is a known place, else ""
};

/// The cartridge machine run on from the resume beside a plain 48K Spectrum that was loaded
/// with the snapshot directly.
struct RunReport {
  std::uint64_t frames = 0;    // frames asked for
  std::uint64_t t_states = 0;  // run in lockstep, up to the divergence or the end
  std::optional<RunDivergence> divergence;
  std::string unavailable;  // why the run could not be compared; empty when it was
  bool Agreed() const { return unavailable.empty() && !divergence; }
};

/// The outcome of booting one cartridge image on the emulated machine.
struct VerifyResult {
  bool booted = false;                  // the code arrived where the image's start-up code ends
  std::uint64_t t_states = 0;           // T-states run, up to the arrival or the limit
  std::string failure;                  // why it did not arrive; empty when it booted
  std::vector<std::string> mismatches;  // "AF is 0x1234, snapshot has 0x1244", first ones first
  std::vector<std::string> notes;       // differences that are expected and allowed
  std::string success_text;             // what an exact boot establishes, for the summary line
  std::optional<RunReport> run;         // the run after the resume, when one was compared

  /// True when the image booted, the end state matched in every checked respect and the run
  /// that followed (if compared) agreed.
  bool Passed() const { return booted && mismatches.empty() && (!run || run->Agreed()); }
};

}  // namespace quillfen
