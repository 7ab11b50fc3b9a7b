// SPDX-License-Identifier: GPL-3.0-or-later
// A cartridge image that cannot be written gives false from the generate entry point, throws
// nothing, leaves no temporary file, and never harms an earlier image of the same name.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "hostile/hostile_inputs.h"
#include "support/file_size_limit.h"
#include "support/rom_images.h"

namespace quillfen {
namespace {

using testing::ReadFileBytes;

// Each machine's stand-in ROM image: name, end of the used part, byte the start-up waits for.
struct Machine {
  const char* kind;
  const char* rom_name;
  std::size_t last_used;
  std::pair<std::size_t, std::uint8_t> wait;
};

const Machine kMachines[] = {{"P", "ZX81_ROM.bin", 8191, {0x000A, 0x40}},
                             {"O", "ZX80_ROM.bin", 4095, {10, 0xFD}},
                             {"SNA", "SPECTRUM_ROM.bin", 0x3FFF, {0, 0xF3}}};

// The program is loaded from the folder; its image goes to GAME.bin in a subfolder (the output
// name keeps the folder part of the program's name).
class OutputSafetyTest : public testing::HostileInputTest,
                         public ::testing::WithParamInterface<Machine> {
 protected:
  void SetUp() override {
    folder_.Write(GetParam().rom_name,
                  testing::MakeRomImage(GetParam().last_used, {GetParam().wait}));
    ASSERT_TRUE(Load(kind_, folder_.Write("GAME." + kind_, ValidFile(kind_))));
    std::filesystem::create_directory(folder_ / "out");
  }

  // Generates into `subfolder` with every question answered No; an exception fails the test.
  bool Generate(const std::string& subfolder = "out") {
    host_.ScriptAnswer(Host::Answer::No);
    const std::string name = subfolder + "/GAME." + kind_;
    std::int32_t ram_size = kind_ == "SNA" ? 49152 : 16384;
    bool generated = true;
    EXPECT_NO_THROW(generated = kind_ == "P" ? converters_.GenerateZX81Cartridge(name, ram_size, 0)
                                : kind_ == "O"
                                    ? converters_.GenerateZX80Cartridge(name, ram_size, 0)
                                    : converters_.GenerateSpectrumCartridge(name, ram_size));
    return generated;
  }

  std::ptrdiff_t Entries(const std::string& subfolder) const {
    return std::distance(std::filesystem::directory_iterator(folder_ / subfolder),
                         std::filesystem::directory_iterator());
  }

  // `subfolder` holds the earlier image and `others` more entries: no temporary file.
  void ExpectEarlierImageKept(const std::string& subfolder = "out", std::ptrdiff_t others = 0) {
    EXPECT_EQ(ReadFileBytes(folder_ / subfolder / "GAME.bin"), earlier_);
    EXPECT_EQ(Entries(subfolder), 1 + others);
  }

  const std::string kind_ = GetParam().kind;
  const Bytes earlier_ = Bytes(1000, 0xA5);
};

// Each refusal names the image's path, and the step and the system's reason as detail.
TEST_P(OutputSafetyTest, TargetsThatCannotBeFilesAreRefusedSayingWhy) {
  const std::string image = (folder_ / "out" / "GAME.bin").string();
  std::filesystem::create_directory(image);
  EXPECT_FALSE(Generate());
  EXPECT_TRUE(std::filesystem::is_empty(image));
  EXPECT_EQ(Entries("out"), 1);      // no temporary file left behind
  folder_.Write("plain", earlier_);  // a parent that is a file
  EXPECT_FALSE(Generate("plain"));
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

// A write that fails halfway (under a file size limit), then, on a small tmpfs where this
// process may mount one, a full file system.
TEST_P(OutputSafetyTest, FailedWritesKeepTheEarlierImage) {
  folder_.Write("out/GAME.bin", earlier_);
  {
    testing::FileSizeLimit limit(8192);  // every cartridge is at least 16384 bytes
    EXPECT_FALSE(Generate());
  }
  ExpectEarlierImageKept();
  EXPECT_TRUE(Generate());  // and the same generation succeeds once writing works again

  std::filesystem::create_directory(folder_ / "mnt");
  if (::mount("tmpfs", (folder_ / "mnt").c_str(), "tmpfs", 0, "size=256k") != 0) {
    std::printf("no tmpfs (%s): no full file system tried\n", std::strerror(errno));
    return;
  }
  folder_.Write("mnt/GAME.bin", earlier_);
  EXPECT_THROW(folder_.Write("mnt/filler", Bytes(512 * 1024, 0)), std::runtime_error);  // full
  EXPECT_FALSE(Generate("mnt"));
  ExpectEarlierImageKept("mnt", 1);  // and the filler
  std::filesystem::remove(folder_ / "mnt" / "filler");
  EXPECT_TRUE(Generate("mnt"));
  ::umount2((folder_ / "mnt").c_str(), MNT_DETACH);
}

INSTANTIATE_TEST_SUITE_P(EveryMachine, OutputSafetyTest, ::testing::ValuesIn(kMachines),
                         [](const auto& info) { return std::string(info.param.kind); });

}  // namespace
}  // namespace quillfen
