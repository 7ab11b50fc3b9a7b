// SPDX-License-Identifier: GPL-3.0-or-later
// Generating beside a faulty ROM image or into a target that cannot be written: false, nothing
// thrown, a message saying what was found, no temporary file left, an earlier image unharmed.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "hostile/hostile_inputs.h"
#include "support/file_size_limit.h"

namespace quillfen {
namespace {

using testing::ReadFileBytes;

// ROM images are searched in an empty folder, then in the test's folder (a good one and the
// program). Images go to <subfolder>/GAME.bin: the output name keeps the program's folder.
class GenerationTest : public testing::HostileInputTest,
                       public ::testing::WithParamInterface<testing::RomMachine> {
 protected:
  void SetUp() override {
    host_.rom_folders = {empty_.path(), folder_.path()};
    folder_.Write(GetParam().rom_name, GetParam().GoodRom());
    ASSERT_TRUE(Load(kind_, folder_.Write("GAME." + kind_, ValidFile(kind_))));
    std::filesystem::create_directory(folder_ / "out");
  }
  bool GenerateIn(const std::string& subfolder) {
    return Generate(kind_, subfolder + "/GAME." + kind_);
  }
  // Writes `rom` as the ROM image (none: removes it) and generates, keeping only its messages.
  bool GenerateWith(const std::optional<Bytes>& rom) {
    if (rom)
      folder_.Write(GetParam().rom_name, *rom);
    else
      std::filesystem::remove(RomPath());
    host_.errors.clear();
    host_.details.clear();
    return Generate(kind_, "GAME." + kind_);
  }
  std::string RomPath() const { return (folder_ / GetParam().rom_name).string(); }
  void ExpectMessage(const std::string& text, const std::string& detail) {
    EXPECT_EQ(host_.errors, std::vector{text});
    EXPECT_EQ(host_.details, std::vector{detail});
  }
  std::ptrdiff_t Entries(const std::string& subfolder) const {
    return std::distance(std::filesystem::directory_iterator(folder_ / subfolder),
                         std::filesystem::directory_iterator());
  }
  // `subfolder` holds the earlier image and `others` more entries: no temporary file.
  void ExpectEarlierImageKept(const std::string& subfolder, std::ptrdiff_t others = 0) {
    EXPECT_EQ(ReadFileBytes(folder_ / subfolder / "GAME.bin"), earlier_);
    EXPECT_EQ(Entries(subfolder), 1 + others);
  }

  const std::string kind_ = GetParam().kind;
  const std::string name_ = GetParam().name;
  const Bytes earlier_ = Bytes(1000, 0xA5);
  testing::TempDir empty_;
};

TEST_P(GenerationTest, AMissingEmptyShortLongOrForeignRomImageSaysWhatWasFound) {
  const std::string read_failed =
      "Failed to read " + name_ + " ROM file (" + GetParam().rom_name + ")";
  const std::string insert_failed = "Failed to insert " + name_ + " ROM data";
  const std::string content = kind_ == "SNA"
                                  ? "the 48K Spectrum ROM"
                                  : "the " + name_ + " ROM followed by free space filled with 0xFF";
  EXPECT_TRUE(GenerateWith(GetParam().GoodRom()));  // found in the later folder
  EXPECT_FALSE(GenerateWith(std::nullopt));
  ExpectMessage(read_failed, std::string(GetParam().rom_name) + " is in none of these folders:\n" +
                                 empty_.path().string() + "\n" + folder_.path().string());
  EXPECT_FALSE(GenerateWith(Bytes{}));
  ExpectMessage(read_failed, RomPath() + ": an empty file");

  // A long ZX80 or ZX81 program beside a faulty ROM image: the image is the fault, not the program.
  if (kind_ != "SNA") {
    const Bytes program =
        kind_ == "P" ? testing::MakeZX81Program(16340) : testing::MakeZX80Program(16340);
    ASSERT_TRUE(Load(kind_, folder_.Write("GAME." + kind_, program)));
  }
  for (const std::size_t length : {8192u, 16385u}) {
    EXPECT_FALSE(GenerateWith(testing::MakeRomImage(3000, {GetParam().wait}, length)));
    ExpectMessage(insert_failed, RomPath() + " holds " + std::to_string(length) +
                                     " bytes; 16384 are needed: " + content);
  }

  Bytes foreign = GetParam().GoodRom();
  foreign[GetParam().wait.first] ^= 0x01;
  EXPECT_FALSE(GenerateWith(foreign));
  char expected[160];
  std::snprintf(expected, sizeof expected,
                " holds 0x%02X at 0x%04zX, where the cartridge waits for 0x%02X: it must be ",
                foreign[GetParam().wait.first], GetParam().wait.first, GetParam().wait.second);
  ExpectMessage(insert_failed, RomPath() + expected + content);
}

// Each refusal names the image's path, and the step and the system's reason as detail.
TEST_P(GenerationTest, TargetsThatCannotBeFilesAreRefusedSayingWhy) {
  const std::string image = (folder_ / "out" / "GAME.bin").string();
  std::filesystem::create_directory(image);
  EXPECT_FALSE(GenerateIn("out"));
  EXPECT_EQ(Entries("out"), 1);      // no temporary file left behind
  folder_.Write("plain", earlier_);  // a parent that is a file
  EXPECT_FALSE(GenerateIn("plain"));
  EXPECT_EQ(ReadFileBytes(folder_ / "plain"), earlier_);
  ASSERT_EQ(host_.errors,
            (std::vector<std::string>{"Failed to write cartridge image file " + image,
                                      "Failed to write cartridge image file " +
                                          folder_.path().string() + "/plain/GAME.bin"}));
  EXPECT_EQ(host_.details[0].rfind("renaming " + image + ".", 0), 0u) << host_.details[0];
  EXPECT_TRUE(host_.details[0].ends_with(" to " + image + " failed: Is a directory"));
  EXPECT_EQ(host_.details[1], "creating a temporary file in " + folder_.path().string() +
                                  "/plain failed: Not a directory");
}

// A write that fails halfway under a file size limit, then a full tmpfs where one can be mounted.
TEST_P(GenerationTest, FailedWritesKeepTheEarlierImage) {
  folder_.Write("out/GAME.bin", earlier_);
  {
    testing::FileSizeLimit limit(8192);  // every cartridge is at least 16384 bytes
    EXPECT_FALSE(GenerateIn("out"));
  }
  ExpectEarlierImageKept("out");
  EXPECT_TRUE(GenerateIn("out"));  // and the same generation succeeds once writing works again

  std::filesystem::create_directory(folder_ / "mnt");
  if (::mount("tmpfs", (folder_ / "mnt").c_str(), "tmpfs", 0, "size=256k") != 0) {
    std::printf("no tmpfs (%s): no full file system tried\n", std::strerror(errno));
    return;
  }
  folder_.Write("mnt/GAME.bin", earlier_);
  EXPECT_THROW(folder_.Write("mnt/filler", Bytes(512 * 1024, 0)), std::runtime_error);  // full
  EXPECT_FALSE(GenerateIn("mnt"));
  ExpectEarlierImageKept("mnt", 1);  // and the filler
  std::filesystem::remove(folder_ / "mnt" / "filler");
  EXPECT_TRUE(GenerateIn("mnt"));
  ::umount2((folder_ / "mnt").c_str(), MNT_DETACH);
}

INSTANTIATE_TEST_SUITE_P(EveryMachine, GenerationTest, ::testing::ValuesIn(testing::kRomMachines),
                         [](const auto& info) { return std::string(info.param.kind); });

}  // namespace
}  // namespace quillfen
