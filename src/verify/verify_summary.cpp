#include "verify/verify_summary.h"

#include "verify/state_comparison.h"

namespace quillfen {
namespace {

constexpr std::size_t kMismatchesShown = 4;

}  // namespace

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
  line += ": boots, " + result.success_text + " (" + MegaTStates(result.t_states) + ")";
  for (const std::string& note : result.notes) line += "; " + note;
  return line;
}

}  // namespace quillfen
