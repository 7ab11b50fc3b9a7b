// Length fields that point past the end of the file, and compressed data that would expand
// beyond a page or beyond 48K: refused, without reading past the end or growing memory.
#include <gtest/gtest.h>

#include <chrono>

#include "hostile/hostile_inputs.h"
#include "spectrum/z80_format.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"

namespace quillfen {
namespace {

using testing::HostileInputTest;

constexpr std::size_t kPage = 0x4000;

// A version 2 header (PC 0, L = 23, hardware mode 0) ready for blocks.
Bytes Version2Header() {
  SnapshotState state = testing::SmallSnapshot();
  state.PC = 0x8000;
  Bytes file = testing::MakeZ80FilePaged(state, 23, true);
  file.resize(kZ80HeaderLength + 2 + 23);
  return file;
}

void AppendBlockHeader(Bytes& file, std::uint16_t length, std::uint8_t page) {
  file.push_back(static_cast<std::uint8_t>(length & 0xFF));  // data length, low byte first
  file.push_back(static_cast<std::uint8_t>(length >> 8));
  file.push_back(page);
}

bool ReadZ80(const Bytes& file, SnapshotState& state) {
  testing::ScriptedHost host("/nonexistent");
  return ReadZ80Snapshot(file, state, host);
}

TEST_F(HostileInputTest, ProgramLengthsBeyondTheFileAreRefused) {
  Bytes zx81 = testing::MakeZX81Program(200);
  testing::StoreWord(zx81, 11, 0x4009 + 201);  // E_LINE one past the end
  EXPECT_FALSE(converters_.LoadZX81Program(folder_.Write("GAME.P", zx81)));
  testing::StoreWord(zx81, 11, 0xFFFF);
  EXPECT_FALSE(converters_.LoadZX81Program(folder_.Write("GAME.P", zx81)));

  EXPECT_FALSE(converters_.LoadZX80Program(
      folder_.Write("GAME.O", testing::MakeZX80ProgramWithELine(0x4000 + 201, 200))));
  EXPECT_FALSE(converters_.LoadZX80Program(
      folder_.Write("GAME.O", testing::MakeZX80ProgramWithELine(0x7FFF, 200))));
}

TEST(Z80LengthFieldTest, AdditionalHeaderLongerThanTheFileIsRefused) {
  for (const std::uint16_t length : {24, 54, 55, 0x00FF, 0xFFFF}) {
    Bytes file = Version2Header();
    file[30] = static_cast<std::uint8_t>(length & 0xFF);
    file[31] = static_cast<std::uint8_t>(length >> 8);
    SnapshotState state;
    EXPECT_FALSE(ReadZ80(file, state)) << length;
  }
}

TEST(Z80LengthFieldTest, BlocksLongerThanTheRestOfTheFileAreRefused) {
  for (const std::uint16_t claimed : {1, 100, 0x3FFF, 0x4000, 0xFFFE}) {
    Bytes file = Version2Header();
    AppendBlockHeader(file, claimed, 8);
    file.resize(file.size() + claimed - 1, 0x00);  // one byte short
    SnapshotState state;
    EXPECT_FALSE(ReadZ80(file, state)) << claimed;
  }
}

// 0xFFFF announces 16384 plain bytes; a file that ends before them is refused wherever it ends.
TEST(Z80LengthFieldTest, UncompressedBlocksThatEndEarlyAreRefused) {
  for (const std::size_t present : {0u, 1u, 2u, 100u, 0x2000u, 0x3FFEu, 0x3FFFu}) {
    for (const std::uint8_t page : {8, 4, 5, 11}) {
      Bytes file = Version2Header();
      AppendBlockHeader(file, 0xFFFF, page);
      file.resize(file.size() + present, 0x77);
      SnapshotState state;
      EXPECT_FALSE(ReadZ80(file, state)) << present << " bytes of page " << int{page};
      EXPECT_TRUE(state.Memory.empty());
    }
  }
}

// ED ED FF 00 stands for 255 zeros: a few kilobytes of it would make megabytes.
Bytes Runs(std::size_t count) {
  Bytes data;
  for (std::size_t k = 0; k < count; ++k) data.insert(data.end(), {0xED, 0xED, 0xFF, 0x00});
  return data;
}

TEST(Z80ExpansionTest, Version1DataBeyond48KIsRefusedWithoutGrowingMemory) {
  SnapshotState state = testing::SmallSnapshot();
  state.PC = 0x8000;
  Bytes file = testing::MakeZ80MainHeader(state, true);
  const std::size_t runs = kSnapshotRamLength / 255 + 2;  // just over 48K
  const Bytes data = Runs(runs);
  file.insert(file.end(), data.begin(), data.end());
  file.insert(file.end(), {0x00, 0xED, 0xED, 0x00});
  SnapshotState loaded;
  EXPECT_FALSE(ReadZ80(file, loaded));
  EXPECT_LE(loaded.Memory.size(), kSnapshotRamLength);
  EXPECT_LE(loaded.Memory.capacity(), kSnapshotRamLength);
}

TEST(Z80ExpansionTest, PagesBeyond16KAreRefused) {
  for (const std::uint8_t page : {8, 4, 5}) {
    Bytes file = Version2Header();
    const Bytes data = Runs(kPage / 255 + 2);
    AppendBlockHeader(file, static_cast<std::uint16_t>(data.size()), page);
    file.insert(file.end(), data.begin(), data.end());
    SnapshotState state;
    EXPECT_FALSE(ReadZ80(file, state)) << int{page};
    EXPECT_TRUE(state.Memory.empty());
  }
}

// A 2 MiB file of runs would stand for 127 MiB: it is refused at once.
TEST_F(HostileInputTest, AFileOfRunsIsRefusedQuickly) {
  SnapshotState state = testing::SmallSnapshot();
  state.PC = 0x8000;
  Bytes file = testing::MakeZ80MainHeader(state, true);
  const Bytes data = Runs(kLargestReadableFile / 8 / 4);
  file.insert(file.end(), data.begin(), data.end());
  file.insert(file.end(), {0x00, 0xED, 0xED, 0x00});
  const auto path = folder_.Write("BOMB.Z80", file);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(converters_.LoadSnapshot(path));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_LE(converters_.Spectrum().State().Memory.capacity(), kSnapshotRamLength);
}

}  // namespace
}  // namespace quillfen
