#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cartridge/error.h"
#include "spectrum/snapshot_fixtures.h"
#include "spectrum/spectrum_processing.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using testing::MakeBusySnapshot;
using testing::MakeRomImage;
using testing::ReadFileBytes;
using testing::ScriptedHost;
using testing::TempDir;
using testing::ZeroRam;

constexpr char kRomUnreadable[] = "Failed to read Spectrum ROM file (SPECTRUM_ROM.bin)";
constexpr char kRomNotInsertable[] = "Failed to insert Spectrum ROM data";
constexpr char kQuestion[] =
    "An area of unused bytes has been found within the program.\r\n\r\n"
    "Generate a 48K instead of a 64K ROM cartridge?";

class GenerateSpectrumCartridgeTest : public ::testing::Test {
 protected:
  GenerateSpectrumCartridgeTest() : host_(folder_.path()), spectrum_(host_, maker_) {
    spectrum_.MutableStateForTesting() = MakeBusySnapshot();
  }

  void WriteRom(const Bytes& rom) { folder_.Write("SPECTRUM_ROM.bin", rom); }
  void WriteGoodRom() { WriteRom(MakeRomImage(0x3FFF, {{0, 0xF3}})); }
  void MakeUnusedArea() { ZeroRam(spectrum_.MutableStateForTesting(), 0xD000, 0xE000); }

  bool Generate(const std::string& name) {
    std::int32_t ram_size = 49152;
    const bool result = spectrum_.GenerateSpectrumCartridge(name, ram_size);
    EXPECT_EQ(ram_size, 49152);
    return result;
  }

  // Only SPECTRUM_ROM.bin, or nothing at all, in the folder: no image was written.
  std::size_t FilesInFolder() const {
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.path()))
      ++files;
    return files;
  }

  TempDir folder_;
  ScriptedHost host_;
  CartridgeMaker maker_;
  SpectrumProcessing spectrum_;
};

TEST_F(GenerateSpectrumCartridgeTest, WithoutAnUnusedAreaWrites64KWithoutAsking) {
  WriteGoodRom();
  ASSERT_TRUE(Generate("GAME.Z80"));
  EXPECT_TRUE(host_.questions.empty());
  EXPECT_TRUE(host_.errors.empty());
  const Bytes image = ReadFileBytes(folder_ / "GAME.bin");
  ASSERT_EQ(image.size(), 0x10000u);
  EXPECT_EQ(image[0x0000], 0x01);
  EXPECT_EQ(image[0x4000], 0xAF);
  EXPECT_EQ(image[0x8000], 0x02);
  EXPECT_EQ(image[0xC000], 0xF3);
  EXPECT_EQ(image, maker_.CartridgeImage());
}

TEST_F(GenerateSpectrumCartridgeTest, TheSizeQuestionChoosesTheCartridge) {
  WriteGoodRom();
  MakeUnusedArea();
  host_.ScriptAnswer(Host::Answer::Yes);
  ASSERT_TRUE(Generate("GAME.SNA"));
  ASSERT_EQ(host_.questions, (std::vector<std::string>{kQuestion}));
  Bytes image = ReadFileBytes(folder_ / "GAME.bin");
  ASSERT_EQ(image.size(), 0x10000u);
  EXPECT_EQ(image[0x0000], 0xAF);  // 48K: the code bank comes first
  EXPECT_EQ(image[0x4000], 0x01);
  EXPECT_EQ(Bytes(image.begin() + 0x8000, image.begin() + 0xC000), Bytes(0x4000, 0xFF));
  EXPECT_EQ(image[0xC000], 0x02);

  host_.ScriptAnswer(Host::Answer::No);
  ASSERT_TRUE(Generate("GAME.SNA"));
  EXPECT_EQ(host_.questions.size(), 2u);
  image = ReadFileBytes(folder_ / "GAME.bin");
  ASSERT_EQ(image.size(), 0x10000u);
  EXPECT_EQ(image[0x0000], 0x01);  // 64K: the code bank comes second
  EXPECT_EQ(image[0x4000], 0xAF);
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(GenerateSpectrumCartridgeTest, CancelWritesNothing) {
  WriteGoodRom();
  MakeUnusedArea();
  host_.ScriptAnswer(Host::Answer::Cancel);
  EXPECT_FALSE(Generate("GAME.Z80"));
  EXPECT_EQ(host_.questions.size(), 1u);
  EXPECT_TRUE(host_.errors.empty());
  EXPECT_FALSE(std::filesystem::exists(folder_ / "GAME.bin"));
}

TEST_F(GenerateSpectrumCartridgeTest, AMissingOrEmptyRomIsReportedBeforeAnyQuestion) {
  MakeUnusedArea();
  EXPECT_FALSE(Generate("GAME.Z80"));
  WriteRom(Bytes{});
  EXPECT_FALSE(Generate("GAME.Z80"));
  EXPECT_EQ(host_.errors, (std::vector<std::string>{kRomUnreadable, kRomUnreadable}));
  EXPECT_TRUE(host_.questions.empty());
  EXPECT_EQ(FilesInFolder(), 1u);
}

// A 64K cartridge whose ROM copy is not a 16K image starting with 0xF3 would wait forever at
// power-on for the ROM; it is refused instead of being reported as done.
TEST_F(GenerateSpectrumCartridgeTest, The64KCartridgeRefusesARomItCannotStartFrom) {
  for (const Bytes& rom :
       {MakeRomImage(0x3FFF, {{0, 0xF3}}, 0x3FFF), MakeRomImage(0x3FFF, {{0, 0xF3}}, 0x4001),
        MakeRomImage(0x3FFF, {{0, 0x00}}), Bytes{0xF3}}) {
    WriteRom(rom);
    host_.errors.clear();
    EXPECT_FALSE(Generate("GAME.Z80"));
    EXPECT_EQ(host_.errors, (std::vector<std::string>{kRomNotInsertable}));
    EXPECT_EQ(FilesInFolder(), 1u);
  }
  // With an unused area the question still comes first; No leads to the same refusal.
  MakeUnusedArea();
  host_.errors.clear();
  host_.ScriptAnswer(Host::Answer::No);
  EXPECT_FALSE(Generate("GAME.Z80"));
  EXPECT_EQ(host_.questions.size(), 1u);
  EXPECT_EQ(host_.errors, (std::vector<std::string>{kRomNotInsertable}));
  EXPECT_EQ(FilesInFolder(), 1u);
  // The 48K cartridge carries no ROM data and is built all the same.
  host_.errors.clear();
  host_.ScriptAnswer(Host::Answer::Yes);
  EXPECT_TRUE(Generate("GAME.Z80"));
  EXPECT_TRUE(host_.errors.empty());
  EXPECT_EQ(ReadFileBytes(folder_ / "GAME.bin").size(), 0x10000u);
}

TEST_F(GenerateSpectrumCartridgeTest, OutputNameReplacesTheLastExtension) {
  WriteGoodRom();
  ASSERT_TRUE(Generate("GAME.Z80"));
  const Bytes from_z80 = ReadFileBytes(folder_ / "GAME.bin");
  ASSERT_TRUE(Generate("GAME.SNA"));  // overwrites the same file
  const Bytes from_sna = ReadFileBytes(folder_ / "GAME.bin");
  EXPECT_NE(from_z80, from_sna);  // the register block ends differently
  ASSERT_TRUE(Generate("MY.GAME.SNA"));
  EXPECT_EQ(ReadFileBytes(folder_ / "MY.GAME.bin"), from_sna);
  EXPECT_EQ(FilesInFolder(), 3u);
}

TEST_F(GenerateSpectrumCartridgeTest, GeneratingTwiceGivesTheSameImageAndKeepsTheSnapshot) {
  WriteGoodRom();
  MakeUnusedArea();
  const SnapshotState before = spectrum_.State();
  host_.ScriptAnswer(Host::Answer::Yes);
  host_.ScriptAnswer(Host::Answer::Yes);
  ASSERT_TRUE(Generate("GAME.Z80"));
  const Bytes first = ReadFileBytes(folder_ / "GAME.bin");
  ASSERT_TRUE(Generate("GAME.Z80"));
  EXPECT_EQ(ReadFileBytes(folder_ / "GAME.bin"), first);
  EXPECT_EQ(spectrum_.State().Memory, before.Memory);  // the markers went into a copy
}

// After a switch from another machine the name may be empty, or no snapshot loaded: no file.
TEST_F(GenerateSpectrumCartridgeTest, NothingIsWrittenWithoutNameOrSnapshot) {
  WriteGoodRom();
  EXPECT_FALSE(Generate(""));
  EXPECT_FALSE(Generate("GAME.P"));  // a ZX81 program's name: no snapshot kind to resume
  spectrum_.MutableStateForTesting() = SnapshotState{};
  EXPECT_THROW((void)Generate("GAME.Z80"), Error);
  EXPECT_EQ(FilesInFolder(), 1u);
  EXPECT_TRUE(host_.errors.empty());
}

}  // namespace
}  // namespace quillfen
