// SPDX-License-Identifier: GPL-3.0-or-later
// The SNA and Z80 readers on edited headers and files; libspectrum_check_test.cpp compares them
// with an independent implementation on random snapshots, tests/hostile truncates and corrupts.
#include <gtest/gtest.h>

#include <tuple>

#include "cartridge/error.h"
#include "spectrum/sna_format.h"
#include "spectrum/spectrum_processing.h"
#include "spectrum/z80_format.h"
#include "spectrum/z80_run_length.h"
#include "support/scripted_host.h"
#include "support/snapshot_files.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using namespace quillfen::testing;

Bytes Join(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

bool ReadZ80(const Bytes& file, SnapshotState& state) {
  ScriptedHost host("/nonexistent");
  return ReadZ80Snapshot(file, state, host);
}
bool ReadZ80(const Bytes& file) {
  SnapshotState state;
  return ReadZ80(file, state);
}

// Header byte `offset` of an SNA or a version 1 Z80 file set to `value`, and the change that
// turns the snapshot written into the record then read.
TEST(SnapshotHeaderTest, FieldsMasksAndTheZ80FlagsByte) {
  SnapshotState original = MakeBusySnapshot();
  original.R = 0x05;  // Z80 flags byte 0x0A: R bit 7 clear, border 5, not compressed
  struct Case {
    bool sna;
    std::size_t offset;
    std::uint8_t value;
    void (*expect)(SnapshotState&);
  };
  const Case cases[] = {
      {true, 19, 0xFB, [](SnapshotState& s) { s.InterruptsEnabled = false; }},
      {true, 19, 0xFF, [](SnapshotState&) {}},  // only bit 2 is the flip-flop
      {true, 25, 0x05, [](SnapshotState& s) { s.InterruptMode = 5; }},  // unmasked
      {true, 26, 0xFF, [](SnapshotState& s) { s.BorderColour = 7; }},
      {false, 11, 0x85, [](SnapshotState&) {}},  // R's bit 7 comes from the flags
      {false, 12, 0xFF,
       [](SnapshotState& s) { std::tie(s.R, s.BorderColour) = std::tuple(0x85, 0); }},
      {false, 12, 0xDB, [](SnapshotState& s) { s.R = 0x85; }},  // bits 4, 6, 7 unused
      {false, 28, 0x00, [](SnapshotState&) {}},                 // IFF2 is not used
      {false, 29, 0xFE, [](SnapshotState& s) { s.InterruptMode = 2; }},
  };
  for (const Case& c : cases) {
    Bytes file = c.sna ? MakeSnaFile(original) : MakeZ80FileVersion1(original, false);
    file[c.offset] = c.value;
    SnapshotState state, expected = original;
    state.PC = original.PC;  // not in an SNA file
    c.expect(expected);
    ASSERT_TRUE(c.sna ? ReadSnaSnapshot(file, state) : ReadZ80(file, state));
    EXPECT_EQ(SnapshotRegisterDifferences(state, expected), "") << c.offset << " " << +c.value;
    EXPECT_TRUE(state.Memory == original.Memory);
  }
}

TEST(SnaFormatTest, LengthDecidesAndAFailedLoadKeepsItsHeaderWithThePreviousRam) {
  const Bytes previous = MakeBusySnapshot(3).Memory;
  for (const auto& [length, accepted] : std::vector<std::pair<std::size_t, bool>>{
           {49178, false}, {49179, true}, {49180, true}, {49181, false}}) {
    Bytes file = MakeSnaFile(MakeBusySnapshot(4));
    file.resize(27);
    for (std::size_t k = file.size(); k < length; ++k) file.push_back(static_cast<std::uint8_t>(k));
    SnapshotState state;
    state.Memory = previous;
    EXPECT_EQ(ReadSnaSnapshot(file, state), accepted) << length;
    EXPECT_EQ(state.BorderColour, 5) << length;  // the last header field, stored either way
    EXPECT_TRUE(state.Memory ==
                (accepted ? Bytes(file.begin() + 27, file.begin() + 49179) : previous))
        << length;
  }
}

TEST(Z80FormatTest, Version1DataMustExpandToExactly48KAndEndInTheMarker) {
  std::mt19937 random(6);
  const SnapshotState original = RandomSnapshot(random);
  const Bytes& ram = original.Memory;
  const Bytes header = MakeZ80MainHeader(original, true), marker = {0x00, 0xED, 0xED, 0x00};
  const Bytes packed = CompressZ80Block(ram);
  EXPECT_TRUE(ReadZ80(Join(header, Join(packed, marker))));
  EXPECT_FALSE(ReadZ80(Join(header, Join(packed, Join(marker, {0x00})))));  // a byte after it
  SnapshotState state;
  const Bytes short_ram(ram.begin(), ram.end() - 1);
  EXPECT_FALSE(ReadZ80(Join(header, Join(CompressZ80Block(short_ram), marker)), state));
  EXPECT_TRUE(state.Memory == short_ram);  // what was decoded stays
}

TEST(Z80FormatTest, PagedFilesAcceptOnly48KHardwareAndPages8_4And5) {
  const SnapshotState original = MakeBusySnapshot(7);
  const Bytes file = MakeZ80FilePaged(original, 23, true);
  const Bytes page5(original.Memory.begin() + 0x8000, original.Memory.end());
  const Bytes without5 = MakeZ80FilePaged(original, 23, true, {8, 4});
  auto with_page5 = [&without5](const Bytes& data) {  // a hand-made block header: N, page 5
    const auto n = static_cast<std::uint8_t>(data.size());
    return Join(Join(without5, {n, static_cast<std::uint8_t>(data.size() >> 8), 5}), data);
  };
  auto with_block = [&file](int page, bool compressed) {
    Bytes edited = file;
    AppendZ80Block(edited, page, Bytes(0x4000, 0x01), compressed);
    return edited;
  };
  auto patched = [&original](std::size_t offset, std::uint8_t value) {  // version 3
    Bytes edited = MakeZ80FilePaged(original, 54, true);
    edited[offset] = value;
    return edited;
  };
  constexpr std::size_t kHardwareMode = 34, kInterface1Rom = 36;
  const std::tuple<const char*, Bytes, bool> cases[] = {
      {"page 11, N = 0xFFFF", with_block(11, false), true},
      {"hardware mode 1", patched(kHardwareMode, 1), true},
      {"hardware mode 3", patched(kHardwareMode, 3), false},
      {"Interface 1 byte 255", patched(kInterface1Rom, 255), false},
      {"page 5 one byte short", with_page5(CompressZ80Block(std::span(page5).first(0x3FFF))),
       false},
      {"page 5 ends in ED ED nn", with_page5(Join(CompressZ80Block(page5), {0xED, 0xED, 5})), true},
      {"one stray byte", Join(file, {0x07}), true},
      {"empty block of page 11", Join(file, {0x00, 0x00, 0x0B}), true},
  };
  for (const auto& [name, edited, accepted] : cases) {
    SnapshotState state;
    EXPECT_EQ(ReadZ80(edited, state), accepted) << name;
    EXPECT_TRUE(!accepted || state.Memory == original.Memory) << name;
  }
  for (const int page : {0, 1, 2, 3, 6, 7, 9, 10})
    EXPECT_FALSE(ReadZ80(with_block(page, true))) << "page " << page;
  // A refused file leaves its header fields and PC in the record, with the previous RAM.
  SnapshotState state = MakeBusySnapshot(9), expected = original;
  expected.Memory = state.Memory;
  EXPECT_FALSE(ReadZ80(patched(kHardwareMode, 3), state));
  EXPECT_EQ(SnapshotRegisterDifferences(state, expected), "");
  EXPECT_TRUE(state.Memory == expected.Memory);
}

TEST(Z80RunLengthTest, ExpandsRunsAndLoneMarks) {
  const std::tuple<const char*, Bytes, Bytes> cases[] = {
      {"run of five", {0xED, 0xED, 0x05, 0xAA}, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA}},
      {"run of none", {0xED, 0xED, 0x00, 0x33, 0x07}, {0x07}},
      {"lone ED, then a run", {0xED, 0x00, 0xED, 0xED, 0x02, 0x09}, {0xED, 0x00, 0x09, 0x09}},
      {"lone ED as last byte", {0x01, 0xED}, {0x01, 0xED}},
      {"run value missing", {0x02, 0xED, 0xED, 0x05}, {0x02}},
  };
  ScriptedHost host("/nonexistent");
  for (const auto& [name, data, expected] : cases) {
    Bytes out;
    ExpandZ80RunLength(data, data.size(), 0x4000, out, host);
    EXPECT_EQ(out, expected) << name;
  }
  EXPECT_EQ(host.yields, 4);  // one after each run, for the window
  for (const Bytes& data : {Bytes{}, Bytes{0xED, 0xED}, Bytes{0x01, 0xED, 0xED}}) {
    Bytes out;
    EXPECT_THROW(ExpandZ80RunLength(data, data.size(), 0x4000, out, host), Error);
  }
}

// Odd names and paths are in tests/hostile.
TEST(LoadSnapshotTest, ChoosesTheReaderByTheUpperCaseExtensionAfterARepaint) {
  TempDir folder;
  ScriptedHost host(folder.path());
  CartridgeMaker maker;
  SpectrumProcessing spectrum(host, maker);
  const Bytes sna = MakeSnaFile(MakeBusySnapshot());
  for (const auto& [name, loaded, repaints] :
       {std::tuple{"rocket.Sna", true, 1}, {"sna.z80", false, 1}, {"rocket.snap", false, 0}}) {
    host.repaints = 0;
    EXPECT_EQ(spectrum.LoadSnapshot(folder.Write(name, sna)), loaded) << name;
    EXPECT_EQ(host.repaints, repaints) << name;
  }
}

}  // namespace
}  // namespace quillfen
