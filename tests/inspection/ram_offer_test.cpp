// SPDX-License-Identifier: GPL-3.0-or-later
#include "inspection/ram_offer.h"

#include <gtest/gtest.h>

#include "inspection/machine.h"

namespace quillfen {
namespace {

using Entries = std::vector<std::string>;

// The edges of each band and of each run of lengths offered as one byte too long to boot.
TEST(RamOfferTest, BandsAndTheLengthsThatCannotBoot) {
  const Entries zx81_all = {"1K", "4K", "16K"}, zx81_4k = {"4K", "16K"}, only_16k = {"16K"};
  // Columns: length, the sizes offered, the one selected, whether the choice is enabled.
  const std::tuple<std::int16_t, Entries, int, bool> zx81[] = {
      {970, zx81_all, 0, true}, {971, zx81_4k, 1, true},    {980, zx81_4k, 1, true},
      {981, zx81_all, 0, true}, {1010, zx81_all, 0, true},  {1011, zx81_4k, 1, true},
      {4042, zx81_4k, 1, true}, {4043, only_16k, 0, false}, {4052, only_16k, 0, false},
      {4053, zx81_4k, 1, true}, {4082, zx81_4k, 1, true},   {4083, only_16k, 0, false},
  };
  for (const auto& [length, entries, selected, enabled] : zx81) {
    const RamOffer offer = ZX81RamOffer(length);
    EXPECT_EQ(std::tie(offer.entries, offer.selected, offer.enabled),
              std::tie(entries, selected, enabled))
        << length;
  }
  const Entries zx80_all = {"1K", "3K", "16K"}, zx80_3k = {"3K", "16K"};
  const std::pair<std::int16_t, Entries> zx80[] = {
      {976, zx80_all}, {977, zx80_3k},  {995, zx80_3k},   {996, zx80_all},  {1020, zx80_all},
      {1021, zx80_3k}, {1022, zx80_3k}, {3024, zx80_3k},  {3025, only_16k}, {3043, only_16k},
      {3044, zx80_3k}, {3068, zx80_3k}, {3069, only_16k}, {3070, only_16k},
  };
  for (const auto& [length, entries] : zx80)
    EXPECT_EQ(ZX80RamOffer(length).entries, entries) << length;
}

// Each machine's own sizes; any other text, compared exactly, is 16K (48K on the Spectrum).
TEST(RamOfferTest, RamTextsGiveTheMachinesByteCounts) {
  const std::tuple<Machine, const char*, std::int32_t> cases[] = {
      {Machine::ZX80, "1K", 1024},  {Machine::ZX80, "3K", 3072},       {Machine::ZX80, "4K", 16384},
      {Machine::ZX81, "1K", 1024},  {Machine::ZX81, "4K", 4096},       {Machine::ZX81, "3K", 16384},
      {Machine::ZX81, "1k", 16384}, {Machine::Spectrum, "16K", 49152},
  };
  for (const auto& [machine, text, bytes] : cases)
    EXPECT_EQ(RamSizeForText(machine, text), bytes) << text;
}

// "P" has no point: the whole name is the extension.
TEST(MachineTest, ExtensionsPickTheMachineInUpperCase) {
  const std::pair<const char*, std::optional<Machine>> cases[] = {
      {"game.p", Machine::ZX81},        {"/x/y.81", Machine::ZX81},
      {"a.b.O", Machine::ZX80},         {"rocket.Sna", Machine::Spectrum},
      {"rocket.snap", std::nullopt},    {"rocket.sna ", std::nullopt},
      {"/disk.2/rocket", std::nullopt}, {"P", Machine::ZX81},
  };
  for (const auto& [name, machine] : cases) EXPECT_EQ(MachineForFileName(name), machine) << name;
}

}  // namespace
}  // namespace quillfen
