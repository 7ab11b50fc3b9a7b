#include "verify/verify_summary.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(VerifySummaryTest, ShowsAtMostFourMismatchesAndCountsTheRest) {
  VerifyResult result;
  result.booted = true;
  result.t_states = 3'149'999;
  result.mismatches = {"A", "B", "C", "D", "E", "F"};
  EXPECT_EQ(FormatVerifySummary("X.bin", result),
            "X.bin: FAILED: boots, but A; B; C; D; and 2 more (3.1 M T-states)");
}

TEST(VerifySummaryTest, MismatchesOutweighNotesAndNotBootingOutweighsBoth) {
  VerifyResult result;
  result.booted = true;
  result.t_states = 50'000;
  result.success_text = "snapshot restored exactly";
  result.notes = {"R is one higher"};
  EXPECT_EQ(FormatVerifySummary("X.bin", result),
            "X.bin: boots, snapshot restored exactly (0.1 M T-states); R is one higher");
  result.mismatches = {"SP is 0x0000, snapshot has 0x0002"};
  EXPECT_EQ(FormatVerifySummary("X.bin", result),
            "X.bin: FAILED: boots, but SP is 0x0000, snapshot has 0x0002 (0.1 M T-states)");
  result.booted = false;
  result.failure = "never reached it";
  EXPECT_EQ(FormatVerifySummary("X.bin", result), "X.bin: FAILED: does not boot: never reached it");
  EXPECT_FALSE(result.Passed());
}

}  // namespace
}  // namespace quillfen
