// SPDX-License-Identifier: GPL-3.0-or-later
#include "inspection/ram_offer.h"

#include <gtest/gtest.h>

#include "inspection/machine.h"

namespace quillfen {
namespace {

using Entries = std::vector<std::string>;

TEST(RamOfferTest, ZX81BandsAndTheLengthsThatCannotBoot) {
  struct Case { std::int16_t length; Entries entries; int selected; bool enabled; };
  const Case cases[] = {
      {116, {"1K", "4K", "16K"}, 0, true},  {970, {"1K", "4K", "16K"}, 0, true},
      {971, {"4K", "16K"}, 1, true},        {980, {"4K", "16K"}, 1, true},
      {981, {"1K", "4K", "16K"}, 0, true},  {1010, {"1K", "4K", "16K"}, 0, true},
      {1011, {"4K", "16K"}, 1, true},       {4042, {"4K", "16K"}, 1, true},
      {4043, {"16K"}, 0, false},            {4052, {"16K"}, 0, false},
      {4053, {"4K", "16K"}, 1, true},       {4082, {"4K", "16K"}, 1, true},
      {4083, {"16K"}, 0, false},            {32000, {"16K"}, 0, false},
  };
  for (const Case& c : cases) {
    const RamOffer offer = ZX81RamOffer(c.length);
    EXPECT_EQ(offer.entries, c.entries) << c.length;
    EXPECT_EQ(offer.selected, c.selected) << c.length;
    EXPECT_EQ(offer.enabled, c.enabled) << c.length;
  }
}

TEST(RamOfferTest, ZX80BandsAndTheLengthsThatCannotBoot) {
  struct Case { std::int16_t length; Entries entries; };
  const Case cases[] = {
      {40, {"1K", "3K", "16K"}},  {976, {"1K", "3K", "16K"}}, {977, {"3K", "16K"}},
      {995, {"3K", "16K"}},       {996, {"1K", "3K", "16K"}}, {1020, {"1K", "3K", "16K"}},
      {1021, {"3K", "16K"}},      {1022, {"3K", "16K"}},      {3024, {"3K", "16K"}},
      {3025, {"16K"}},            {3043, {"16K"}},            {3044, {"3K", "16K"}},
      {3068, {"3K", "16K"}},      {3069, {"16K"}},            {3070, {"16K"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ZX80RamOffer(c.length).entries, c.entries) << c.length;
}

TEST(RamOfferTest, RamTextsGiveTheMachinesByteCounts) {
  EXPECT_EQ(RamSizeForText(Machine::ZX80, "1K"), 1024);
  EXPECT_EQ(RamSizeForText(Machine::ZX80, "3K"), 3072);
  EXPECT_EQ(RamSizeForText(Machine::ZX80, "4K"), 16384);
  EXPECT_EQ(RamSizeForText(Machine::ZX81, "4K"), 4096);
  EXPECT_EQ(RamSizeForText(Machine::ZX81, "3K"), 16384);
  EXPECT_EQ(RamSizeForText(Machine::ZX81, "1k"), 16384);  // compared exactly
  EXPECT_EQ(RamSizeForText(Machine::Spectrum, "16K"), 49152);
  EXPECT_EQ(SpectrumRamOffer().entries, Entries{"48K"});
}

TEST(MachineTest, ExtensionsPickTheMachineInUpperCase) {
  EXPECT_EQ(MachineForFileName("game.p"), Machine::ZX81);
  EXPECT_EQ(MachineForFileName("GAME.P81"), Machine::ZX81);
  EXPECT_EQ(MachineForFileName("/x/y.81"), Machine::ZX81);
  EXPECT_EQ(MachineForFileName("a.b.O"), Machine::ZX80);
  EXPECT_EQ(MachineForFileName("game.p80"), Machine::ZX80);
  EXPECT_EQ(MachineForFileName("rocket.Sna"), Machine::Spectrum);
  EXPECT_EQ(MachineForFileName("rocket.z80"), Machine::Spectrum);
  EXPECT_EQ(MachineForFileName("rocket.snap"), std::nullopt);
  EXPECT_EQ(MachineForFileName("rocket.sna "), std::nullopt);
  EXPECT_EQ(MachineForFileName("/disk.2/rocket"), std::nullopt);
  EXPECT_EQ(MachineForFileName("P"), Machine::ZX81);  // no point: the whole name is the extension
}

}  // namespace
}  // namespace quillfen
