#include "verify/verify_summary.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(VerifySummaryTest, NotBootingOutweighsMismatchesWhichOutweighNotesAndShowAtMostFour) {
  VerifyResult result;
  result.booted = true;
  result.t_states = 3'149'999;
  result.notes = {"R is one higher"};
  result.success_text = "snapshot restored exactly";
  EXPECT_EQ(FormatVerifySummary("X.bin", result),
            "X.bin: boots, snapshot restored exactly (3.1 M T-states); R is one higher");
  result.mismatches = {"A", "B", "C", "D", "E", "F"};
  EXPECT_EQ(FormatVerifySummary("X.bin", result),
            "X.bin: FAILED: boots, but A; B; C; D; and 2 more (3.1 M T-states)");
  result.failure = "never reached it";
  result.booted = false;
  EXPECT_EQ(FormatVerifySummary("X.bin", result), "X.bin: FAILED: does not boot: never reached it");
}

}  // namespace
}  // namespace quillfen
