#include "spectrum/sna_format.h"

#include <gtest/gtest.h>

#include "support/snapshot_files.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

// RAM whose every byte differs from its neighbours, so that a shifted image shows.
Bytes PatternRam(std::size_t length = kSnapshotRamLength, int seed = 1) {
  Bytes ram(length);
  for (std::size_t k = 0; k < length; ++k)
    ram[k] = static_cast<std::uint8_t>(k * 7 + seed + k / 256);
  return ram;
}

// A header with a distinct value in every field, written byte by byte.
Bytes HandWrittenHeader() {
  return {
      0x3F,        // 0: I
      0x01, 0x02,  // 1: HL'
      0x03, 0x04,  // 3: DE'
      0x05, 0x06,  // 5: BC'
      0x07, 0x08,  // 7: F', A'
      0x09, 0x0A,  // 9: HL
      0x0B, 0x0C,  // 11: DE
      0x0D, 0x0E,  // 13: BC
      0x0F, 0x10,  // 15: IY
      0x11, 0x12,  // 17: IX
      0xFF,        // 19: interrupt flip-flop in bit 2 (all bits set)
      0x95,        // 20: R, bit 7 set
      0x44, 0x3A,  // 21: F, A
      0x00, 0xFF,  // 23: SP
      0x05,        // 25: interrupt mode, unmasked
      0x0F,        // 26: border colour, low three bits
  };
}

Bytes WithRam(Bytes file, const Bytes& ram) {
  file.insert(file.end(), ram.begin(), ram.end());
  return file;
}

TEST(SnaFormatTest, ReadsEveryHeaderFieldAndTheRam) {
  const Bytes ram = PatternRam();
  SnapshotState state;
  state.PC = 0x1234;  // an SNA snapshot never sets PC
  ASSERT_TRUE(ReadSnaSnapshot(WithRam(HandWrittenHeader(), ram), state));
  EXPECT_EQ(state.I, 0x3F);
  EXPECT_EQ(state.HLAlt, 0x0201);
  EXPECT_EQ(state.DEAlt, 0x0403);
  EXPECT_EQ(state.BCAlt, 0x0605);
  EXPECT_EQ(state.AFAlt, 0x0807);
  EXPECT_EQ(state.HL, 0x0A09);
  EXPECT_EQ(state.DE, 0x0C0B);
  EXPECT_EQ(state.BC, 0x0E0D);
  EXPECT_EQ(state.IY, 0x100F);
  EXPECT_EQ(state.IX, 0x1211);
  EXPECT_TRUE(state.InterruptsEnabled);
  EXPECT_EQ(state.R, 0x95);
  EXPECT_EQ(state.AF, 0x3A44);  // A = 0x3A, F = 0x44
  EXPECT_EQ(state.SP, 0xFF00);
  EXPECT_EQ(state.InterruptMode, 5);
  EXPECT_EQ(state.BorderColour, 7);
  EXPECT_EQ(state.PC, 0x1234);
  ASSERT_EQ(state.Memory.size(), kSnapshotRamLength);
  EXPECT_EQ(state.Memory.front(), ram.front());  // file offset 27 is 0x4000
  EXPECT_EQ(state.Memory.back(), ram.back());    // file offset 49178 is 0xFFFF
  EXPECT_EQ(state.Memory, ram);
}

TEST(SnaFormatTest, InterruptFlipFlopIsBitTwoOnly) {
  const std::pair<std::uint8_t, bool> cases[] = {
      {0x04, true}, {0xFF, true}, {0x01, false}, {0x00, false}, {0xFB, false}};
  for (const auto& [byte, enabled] : cases) {
    Bytes file = WithRam(HandWrittenHeader(), PatternRam());
    file[19] = byte;
    SnapshotState state;
    state.InterruptsEnabled = !enabled;
    ASSERT_TRUE(ReadSnaSnapshot(file, state));
    EXPECT_EQ(state.InterruptsEnabled, enabled) << "byte 19 = " << int{byte};
  }
}

TEST(SnaFormatTest, AcceptsOnly49179And49180Bytes) {
  const Bytes ram = PatternRam(kSnapshotRamLength + 2);
  const std::pair<std::size_t, bool> cases[] = {
      {49178, false}, {49179, true}, {49180, true}, {49181, false}, {131103, false}};
  for (const auto& [length, accepted] : cases) {
    Bytes file = HandWrittenHeader();
    Bytes tail = PatternRam(length - file.size(), 3);
    file.insert(file.end(), tail.begin(), tail.end());
    SnapshotState state;
    state.Memory = ram;
    EXPECT_EQ(ReadSnaSnapshot(file, state), accepted) << length << " bytes";
    // The byte after the RAM of a 49180-byte file is never part of it.
    EXPECT_EQ(state.Memory.size(), accepted ? kSnapshotRamLength : ram.size());
    if (accepted) {
      EXPECT_EQ(state.Memory, Bytes(file.begin() + 27, file.begin() + 49179));
    }
  }
}

TEST(SnaFormatTest, FailedLoadKeepsItsHeaderFieldsAndThePreviousRam) {
  const Bytes previous_ram = PatternRam(kSnapshotRamLength, 9);
  for (const std::size_t length : {std::size_t{27}, std::size_t{49178}, std::size_t{49181}}) {
    Bytes file = HandWrittenHeader();
    file.resize(length, 0x66);
    SnapshotState state;
    state.Memory = previous_ram;
    EXPECT_FALSE(ReadSnaSnapshot(file, state));
    EXPECT_EQ(state.SP, 0xFF00) << length;
    EXPECT_EQ(state.BorderColour, 7) << length;
    EXPECT_EQ(state.Memory, previous_ram) << length;
  }
  // A file that ends inside the header stores the fields before that point only.
  Bytes cut = HandWrittenHeader();
  cut.resize(10);
  SnapshotState state;
  state.HL = 0x7777;
  EXPECT_FALSE(ReadSnaSnapshot(cut, state));
  EXPECT_EQ(state.AFAlt, 0x0807);  // offsets 7 and 8: complete
  EXPECT_EQ(state.HL, 0x7777);     // offsets 9 and 10: cut
}

TEST(SnaFormatTest, RoundTripsThroughTheTestBuilder) {
  std::mt19937 random(4);
  for (int round = 0; round < 5; ++round) {
    const SnapshotState original = testing::RandomSnapshot(random);
    SnapshotState state;
    ASSERT_TRUE(ReadSnaSnapshot(testing::MakeSnaFile(original), state));
    state.PC = original.PC;  // not in an SNA file
    EXPECT_EQ(testing::SnapshotRegisterDifferences(state, original), "");
    EXPECT_EQ(state.Memory, original.Memory);
  }
}

TEST(SnaFormatTest, PathThatIsNoRegularFileLeavesTheRecordAlone) {
  testing::TempDir folder;
  SnapshotState state;
  state.I = 0x11;
  EXPECT_FALSE(ReadSnaSnapshot(folder / "missing.sna", state));
  EXPECT_FALSE(ReadSnaSnapshot(folder.path(), state));
  EXPECT_FALSE(ReadSnaSnapshot(folder.Write("empty.sna", {}), state));
  EXPECT_EQ(state.I, 0x11);
  EXPECT_FALSE(std::filesystem::exists(folder / "missing.sna"));
  EXPECT_TRUE(
      ReadSnaSnapshot(folder.Write("GAME.SNA", WithRam(HandWrittenHeader(), PatternRam())), state));
  EXPECT_EQ(state.I, 0x3F);
}

}  // namespace
}  // namespace quillfen
