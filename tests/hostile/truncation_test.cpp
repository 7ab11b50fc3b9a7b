// SPDX-License-Identifier: GPL-3.0-or-later
// Every proper prefix of a valid file of every format is refused: the ZX80 and ZX81 readers
// through files (the reader keeps a buffer of exactly the file's length), the snapshot readers
// through buffers of exactly the prefix's length, so the sanitizer build sees any overread.
#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "hostile/hostile_inputs.h"
#include "spectrum/sna_format.h"

namespace quillfen {
namespace {

using testing::HostileInputTest;

TEST_F(HostileInputTest, EveryPrefixOfEveryFormatIsRefused) {
  const Bytes zx81 = testing::MakeZX81Program(300, 0x407D);
  const SnapshotState state = testing::SmallSnapshot();
  const std::pair<std::string, Bytes> files[] = {
      {"P", zx81},
      {"P81", testing::MakeZX81P81File({0x2C, 0x26, 0xA6}, zx81)},
      {"O", testing::MakeZX80Program(300)},
      {"SNA", testing::MakeSnaFile(state)},
      {"Z80", testing::MakeZ80FileVersion1(state, false)},
      {"Z80", testing::MakeZ80FileVersion1(state, true)},
      {"Z80", testing::MakeZ80FilePaged(state, 23, true)},
      {"Z80", testing::MakeZ80FilePaged(state, 54, false, {5, 4, 8})},
      {"Z80", testing::MakeZ80FilePaged(state, 55, true, {4, 8, 5})}};
  for (const auto& [extension, file] : files) {
    auto read = [&, &extension = extension](std::span<const std::uint8_t> bytes) {
      SnapshotState read_state;
      if (extension == "SNA") return ReadSnaSnapshot(bytes, read_state);
      if (extension == "Z80") return testing::ReadZ80(bytes, read_state);
      const auto path = folder_.Write("GAME." + extension, Bytes(bytes.begin(), bytes.end()));
      return extension == "O" ? converters_.LoadZX80Program(path)
                              : converters_.LoadZX81Program(path);
    };
    ASSERT_TRUE(read(file)) << extension << " of " << file.size() << " bytes must load";
    for (std::size_t cut = 0; cut < file.size(); ++cut) {
      // Every length up to 16 KB; of larger files every cut within 2 KB of an end and every 61st.
      if (file.size() > 0x4000 && cut >= 0x800 && file.size() - cut > 0x800 && cut % 61 != 0)
        continue;
      auto prefix = std::make_unique<std::uint8_t[]>(cut == 0 ? 1 : cut);
      std::copy_n(file.begin(), cut, prefix.get());
      EXPECT_FALSE(read(std::span<const std::uint8_t>(prefix.get(), cut)))
          << extension << " cut at " << cut << " of " << file.size();
    }
  }
}

}  // namespace
}  // namespace quillfen
