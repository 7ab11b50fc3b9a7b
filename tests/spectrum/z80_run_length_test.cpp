#include "spectrum/z80_run_length.h"

#include <gtest/gtest.h>

#include "cartridge/error.h"
#include "support/scripted_host.h"

namespace quillfen {
namespace {

using testing::ScriptedHost;

struct Expansion {
  Bytes out;
  std::size_t end = 0;
  int yields = 0;
};

// Expands `data` as page data is expanded: every byte examined, no end marker.
Expansion ExpandPage(const Bytes& data, std::size_t capacity = 0x4000) {
  ScriptedHost host("/nonexistent");
  Expansion result;
  result.end = ExpandZ80RunLength(data, data.size(), capacity, result.out, host);
  result.yields = host.yields;
  return result;
}

TEST(Z80RunLengthTest, ExpandsRunsLiteralsAndLoneMarks) {
  struct Case {
    const char* name;
    Bytes data;
    Bytes expected;
    int yields;
  };
  Bytes run_of_255(255, 0x01);
  run_of_255.push_back(0x07);
  const Case cases[] = {
      {"run of five", {0xED, 0xED, 0x05, 0xAA}, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA}, 1},
      {"run of none", {0xED, 0xED, 0x00, 0x33}, {}, 1},
      {"run of 255 then literal", {0xED, 0xED, 0xFF, 0x01, 0x07}, run_of_255, 1},
      {"lone ED then literal", {0xED, 0x01}, {0xED, 0x01}, 0},
      // The byte after a lone ED starts afresh: here it begins a run.
      {"lone ED then run", {0xED, 0x00, 0xED, 0xED, 0x02, 0x09}, {0xED, 0x00, 0x09, 0x09}, 1},
      {"lone ED as last byte", {0x01, 0xED}, {0x01, 0xED}, 0},
      {"run value missing", {0x02, 0xED, 0xED, 0x05}, {0x02}, 1},
      {"plain bytes", {0x00, 0xFF, 0x7F}, {0x00, 0xFF, 0x7F}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Expansion result = ExpandPage(c.data);
    EXPECT_EQ(result.out, c.expected);
    EXPECT_EQ(result.yields, c.yields);
  }
}

TEST(Z80RunLengthTest, RefusesDataWithoutAByteOrEndingInsideARunMark) {
  ScriptedHost host("/nonexistent");
  for (const Bytes& data : {Bytes{}, Bytes{0xED, 0xED}, Bytes{0x01, 0xED, 0xED}}) {
    Bytes out;
    EXPECT_THROW(ExpandZ80RunLength(data, data.size(), 0x4000, out, host), Error);
  }
}

TEST(Z80RunLengthTest, StopsBeforeExceedingTheCapacity) {
  ScriptedHost host("/nonexistent");
  Bytes out;
  // 4 + 255 bytes asked for, 258 allowed: the run must not be appended at all.
  const Bytes run_too_long = {1, 2, 3, 4, 0xED, 0xED, 0xFF, 0x55};
  EXPECT_THROW(ExpandZ80RunLength(run_too_long, run_too_long.size(), 258, out, host), Error);
  EXPECT_EQ(out, (Bytes{1, 2, 3, 4}));

  out.clear();
  const Bytes literals_too_many = {1, 2, 3};
  EXPECT_THROW(ExpandZ80RunLength(literals_too_many, 3, 2, out, host), Error);
  EXPECT_EQ(out.size(), 2u);

  out.clear();
  EXPECT_EQ(ExpandZ80RunLength(run_too_long, run_too_long.size(), 259, out, host), 8u);
  EXPECT_EQ(out.size(), 259u);
}

TEST(Z80RunLengthTest, TakesOneStepEvenWhenTheLoopEndIsZero) {
  ScriptedHost host("/nonexistent");
  Bytes out;
  const Bytes data = {0x11, 0x22, 0x33};
  EXPECT_EQ(ExpandZ80RunLength(data, 0, 0x4000, out, host), 1u);
  EXPECT_EQ(out, Bytes{0x11});
  // A run whose value byte is missing moves past the end; the caller sees the position.
  out.clear();
  const Bytes cut_run = {0xED, 0xED, 0x04};
  EXPECT_EQ(ExpandZ80RunLength(cut_run, 0, 0x4000, out, host), 4u);
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace quillfen
