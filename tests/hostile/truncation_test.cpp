// Every proper prefix of a valid file is refused: the ZX80 and ZX81 readers through files (the
// reader keeps a buffer of exactly the file's length, so the sanitizer build sees any overread),
// the snapshot readers through buffers of exactly the prefix's length.
#include <gtest/gtest.h>

#include <memory>

#include "hostile/hostile_inputs.h"
#include "spectrum/sna_format.h"
#include "spectrum/z80_format.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"

namespace quillfen {
namespace {

using testing::HostileInputTest;

TEST_F(HostileInputTest, EveryPrefixOfAZX81ProgramFileIsRefused) {
  const Bytes image = testing::MakeZX81Program(300, 0x407D);
  const Bytes p81 = testing::MakeZX81P81File({0x2C, 0x26, 0xA6}, image);
  ASSERT_TRUE(converters_.LoadZX81Program(folder_.Write("FULL.P", image)));
  ASSERT_TRUE(converters_.LoadZX81Program(folder_.Write("FULL.P81", p81)));
  for (std::size_t cut = 0; cut < p81.size(); ++cut) {
    if (cut < image.size()) {
      EXPECT_FALSE(converters_.LoadZX81Program(
          folder_.Write("CUT.P", Bytes(image.begin(), image.begin() + cut))))
          << "cut at " << cut;
    }
    EXPECT_FALSE(converters_.LoadZX81Program(
        folder_.Write("CUT.P81", Bytes(p81.begin(), p81.begin() + cut))))
        << "cut at " << cut;
  }
}

TEST_F(HostileInputTest, EveryPrefixOfAZX80ProgramFileIsRefused) {
  const Bytes image = testing::MakeZX80Program(300);
  ASSERT_TRUE(converters_.LoadZX80Program(folder_.Write("FULL.O", image)));
  for (std::size_t cut = 0; cut < image.size(); ++cut)
    EXPECT_FALSE(converters_.LoadZX80Program(
        folder_.Write("CUT.O", Bytes(image.begin(), image.begin() + cut))))
        << "cut at " << cut;
}

// Every length of files up to 16 KB. The 48K files with plain RAM fail at the same single read
// for every cut inside the RAM, so there every cut within 2 KB of either end and every 61st
// between them is taken, which keeps the suite fast under the sanitizers.
bool WorthCutting(std::size_t cut, std::size_t length) {
  return length <= 0x4000 || cut < 0x800 || length - cut <= 0x800 || cut % 61 == 0;
}

template <typename Reader>
void ExpectEveryPrefixRefused(const Bytes& file, Reader read) {
  SnapshotState state;
  ASSERT_TRUE(read(std::span<const std::uint8_t>(file), state)) << "the whole file must load";
  for (std::size_t cut = 0; cut < file.size(); ++cut) {
    if (!WorthCutting(cut, file.size())) continue;
    // A buffer of exactly `cut` bytes: reading one byte more is an overflow the sanitizer sees.
    auto prefix = std::make_unique<std::uint8_t[]>(cut == 0 ? 1 : cut);
    std::copy_n(file.begin(), cut, prefix.get());
    SnapshotState cut_state;
    const bool loaded = read(std::span<const std::uint8_t>(prefix.get(), cut), cut_state);
    if (loaded) ADD_FAILURE() << "cut at " << cut << " of " << file.size() << " loaded";
  }
}

TEST(SnapshotPrefixTest, EveryPrefixOfEverySnapshotVariantIsRefused) {
  testing::ScriptedHost host("/nonexistent");
  auto sna = [](std::span<const std::uint8_t> bytes, SnapshotState& state) {
    return ReadSnaSnapshot(bytes, state);
  };
  auto z80 = [&host](std::span<const std::uint8_t> bytes, SnapshotState& state) {
    return ReadZ80Snapshot(bytes, state, host);
  };
  const SnapshotState state = testing::SmallSnapshot();

  ExpectEveryPrefixRefused(testing::MakeSnaFile(state), sna);
  ExpectEveryPrefixRefused(testing::MakeZ80FileVersion1(state, false), z80);
  ExpectEveryPrefixRefused(testing::MakeZ80FileVersion1(state, true), z80);
  ExpectEveryPrefixRefused(testing::MakeZ80FilePaged(state, 23, true), z80);
  ExpectEveryPrefixRefused(testing::MakeZ80FilePaged(state, 54, false, {5, 4, 8}), z80);
  ExpectEveryPrefixRefused(testing::MakeZ80FilePaged(state, 55, true, {4, 8, 5}), z80);
}

}  // namespace
}  // namespace quillfen
