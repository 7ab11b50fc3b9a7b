#include "spectrum/spectrum_processing.h"

#include <gtest/gtest.h>

#include "support/scripted_host.h"
#include "support/snapshot_files.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using testing::ScriptedHost;
using testing::TempDir;

SnapshotState Sample(std::uint32_t seed) {
  std::mt19937 random(seed);
  return testing::RandomSnapshot(random);
}

class LoadSnapshotTest : public ::testing::Test {
 protected:
  TempDir folder_;
  ScriptedHost host_{folder_.path()};
  CartridgeMaker maker_;
  SpectrumProcessing spectrum_{host_, maker_};
};

TEST_F(LoadSnapshotTest, ChoosesTheReaderByTheUpperCaseExtension) {
  const Bytes sna = testing::MakeSnaFile(Sample(1));
  const Bytes z80 = testing::MakeZ80FilePaged(Sample(2), 54, true);
  std::filesystem::create_directory(folder_ / "disk.2");
  struct Case {
    std::string name;
    const Bytes* content;
    bool loaded;
    int repaints;
  };
  const Case cases[] = {
      {"ROCKET.SNA", &sna, true, 1},
      {"rocket.sna", &sna, true, 1},
      {"rocket.Sna", &sna, true, 1},
      {"rocket.z80", &z80, true, 1},
      {"Rocket.Z80", &z80, true, 1},
      {"my.game.sna", &sna, true, 1},
      {"rocket.snap", &sna, false, 0},
      {"rocket", &sna, false, 0},
      {"rocket.sna ", &sna, false, 0},
      {"disk.2/rocket", &sna, false, 0},
      // The extension is taken from the whole path: with no point in it, the whole path.
      {"sna", &sna, false, 0},
      // The reader follows the extension, not the content.
      {"swapped.z80", &sna, false, 1},
      {"swapped.sna", &z80, false, 1},
  };
  for (const Case& c : cases) {
    const auto path = folder_.Write(c.name, *c.content);
    host_.repaints = 0;
    EXPECT_EQ(spectrum_.LoadSnapshot(path), c.loaded) << c.name;
    EXPECT_EQ(host_.repaints, c.repaints) << c.name;
  }
  host_.repaints = 0;
  EXPECT_FALSE(spectrum_.LoadSnapshot(folder_ / "missing.sna"));
  EXPECT_EQ(host_.repaints, 1);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "missing.sna"));
}

TEST_F(LoadSnapshotTest, SnaLoadKeepsThePcOfAnEarlierZ80Load) {
  const SnapshotState z80 = Sample(3);
  const SnapshotState sna = Sample(4);
  ASSERT_TRUE(
      spectrum_.LoadSnapshot(folder_.Write("A.Z80", testing::MakeZ80FileVersion1(z80, true))));
  EXPECT_GT(host_.yields, 0);
  ASSERT_TRUE(spectrum_.LoadSnapshot(folder_.Write("B.SNA", testing::MakeSnaFile(sna))));
  EXPECT_EQ(spectrum_.State().PC, z80.PC);
  EXPECT_EQ(spectrum_.State().SP, sna.SP);
  EXPECT_EQ(spectrum_.State().Memory, sna.Memory);
}

TEST_F(LoadSnapshotTest, RejectedSnaKeepsItsRegistersWithThePreviousRam) {
  const SnapshotState first = Sample(5);
  ASSERT_TRUE(
      spectrum_.LoadSnapshot(folder_.Write("A.Z80", testing::MakeZ80FilePaged(first, 23, false))));
  SnapshotState second = Sample(6);
  second.Memory.push_back(0x00);
  second.Memory.push_back(0x00);  // 49181 bytes in all
  EXPECT_FALSE(spectrum_.LoadSnapshot(folder_.Write("B.SNA", testing::MakeSnaFile(second))));
  second.PC = first.PC;
  EXPECT_EQ(testing::SnapshotRegisterDifferences(spectrum_.State(), second), "");
  EXPECT_EQ(spectrum_.State().Memory, first.Memory);
}

}  // namespace
}  // namespace quillfen
