#pragma once

#include <cstdint>
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
};

/// The outcome of booting one cartridge image on the emulated machine.
struct VerifyResult {
  bool booted = false;                  // the code arrived where the image's start-up code ends
  std::uint64_t t_states = 0;           // T-states run, up to the arrival or the limit
  std::string failure;                  // why it did not arrive; empty when it booted
  std::vector<std::string> mismatches;  // "AF is 0x1234, snapshot has 0x1244", first ones first
  std::vector<std::string> notes;       // differences that are expected and allowed
  std::string success_text;             // what an exact boot establishes, for the summary line

  /// True when the image booted and the end state matched in every checked respect.
  bool Passed() const { return booted && mismatches.empty(); }
};

}  // namespace quillfen
