// Every prefix of a valid snapshot file is refused without reading past its end. Each prefix is
// copied into a buffer of exactly its length, so that the sanitizer build catches any overread.
#include <gtest/gtest.h>

#include <memory>

#include "spectrum/sna_format.h"
#include "spectrum/z80_format.h"
#include "support/scripted_host.h"
#include "support/snapshot_files.h"

namespace quillfen {
namespace {

using testing::ScriptedHost;

// Offsets worth cutting at: all of them for small files; for large ones every offset in the
// first and last 1 KB and every 257th in between, which keeps the sweep fast in every build.
std::vector<std::size_t> CutOffsets(std::size_t length) {
  std::vector<std::size_t> offsets;
  for (std::size_t cut = 0; cut < length; ++cut)
    if (length < 0x4000 || cut < 0x400 || length - cut <= 0x400 || cut % 257 == 0)
      offsets.push_back(cut);
  return offsets;
}

template <typename Reader>
void SweepTruncations(const Bytes& file, Reader read) {
  SnapshotState state;
  ASSERT_TRUE(read(std::span<const std::uint8_t>(file), state)) << "the whole file must load";
  for (const std::size_t cut : CutOffsets(file.size())) {
    auto prefix = std::make_unique<std::uint8_t[]>(cut == 0 ? 1 : cut);
    std::copy_n(file.begin(), cut, prefix.get());
    SnapshotState cut_state;
    EXPECT_FALSE(read(std::span<const std::uint8_t>(prefix.get(), cut), cut_state))
        << "cut at " << cut << " of " << file.size();
  }
}

// RAM that compresses to a few kilobytes, so that every offset of the compressed files is cut.
SnapshotState CompressibleSnapshot() {
  std::mt19937 random(11);
  SnapshotState state = testing::RandomSnapshot(random);
  for (std::size_t k = 0; k < state.Memory.size(); ++k)
    if (k % 2000 > 40) state.Memory[k] = k % 3000 < 1500 ? 0x00 : 0xED;
  return state;
}

TEST(SnapshotTruncationTest, EveryPrefixOfAValidFileIsRefused) {
  ScriptedHost host("/nonexistent");
  auto sna = [](std::span<const std::uint8_t> bytes, SnapshotState& state) {
    return ReadSnaSnapshot(bytes, state);
  };
  auto z80 = [&host](std::span<const std::uint8_t> bytes, SnapshotState& state) {
    return ReadZ80Snapshot(bytes, state, host);
  };
  const SnapshotState small = CompressibleSnapshot();
  std::mt19937 random(12);
  const SnapshotState noisy = testing::RandomSnapshot(random);

  SweepTruncations(testing::MakeSnaFile(noisy), sna);
  SweepTruncations(testing::MakeZ80FileVersion1(noisy, false), z80);
  SweepTruncations(testing::MakeZ80FileVersion1(small, true), z80);
  SweepTruncations(testing::MakeZ80FilePaged(small, 23, true), z80);
  SweepTruncations(testing::MakeZ80FilePaged(small, 55, true, {5, 8, 4}), z80);
  SweepTruncations(testing::MakeZ80FilePaged(noisy, 54, false), z80);
}

TEST(SnapshotTruncationTest, CorruptedBytesNeverCrash) {
  ScriptedHost host("/nonexistent");
  const SnapshotState small = CompressibleSnapshot();
  const Bytes files[] = {testing::MakeZ80FileVersion1(small, true),
                         testing::MakeZ80FilePaged(small, 54, true)};
  std::mt19937 random(13);
  for (const Bytes& file : files) {
    for (int round = 0; round < 300; ++round) {
      Bytes corrupted = file;
      for (int k = 0; k < 4; ++k) {
        const std::size_t at =
            std::uniform_int_distribution<std::size_t>(0, file.size() - 1)(random);
        corrupted[at] = static_cast<std::uint8_t>(random());
      }
      SnapshotState state;
      if (ReadZ80Snapshot(corrupted, state, host)) {
        EXPECT_EQ(state.Memory.size(), kSnapshotRamLength);
      }
    }
  }
}

}  // namespace
}  // namespace quillfen
