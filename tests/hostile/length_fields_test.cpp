// SPDX-License-Identifier: GPL-3.0-or-later
// Length fields that point past the end of the file, and compressed data that would expand
// beyond a page or beyond 48K: refused, without reading past the end or growing memory.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "hostile/hostile_inputs.h"
#include "support/zx81_files.h"

namespace quillfen {
namespace {

using testing::HostileInputTest;
using testing::ReadZ80;

// A version 2 file (PC 0, additional header of 23 bytes, hardware mode 0) with `length` in its
// additional header length field, then a block header claiming `claimed` bytes of `page`.
Bytes Version2Header(std::uint16_t claimed, std::uint8_t page, std::uint16_t length = 23) {
  SnapshotState state = testing::SmallSnapshot();
  state.PC = 0x8000;
  Bytes file = testing::MakeZ80FilePaged(state, 23, true);
  file.resize(kZ80HeaderLength + 2 + 23);
  testing::StoreWord(file, 30, length);
  file.insert(file.end(), {static_cast<std::uint8_t>(claimed & 0xFF),  // low byte first
                           static_cast<std::uint8_t>(claimed >> 8), page});
  return file;
}

// ED ED FF 00 stands for 255 zeros: a few kilobytes of it would make megabytes.
Bytes Runs(std::size_t count) {
  Bytes data;
  for (std::size_t k = 0; k < count; ++k) data.insert(data.end(), {0xED, 0xED, 0xFF, 0x00});
  return data;
}

// An additional header longer than the file, a block one byte short of its length, 0xFFFF
// (16384 plain bytes) with the file ending anywhere before them, and a compressed page that
// expands beyond 16K: each is refused without leaving RAM behind.
TEST(Z80LengthFieldTest, LengthsPastTheEndAndPagesBeyond16KAreRefused) {
  auto expect_refused = [](const Bytes& file, const std::string& what) {
    SnapshotState state;
    EXPECT_FALSE(ReadZ80(file, state)) << what;
    EXPECT_TRUE(state.Memory.empty()) << what;
  };
  for (const std::uint16_t length : {24, 54, 55, 0x00FF, 0xFFFF}) {
    Bytes file = Version2Header(0, 8, length);
    file.resize(kZ80HeaderLength + 2 + 23);
    expect_refused(file, "additional header length " + std::to_string(length));
  }
  for (const std::uint16_t claimed : {1, 100, 0x3FFF, 0x4000, 0xFFFE}) {
    Bytes file = Version2Header(claimed, 8);
    file.resize(file.size() + claimed - 1, 0x00);
    expect_refused(file, "block of " + std::to_string(claimed));
  }
  const Bytes runs = Runs(0x4000 / 255 + 2);
  for (const std::uint8_t page : {8, 4, 5, 11}) {
    for (const std::size_t present : {0u, 1u, 2u, 100u, 0x2000u, 0x3FFEu, 0x3FFFu}) {
      Bytes file = Version2Header(0xFFFF, page);
      file.resize(file.size() + present, 0x77);
      expect_refused(file,
                     std::to_string(present) + " of 16384 bytes of page " + std::to_string(page));
    }
    Bytes file = Version2Header(static_cast<std::uint16_t>(runs.size()), page);
    file.insert(file.end(), runs.begin(), runs.end());
    expect_refused(file, "runs of page " + std::to_string(page));
  }
}

// Version 1 data just over 48K, and a 2 MiB file of runs that would stand for 127 MiB: refused
// at once, without memory growing beyond 48K.
TEST_F(HostileInputTest, Version1DataBeyond48KIsRefusedWithoutGrowingMemory) {
  SnapshotState state = testing::SmallSnapshot();
  state.PC = 0x8000;
  for (const std::size_t runs : {kSnapshotRamLength / 255 + 1, kLargestReadableFile / 8 / 4}) {
    Bytes file = testing::MakeZ80MainHeader(state, true);
    const Bytes data = Runs(runs);
    file.insert(file.end(), data.begin(), data.end());
    file.insert(file.end(), {0x00, 0xED, 0xED, 0x00});
    const auto path = folder_.Write("BOMB.Z80", file);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(converters_.LoadSnapshot(path)) << runs;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_LE(converters_.Spectrum().State().Memory.capacity(), kSnapshotRamLength);
  }
}

}  // namespace
}  // namespace quillfen
