// Paths that name no usable file, and file names of every odd shape, for every reader.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cartridge/file_names.h"
#include "hostile/hostile_inputs.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"

namespace quillfen {
namespace {

using testing::HostileInputTest;

// A valid file for each reader, by extension.
class FileKindsTest : public HostileInputTest {
 protected:
  Bytes ValidFile(const std::string& extension) const {
    if (extension == "P") return testing::MakeZX81Program(200, 0x407D);
    if (extension == "O") return testing::MakeZX80Program(200);
    if (extension == "SNA") return testing::MakeSnaFile(testing::SmallSnapshot());
    return testing::MakeZ80FileVersion1(testing::SmallSnapshot(), true);
  }

  bool Load(const std::filesystem::path& path) {
    const std::string extension = ExtensionOf(path.string());
    if (extension == "P" || extension == "81" || extension == "P81")
      return converters_.LoadZX81Program(path);
    if (extension == "O" || extension == "80" || extension == "P80")
      return converters_.LoadZX80Program(path);
    return converters_.LoadSnapshot(path);
  }

  static constexpr const char* kExtensions[] = {"P", "O", "SNA", "Z80"};
};

TEST_F(FileKindsTest, EmptyFilesFoldersFifosAndDanglingLinksAreRefused) {
  for (const std::string extension : kExtensions) {
    SCOPED_TRACE(extension);
    EXPECT_FALSE(Load(folder_.Write("EMPTY." + extension, {})));
    std::filesystem::create_directory(folder_ / ("FOLDER." + extension));
    EXPECT_FALSE(Load(folder_ / ("FOLDER." + extension)));
    const auto fifo = folder_ / ("FIFO." + extension);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(Load(fifo));  // no writer: a blocking open would hang here
    const auto link = folder_ / ("DANGLING." + extension);
    std::filesystem::create_symlink(folder_ / ("GONE." + extension), link);
    EXPECT_FALSE(Load(link));
    EXPECT_FALSE(Load(folder_ / ("MISSING." + extension)));
    // A link to a good file is read like the file.
    const auto good = folder_.Write("GOOD." + extension, ValidFile(extension));
    std::filesystem::create_symlink(good, folder_ / ("LINK." + extension));
    EXPECT_TRUE(Load(folder_ / ("LINK." + extension)));
  }
}

// ReadWholeFile stops at 16 MiB: a program file with a valid head and a sparse tail loads at
// exactly that length (the tail is dropped) and is refused one byte beyond it.
TEST_F(FileKindsTest, FilesOverSixteenMebibytesAreRefused) {
  for (const std::string extension : {"P", "O"}) {
    SCOPED_TRACE(extension);
    const auto path = folder_.Write("BIG." + extension, ValidFile(extension));
    std::filesystem::resize_file(path, kLargestReadableFile);
    EXPECT_TRUE(Load(path));
    std::filesystem::resize_file(path, kLargestReadableFile + 1);
    EXPECT_FALSE(Load(path));
  }
  for (const std::string extension : {"SNA", "Z80"}) {
    const auto path = folder_.Write("BIG." + extension, ValidFile(extension));
    std::filesystem::resize_file(path, kLargestReadableFile + 1);
    EXPECT_FALSE(Load(path)) << extension;
  }
}

TEST_F(FileKindsTest, UnreadableFilesAreRefused) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: permission bits do not stop reading";
  for (const std::string extension : kExtensions) {
    const auto path = folder_.Write("LOCKED." + extension, ValidFile(extension));
    std::filesystem::permissions(path, std::filesystem::perms::none);
    EXPECT_FALSE(Load(path)) << extension;
  }
}

TEST_F(FileKindsTest, OddNamesFollowTheLastPointOfTheWholePath) {
  for (const std::string extension : kExtensions) {
    SCOPED_TRACE(extension);
    const Bytes file = ValidFile(extension);
    EXPECT_FALSE(Load(folder_.Write("GAME", file)));
    EXPECT_TRUE(Load(folder_.Write("MY.OLD.GAME." + extension, file)));
    EXPECT_FALSE(Load(folder_.Write("GAME." + extension + ".BAK", file)));
    EXPECT_FALSE(Load(folder_.Write("GAME." + extension + " ", file)));
    EXPECT_FALSE(Load(folder_.Write("GAME. " + extension, file)));
    // UTF-8 letters in the name are kept; only ASCII is upper-cased.
    EXPECT_TRUE(Load(folder_.Write("\xC3\xA9t\xC3\xA9." + extension, file)));
    EXPECT_FALSE(Load(folder_.Write("GAME." + extension + "\xC3\xA9", file)));
    // A point only in a folder name gives an "extension" with a slash in it.
    std::filesystem::create_directory(folder_ / ("DISK." + extension));
    const auto in_folder = folder_ / ("DISK." + extension) / "GAME";
    std::ofstream(in_folder, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    EXPECT_FALSE(Load(in_folder));
  }
}

}  // namespace
}  // namespace quillfen
