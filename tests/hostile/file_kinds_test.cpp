// SPDX-License-Identifier: GPL-3.0-or-later
// Paths that name no usable file, and file names of every odd shape, for every reader.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "hostile/hostile_inputs.h"

namespace quillfen {
namespace {

using FileKindsTest = testing::HostileInputTest;

// Files of 0 bytes or over 16 MiB, folders, FIFOs and dangling links are refused. Reading stops
// at 16 MiB: a program file with a valid head and a sparse tail loads at exactly that length
// (the tail is dropped).
TEST_F(FileKindsTest, WhatIsNoReadableFileIsRefused) {
  for (const std::string kind : kKinds) {
    SCOPED_TRACE(kind);
    EXPECT_FALSE(Load(kind, folder_.Write("EMPTY." + kind, {})));
    const auto big = folder_.Write("BIG." + kind, ValidFile(kind));
    if (kind == "P" || kind == "O") {
      std::filesystem::resize_file(big, kLargestReadableFile);
      EXPECT_TRUE(Load(kind, big));
    }
    std::filesystem::resize_file(big, kLargestReadableFile + 1);
    EXPECT_FALSE(Load(kind, big));
    std::filesystem::create_directory(folder_ / ("FOLDER." + kind));
    EXPECT_FALSE(Load(kind, folder_ / ("FOLDER." + kind)));
    const auto fifo = folder_ / ("FIFO." + kind);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(Load(kind, fifo));  // no writer: a blocking open would hang here
    const auto link = folder_ / ("DANGLING." + kind);
    std::filesystem::create_symlink(folder_ / ("GONE." + kind), link);
    EXPECT_FALSE(Load(kind, link));
    // A link to a good file is read like the file.
    const auto good = folder_.Write("GOOD." + kind, ValidFile(kind));
    std::filesystem::create_symlink(good, folder_ / ("LINK." + kind));
    EXPECT_TRUE(Load(kind, folder_ / ("LINK." + kind)));
  }
}

TEST_F(FileKindsTest, UnreadableFilesAreRefused) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: permission bits do not stop reading";
  for (const std::string kind : kKinds) {
    const auto path = folder_.Write("LOCKED." + kind, ValidFile(kind));
    std::filesystem::permissions(path, std::filesystem::perms::none);
    EXPECT_FALSE(Load(kind, path)) << kind;
  }
}

TEST_F(FileKindsTest, OddNamesFollowTheLastPointOfTheWholePath) {
  for (const std::string kind : kKinds) {
    SCOPED_TRACE(kind);
    const Bytes file = ValidFile(kind);
    EXPECT_FALSE(Load(kind, folder_.Write("GAME", file)));
    EXPECT_TRUE(Load(kind, folder_.Write("MY.OLD.GAME." + kind, file)));
    EXPECT_FALSE(Load(kind, folder_.Write("GAME." + kind + ".BAK", file)));
    EXPECT_FALSE(Load(kind, folder_.Write("GAME." + kind + " ", file)));
    EXPECT_FALSE(Load(kind, folder_.Write("GAME. " + kind, file)));
    // UTF-8 letters in the name are kept; only ASCII is upper-cased.
    EXPECT_TRUE(Load(kind, folder_.Write("\xC3\xA9t\xC3\xA9." + kind, file)));
    EXPECT_FALSE(Load(kind, folder_.Write("GAME." + kind + "\xC3\xA9", file)));
    // A point only in a folder name gives an "extension" with a slash in it.
    std::filesystem::create_directory(folder_ / ("DISK." + kind));
    EXPECT_FALSE(Load(kind, folder_.Write("DISK." + kind + "/GAME", file)));
  }
}

}  // namespace
}  // namespace quillfen
