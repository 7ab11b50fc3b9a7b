#include "spectrum/z80_format.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

#include "support/scripted_host.h"
#include "support/snapshot_files.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using testing::AppendZ80Block;
using testing::CompressZ80Block;
using testing::MakeZ80FilePaged;
using testing::MakeZ80FileVersion1;
using testing::ScriptedHost;

const Bytes kEndMarker = {0x00, 0xED, 0xED, 0x00};

// A main header with a distinct value in every field, written byte by byte.
Bytes HandWrittenHeader(std::uint8_t flags, std::uint8_t pc_low = 0x78) {
  return {
      0x12,   0x34,  // 0: A, F (high byte first)
      0x12,   0x34,  // 2: BC
      0x21,   0x43,  // 4: HL
      pc_low, 0x56,  // 6: PC
      0xFE,   0xFF,  // 8: SP
      0x3F,          // 10: I
      0xFF,          // 11: R, bit 7 ignored
      flags,         // 12: flags
      0x31,   0x42,  // 13: DE
      0x51,   0x62,  // 15: BC'
      0x71,   0x82,  // 17: DE'
      0x91,   0xA2,  // 19: HL'
      0xAB,   0xCD,  // 21: A', F' (high byte first)
      0xB1,   0xC2,  // 23: IY
      0xD1,   0xE2,  // 25: IX
      0x00,          // 27: IFF1
      0x01,          // 28: IFF2, ignored
      0x46,          // 29: interrupt mode 2 with the other bits set
  };
}

Bytes PatternRam(std::size_t length = kSnapshotRamLength, int seed = 1) {
  Bytes ram(length);
  for (std::size_t k = 0; k < length; ++k)
    ram[k] = static_cast<std::uint8_t>(k * 7 + seed + k / 256);
  return ram;
}

// RAM that compresses well, with a run of 0xED and a lone 0xED here and there.
Bytes CompressibleRam() {
  Bytes ram(kSnapshotRamLength, 0x00);
  for (std::size_t k = 0; k < ram.size(); k += 997) ram[k] = static_cast<std::uint8_t>(k);
  for (std::size_t k = 0x1000; k < 0x1400; ++k) ram[k] = 0xED;
  ram[0x2001] = 0xED;
  return ram;
}

Bytes Append(Bytes file, const Bytes& more) {
  file.insert(file.end(), more.begin(), more.end());
  return file;
}

struct Load {
  bool ok;
  SnapshotState state;
  int yields;
};

Load Read(const Bytes& file, SnapshotState state = {}) {
  ScriptedHost host("/nonexistent");
  const bool ok = ReadZ80Snapshot(file, state, host);
  return {ok, std::move(state), host.yields};
}

SnapshotState SampleState(Bytes ram = PatternRam()) {
  SnapshotState state;
  state.Memory = std::move(ram);
  state.AF = 0x1234;
  state.PC = 0x8123;
  state.SP = 0x6000;
  state.R = 0x80;
  state.BorderColour = 3;
  state.InterruptMode = 1;
  state.InterruptsEnabled = true;
  return state;
}

TEST(Z80FormatTest, ReadsEveryMainHeaderField) {
  const Bytes ram = PatternRam();
  const Load load = Read(Append(HandWrittenHeader(0x00), ram));
  ASSERT_TRUE(load.ok);
  const SnapshotState& s = load.state;
  EXPECT_EQ(s.AF, 0x1234);  // A = 0x12, F = 0x34
  EXPECT_EQ(s.BC, 0x3412);
  EXPECT_EQ(s.HL, 0x4321);
  EXPECT_EQ(s.PC, 0x5678);
  EXPECT_EQ(s.SP, 0xFFFE);
  EXPECT_EQ(s.I, 0x3F);
  EXPECT_EQ(s.R, 0x7F);
  EXPECT_EQ(s.DE, 0x4231);
  EXPECT_EQ(s.BCAlt, 0x6251);
  EXPECT_EQ(s.DEAlt, 0x8271);
  EXPECT_EQ(s.HLAlt, 0xA291);
  EXPECT_EQ(s.AFAlt, 0xABCD);
  EXPECT_EQ(s.IY, 0xC2B1);
  EXPECT_EQ(s.IX, 0xE2D1);
  EXPECT_FALSE(s.InterruptsEnabled);  // offset 27 = 0 although offset 28 = 1
  EXPECT_EQ(s.InterruptMode, 2);
  EXPECT_EQ(s.BorderColour, 0);
  EXPECT_EQ(s.Memory, ram);
}

TEST(Z80FormatTest, FlagsByteGivesRBit7BorderAndCompression) {
  struct Case {
    std::uint8_t flags;
    bool compressed;
    std::int16_t border;
    int r;
  };
  const Case cases[] = {
      {0xFF, false, 0, 0xFF},  // 255 stands for 1
      {0x2B, true, 5, 0xFF},  {0x0E, false, 7, 0x7F},
      {0x20, true, 0, 0x7F},  {0xDF, false, 7, 0xFF},  // bits 4, 6 and 7 are ignored
  };
  const Bytes ram = CompressibleRam();
  for (const Case& c : cases) {
    const Bytes data = c.compressed ? Append(CompressZ80Block(ram), kEndMarker) : ram;
    const Load load = Read(Append(HandWrittenHeader(c.flags), data));
    ASSERT_TRUE(load.ok) << "flags " << int{c.flags};
    EXPECT_EQ(load.state.BorderColour, c.border) << "flags " << int{c.flags};
    EXPECT_EQ(load.state.R, c.r) << "flags " << int{c.flags};
    EXPECT_EQ(load.state.Memory, ram) << "flags " << int{c.flags};
  }
}

TEST(Z80FormatTest, Version1CompressedNeedsTheMarkerAsTheLastFourBytes) {
  const Bytes ram = CompressibleRam();
  const Bytes header = HandWrittenHeader(0x20);
  const Bytes packed = CompressZ80Block(ram);
  EXPECT_TRUE(Read(Append(header, Append(packed, kEndMarker))).ok);
  EXPECT_FALSE(Read(Append(header, Append(packed, {0x00, 0xED, 0xED, 0x00, 0x00}))).ok);
  EXPECT_FALSE(Read(Append(header, Append(packed, {0x00, 0xED, 0xED}))).ok);
  EXPECT_FALSE(Read(Append(header, packed)).ok);
  EXPECT_FALSE(Read(header).ok);                      // no data at all
  EXPECT_FALSE(Read(Append(header, kEndMarker)).ok);  // no RAM
  // A marker inside the data does not end it: decoding goes on, and this file is refused.
  const Bytes first_half = CompressZ80Block(std::span(ram).first(0x6000));
  const Bytes second_half = CompressZ80Block(std::span(ram).subspan(0x6000));
  EXPECT_FALSE(
      Read(Append(header, Append(Append(Append(first_half, kEndMarker), second_half), kEndMarker)))
          .ok);
}

TEST(Z80FormatTest, Version1RamOfTheWrongLengthIsRefused) {
  const Bytes header = HandWrittenHeader(0x20);
  Bytes short_ram = CompressibleRam();
  short_ram.pop_back();
  const Load too_short = Read(Append(header, Append(CompressZ80Block(short_ram), kEndMarker)));
  EXPECT_FALSE(too_short.ok);
  EXPECT_EQ(too_short.state.Memory, short_ram);  // what was decoded stays

  Bytes long_ram = CompressibleRam();
  long_ram.push_back(0x01);
  const Load too_long = Read(Append(header, Append(CompressZ80Block(long_ram), kEndMarker)));
  EXPECT_FALSE(too_long.ok);
  EXPECT_EQ(too_long.state.Memory.size(), kSnapshotRamLength);

  // A small hostile file asking for far more than 48 KB stops at 48 KB.
  Bytes bomb;
  for (int k = 0; k < 100000; ++k) bomb.insert(bomb.end(), {0xED, 0xED, 0xFF, 0x42});
  const Load bombed = Read(Append(header, Append(bomb, kEndMarker)));
  EXPECT_FALSE(bombed.ok);
  EXPECT_LE(bombed.state.Memory.size(), kSnapshotRamLength);
  EXPECT_LE(bombed.state.Memory.capacity(), kSnapshotRamLength);
}

TEST(Z80FormatTest, Version1UncompressedIgnoresTrailingBytesButNeedsAllRam) {
  const Bytes ram = PatternRam();
  const Bytes header = HandWrittenHeader(0x00);
  const Load extra = Read(Append(Append(header, ram), {0x01, 0x02, 0x03}));
  EXPECT_TRUE(extra.ok);
  EXPECT_EQ(extra.state.Memory, ram);

  const Bytes previous = PatternRam(kSnapshotRamLength, 5);
  SnapshotState state;
  state.Memory = previous;
  const Load cut = Read(Append(header, Bytes(ram.begin(), ram.end() - 1)), state);
  EXPECT_FALSE(cut.ok);
  EXPECT_EQ(cut.state.Memory, previous);
  EXPECT_EQ(cut.state.PC, 0x5678);  // the header is stored before the RAM is read
}

TEST(Z80FormatTest, ReadsVersions2And3InAnyPageOrder) {
  const SnapshotState original = SampleState();
  struct Case {
    int header_length;
    bool compressed;
    std::vector<int> pages;
  };
  const Case cases[] = {
      {23, false, {8, 4, 5}}, {23, true, {5, 4, 8}}, {54, true, {4, 8, 5}},
      {54, false, {5, 8, 4}}, {55, true, {8, 5, 4}}, {55, false, {4, 5, 8}},
  };
  for (const Case& c : cases) {
    const Bytes file = MakeZ80FilePaged(original, c.header_length, c.compressed, c.pages);
    // The first block header follows the additional header: N, then the page number.
    EXPECT_EQ(file[32 + c.header_length + 2], c.pages.front());
    const Load load = Read(file);
    ASSERT_TRUE(load.ok) << c.header_length << (c.compressed ? " compressed" : " raw");
    EXPECT_EQ(testing::SnapshotRegisterDifferences(load.state, original), "");
    EXPECT_EQ(load.state.Memory, original.Memory);
  }
}

TEST(Z80FormatTest, HardwareModeAndInterface1RomDecideAcceptance) {
  const SnapshotState original = SampleState();
  struct Case {
    std::size_t offset;
    std::uint8_t value;
    bool accepted;
  };
  const Case cases[] = {
      {testing::kZ80HardwareModeOffset, 0, true},    {testing::kZ80HardwareModeOffset, 1, true},
      {testing::kZ80HardwareModeOffset, 2, false},   {testing::kZ80HardwareModeOffset, 3, false},
      {testing::kZ80HardwareModeOffset, 4, false},   {testing::kZ80Interface1RomOffset, 255, false},
      {testing::kZ80Interface1RomOffset, 254, true}, {testing::kZ80Interface1RomOffset, 1, true},
  };
  for (const Case& c : cases) {
    Bytes file = MakeZ80FilePaged(original, 54, true);
    file[c.offset] = c.value;
    EXPECT_EQ(Read(file).ok, c.accepted) << "offset " << c.offset << " = " << int{c.value};
  }
}

TEST(Z80FormatTest, ShortAdditionalHeadersStopWhereTheirLengthSays) {
  const SnapshotState original = SampleState(CompressibleRam());
  Bytes blocks;
  for (const int page : {8, 4, 5}) {
    const std::size_t offset = page == 8 ? 0 : page == 4 ? 0x4000 : 0x8000;
    AppendZ80Block(blocks, page, std::span(original.Memory).subspan(offset, 0x4000), true);
  }
  SnapshotState main = original;
  main.PC = 0;
  const Bytes header = testing::MakeZ80MainHeader(main, false);

  // L = 0: no additional header, PC stays 0, the blocks start at offset 32.
  const Load none = Read(Append(Append(header, {0x00, 0x00}), blocks));
  ASSERT_TRUE(none.ok);
  EXPECT_EQ(none.state.PC, 0);
  EXPECT_EQ(none.state.Memory, original.Memory);

  // L = 3: PC and the hardware mode, nothing more.
  const Load three = Read(Append(Append(header, {0x03, 0x00, 0x23, 0x81, 0x00}), blocks));
  ASSERT_TRUE(three.ok);
  EXPECT_EQ(three.state.PC, 0x8123);

  // L = 10 still reads the 16 sound-chip bytes: 23 bytes in all.
  Bytes ten = Append(header, {0x0A, 0x00, 0x23, 0x81});
  ten.resize(ten.size() + 21, 0x00);
  EXPECT_TRUE(Read(Append(ten, blocks)).ok);
}

TEST(Z80FormatTest, PageTableUsesIgnoresAndRejects) {
  const SnapshotState original = SampleState();
  const Bytes file = MakeZ80FilePaged(original, 23, true);
  const std::size_t first_block = 32 + 23;

  // A page 11 block before the others, raw, and a page 200 block after them, compressed.
  Bytes with_extra(file.begin(), file.begin() + first_block);
  AppendZ80Block(with_extra, 11, PatternRam(0x4000, 77), false);
  with_extra.insert(with_extra.end(), file.begin() + first_block, file.end());
  AppendZ80Block(with_extra, 200, Bytes(0x4000, 0x99), true);
  const Load extra = Read(with_extra);
  ASSERT_TRUE(extra.ok);
  EXPECT_EQ(extra.state.Memory, original.Memory);

  for (const int page : {0, 1, 2, 3, 6, 7, 9, 10}) {
    Bytes rejected = file;
    AppendZ80Block(rejected, page, Bytes(0x4000, 0x01), true);
    SnapshotState previous;
    previous.Memory = PatternRam(kSnapshotRamLength, 3);
    const Load load = Read(rejected, previous);
    EXPECT_FALSE(load.ok) << "page " << page;
    EXPECT_EQ(load.state.PC, original.PC) << "page " << page;
    EXPECT_EQ(load.state.Memory, previous.Memory) << "page " << page;
  }
}

TEST(Z80FormatTest, RefusesMissingShortLongAndEmptyPages) {
  const SnapshotState original = SampleState();
  EXPECT_FALSE(Read(MakeZ80FilePaged(original, 23, true, {8, 5})).ok);
  EXPECT_FALSE(Read(MakeZ80FilePaged(original, 54, false, {})).ok);

  const Bytes header = MakeZ80FilePaged(original, 23, true, {8, 4});
  const Bytes page5(original.Memory.begin() + 0x8000, original.Memory.end());
  struct Case {
    const char* name;
    Bytes data;  // the compressed block data of page 5
    bool accepted;
  };
  const Case cases[] = {
      {"exact", CompressZ80Block(page5), true},
      {"one byte short", CompressZ80Block(std::span(page5).first(0x3FFF)), false},
      {"one byte long", Append(CompressZ80Block(page5), {0x01}), false},
      {"empty", {}, false},
      {"ends in ED ED", Append(CompressZ80Block(page5), {0xED, 0xED}), false},
      {"ends in ED ED nn", Append(CompressZ80Block(page5), {0xED, 0xED, 0x05}), true},
  };
  for (const Case& c : cases) {
    Bytes file = header;
    file.push_back(static_cast<std::uint8_t>(c.data.size() & 0xFF));
    file.push_back(static_cast<std::uint8_t>(c.data.size() >> 8));
    file.push_back(5);
    file.insert(file.end(), c.data.begin(), c.data.end());
    const Load load = Read(file);
    EXPECT_EQ(load.ok, c.accepted) << c.name;
    if (c.accepted) {
      EXPECT_EQ(load.state.Memory, original.Memory) << c.name;
    }
  }
}

// Writers store a lone 0xED literally; a page whose last RAM byte is 0xED was refused.
TEST(Z80FormatTest, PageEndingInALoneEdLoads) {
  Bytes ram = PatternRam();
  for (const std::size_t last : {0x3FFF, 0x7FFF, 0xBFFF}) {
    ram[last - 1] = 0x01;
    ram[last] = 0xED;
  }
  const SnapshotState original = SampleState(ram);
  const Bytes file = MakeZ80FilePaged(original, 54, true);
  const Load load = Read(file);
  ASSERT_TRUE(load.ok);
  EXPECT_EQ(load.state.Memory, ram);
  // Version 1 data keeps the marker after the lone 0xED and loads as well.
  EXPECT_TRUE(Read(MakeZ80FileVersion1(original, true)).ok);
}

TEST(Z80FormatTest, LaterBlockForAPageReplacesTheEarlierOne) {
  const SnapshotState original = SampleState();
  Bytes file = MakeZ80FilePaged(original, 23, false, {4});
  AppendZ80Block(file, 8, Bytes(100, 0x01), true);  // too short, but replaced below
  AppendZ80Block(file, 8, Bytes(0x4000, 0x02), true);
  AppendZ80Block(file, 5, std::span(original.Memory).subspan(0x8000), false);
  AppendZ80Block(file, 8, std::span(original.Memory).first(0x4000), false);
  const Load load = Read(file);
  ASSERT_TRUE(load.ok);
  EXPECT_EQ(load.state.Memory, original.Memory);
}

TEST(Z80FormatTest, StrayBytesAfterTheLastBlock) {
  const SnapshotState original = SampleState();
  const Bytes file = MakeZ80FilePaged(original, 55, true);
  EXPECT_TRUE(Read(Append(file, {0x07})).ok);
  EXPECT_TRUE(Read(Append(file, {0x07, 0x00})).ok);
  // Three bytes make a block header: an empty block for an ignored page is fine...
  EXPECT_TRUE(Read(Append(file, {0x00, 0x00, 0x0B})).ok);
  // ...one announcing data that is not there is not.
  EXPECT_FALSE(Read(Append(file, {0x01, 0x00, 0x0B})).ok);
  EXPECT_FALSE(Read(Append(file, {0xFF, 0xFF, 0x0B})).ok);
}

TEST(Z80FormatTest, FailedLoadKeepsHeaderFieldsPcAndThePreviousRam) {
  const SnapshotState original = SampleState();
  Bytes file = MakeZ80FilePaged(original, 54, true);
  file[testing::kZ80HardwareModeOffset] = 3;
  SnapshotState previous;
  previous.Memory = PatternRam(kSnapshotRamLength, 42);
  previous.PC = 0x1111;
  const Load load = Read(file, previous);
  EXPECT_FALSE(load.ok);
  EXPECT_EQ(load.state.AF, original.AF);
  EXPECT_EQ(load.state.SP, original.SP);
  EXPECT_EQ(load.state.PC, original.PC);
  EXPECT_EQ(load.state.Memory, previous.Memory);
}

TEST(Z80FormatTest, YieldsOnceAfterEachExpandedRun) {
  Bytes ram(kSnapshotRamLength, 0x00);
  for (std::size_t k = 0; k < ram.size(); k += 16) ram[k] = 0x01;  // 3072 runs of 15 zeros
  SnapshotState original = SampleState(ram);
  EXPECT_EQ(Read(MakeZ80FileVersion1(original, true)).yields, 3072);
  EXPECT_EQ(Read(MakeZ80FilePaged(original, 23, true)).yields, 3072);
  EXPECT_EQ(Read(MakeZ80FilePaged(original, 23, false)).yields, 0);
}

TEST(Z80FormatTest, DecodesA48KSnapshotQuickly) {
  // The worst case for the window: a run every few bytes, each followed by a yield.
  Bytes ram(kSnapshotRamLength);
  for (std::size_t k = 0; k < ram.size(); ++k) ram[k] = static_cast<std::uint8_t>(k / 6);
  const SnapshotState original = SampleState(ram);
  for (const Bytes& file :
       {MakeZ80FileVersion1(original, true), MakeZ80FilePaged(original, 54, true)}) {
    Load load{};
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 10; ++round) load = Read(file);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const double ms = std::chrono::duration<double, std::milli>(elapsed).count() / 10;
    ASSERT_TRUE(load.ok);
    std::cout << "decoding " << file.size() << " bytes with " << load.yields << " runs took " << ms
              << " ms\n";
    EXPECT_LT(ms, 50.0);
  }
}

TEST(Z80FormatTest, PathThatIsNoRegularFileLeavesTheRecordAlone) {
  testing::TempDir folder;
  ScriptedHost host(folder.path());
  SnapshotState state;
  state.AF = 0x4242;
  EXPECT_FALSE(ReadZ80Snapshot(folder / "missing.z80", state, host));
  EXPECT_FALSE(ReadZ80Snapshot(folder.path(), state, host));
  EXPECT_EQ(state.AF, 0x4242);
  const SnapshotState original = SampleState();
  EXPECT_TRUE(
      ReadZ80Snapshot(folder.Write("GAME.Z80", MakeZ80FilePaged(original, 54, true)), state, host));
  EXPECT_EQ(state.Memory, original.Memory);
}

}  // namespace
}  // namespace quillfen
