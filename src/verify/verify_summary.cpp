// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify/verify_summary.h"

#include "verify/run_comparison.h"
#include "verify/state_comparison.h"

namespace quillfen {
namespace {

constexpr std::size_t kMismatchesShown = 4;

std::string Notes(const VerifyResult& result) {
  std::string text;
  for (const std::string& note : result.notes) text += "; " + note;
  return text;
}

}  // namespace

std::string DescribeDivergence(const RunDivergence& d) {
  std::string text = d.frame == 0 ? "at the resume"
                                  : "in frame " + std::to_string(d.frame) + ", " +
                                        std::to_string(d.t_states) + " T-states after the resume";
  if (d.step != RunDivergence::Step::kRamComparison)
    text += ", at PC " + HexWord(d.pc) + " (" + InstructionText(d) + ")";
  else if (d.frame != 0)
    text += ", at a frame's end";
  text += ": " + d.difference;
  if (!d.cause.empty()) text += "; " + d.cause;
  return text;
}

std::string FormatVerifySummary(std::string_view image_name, const VerifyResult& result) {
  std::string line(image_name);
  if (!result.booted) return line + ": FAILED: does not boot: " + result.failure;
  if (!result.mismatches.empty()) {
    line += ": FAILED: boots, but ";
    for (std::size_t i = 0; i < result.mismatches.size() && i < kMismatchesShown; ++i)
      line += (i == 0 ? "" : "; ") + result.mismatches[i];
    if (result.mismatches.size() > kMismatchesShown)
      line += "; and " + std::to_string(result.mismatches.size() - kMismatchesShown) + " more";
    return line + " (" + MegaTStates(result.t_states) + ")";
  }
  if (!result.run)
    return line + ": boots, " + result.success_text + " (" + MegaTStates(result.t_states) + ")" +
           Notes(result);
  const RunReport& run = *result.run;
  if (!run.unavailable.empty())
    return line + ": FAILED: boots, " + result.success_text +
           ", but its run cannot be compared: " + run.unavailable + Notes(result);
  if (run.divergence)
    return line + ": FAILED: boots, " + result.success_text +
           ", but does not run as the snapshot: " + DescribeDivergence(*run.divergence) +
           Notes(result);
  return line + ": boots, " + result.success_text + ", runs as the snapshot for " +
         std::to_string(run.frames) + " frames (" + MegaTStates(result.t_states) + ")" +
         Notes(result);
}

}  // namespace quillfen
