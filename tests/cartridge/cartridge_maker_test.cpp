// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/cartridge_maker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "support/temp_dir.h"

namespace quillfen {
namespace {

using testing::TempDir;

// Fragments, words and bytes append in order, low byte first; what does not fit is refused
// without appending, a malformed fragment after the pairs before its fault.
TEST(CartridgeMakerTest, AppendsInOrderAndRefusesWhatDoesNotFit) {
  CartridgeMaker maker;
  maker.AppendFragment("21 00 C0");
  maker.AppendFragment("ED-B0 ");  // the separator is never examined; a trailing one is ignored
  EXPECT_EQ(maker.NextAddress(), 5);
  EXPECT_THROW(maker.AppendFragment("FF 0"), Error);  // second pair lacks its low digit
  EXPECT_THROW(maker.AppendFragment("z0"), Error);    // lower-case letter: not a byte value
  EXPECT_THROW(maker.AppendFragment("!0"), Error);    // below '0'
  maker.AppendWord(33333);
  maker.AppendWord(65535);
  EXPECT_THROW(maker.AppendWord(65536), Error);
  EXPECT_THROW(maker.AppendWord(-1), Error);
  EXPECT_THROW(maker.AppendByte(256), Error);
  EXPECT_FALSE(maker.AppendRomImage(Bytes(16383, 1)));
  EXPECT_FALSE(maker.AppendRomImage(Bytes(16385, 1)));
  EXPECT_EQ(maker.CartridgeImage(),
            (Bytes{0x21, 0x00, 0xC0, 0xED, 0xB0, 0xFF, 0x35, 0x82, 0xFF, 0xFF}));
  EXPECT_TRUE(maker.AppendRomImage(Bytes(16384, 7)));
  EXPECT_EQ(maker.CartridgeImage().size(), 16394u);
}

// Each refusal says why, in the system's words where the system refused.
TEST(ReadWholeFileTest, RefusesWhatIsNotANonEmptyRegularFileSayingWhy) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  dir.Write("huge", Bytes(kLargestReadableFile + 1, 0));
  const std::pair<std::filesystem::path, std::string> refused[] = {
      {dir / "missing", "No such file or directory"},
      {dir / "fifo", "not a regular file"},  // must not wait for a writer
      {dir / "huge", "larger than 16777216 bytes"},
  };
  Bytes kept{1, 2, 3};
  for (const auto& [path, why] : refused) {
    std::string reason;
    EXPECT_FALSE(ReadWholeFile(kept, path, reason));
    EXPECT_EQ(reason, why);
  }
  EXPECT_EQ(kept, (Bytes{1, 2, 3}));

  std::string reason;
  EXPECT_FALSE(ReadWholeFile(kept, dir.Write("empty", {}), reason));
  EXPECT_EQ(reason, "an empty file");
  EXPECT_TRUE(ReadWholeFile(kept, dir.Write("one", {7}), reason));
  EXPECT_EQ(kept, Bytes{7});
}

// tests/hostile covers the other write failures for every machine.
TEST(WriteCartridgeImageTest, RefusesAFolderWithoutWritePermissionSayingWhy) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: permission bits do not stop writing";
  TempDir dir;
  std::filesystem::create_directory(dir / "locked");
  std::filesystem::permissions(dir / "locked", std::filesystem::perms(0500));
  CartridgeMaker maker;
  maker.AppendFragment("C3 00 00");
  std::string reason;
  EXPECT_FALSE(maker.WriteCartridgeImage(dir / "locked" / "GAME.bin", reason));
  EXPECT_EQ(reason, "creating a temporary file in " + (dir / "locked").string() +
                        " failed: Permission denied");
}

}  // namespace
}  // namespace quillfen
