// SPDX-License-Identifier: GPL-3.0-or-later
// The unused-area search, and the 64K and 48K cartridges byte for byte (the logo, the empty bank
// and the ROM copy's spare area are seen by nothing else); tests/verify boots these images and
// compares the resumed machine with the snapshot.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "cartridge/error.h"
#include "cartridge/image_fingerprint.h"
#include "spectrum/spectrum_layout.h"
#include "spectrum/spectrum_processing.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/snapshot_files.h"
#include "support/temp_dir.h"

namespace quillfen::spectrum {
namespace {

using namespace quillfen::testing;

struct Area {
  std::int32_t low = 0, top = 0;
  std::int16_t page = 7;  // a value FindUnusedArea must leave alone when it finds nothing
};

Area Search(const SnapshotState& state) {
  Area area;
  area.low = FindUnusedArea(state.Memory, area.top, area.page);
  return area;
}

TEST(FindUnusedAreaTest, WindowsRunsAndTheirLimits) {
  // Zeroed address ranges [from, to) in a RAM image without zeros, and the area found.
  const std::tuple<const char*, std::vector<std::pair<int, int>>, Area> cases[] = {
      {"512 zeros", {{0xAE01, 0xB001}}, {0, 0, 7}},
      {"513 zeros", {{0xAE00, 0xB001}}, {0xAE01, 0xB001, 1}},
      {"run past the window's last address", {{0x81FF, 0x8401}}, {0, 0, 7}},
      {"ended at the window's last address", {{0x8200, 0x8401}}, {0x8201, 0x8401, 1}},
      {"past page 0's window", {{0x5CFF, 0x6000}}, {0, 0, 7}},
      {"across 0xC1FF", {{0xC000, 0xC400}}, {0, 0, 7}},
      {"zeros above the window", {{0xE1DF, 0xE600}}, {0xE1E0, 0xE3E0, 2}},
      {"up to page 0's end", {{0x7000, 0x8000}}, {0x7001, 0x8000, 0}},
      {"highest window", {{0x7000, 0x8000}, {0xB000, 0xC000}}, {0xB001, 0xC000, 1}},
      {"highest run", {{0x6000, 0x7000}, {0x9000, 0x9300}, {0xA000, 0xA300}}, {0xA001, 0xA300, 1}},
      {"page 2 first", {{0x9000, 0x9300}, {0xD000, 0xD210}}, {0xD001, 0xD210, 2}},
  };
  for (const auto& [name, zeros, expected] : cases) {
    SnapshotState state = MakeBusySnapshot();
    for (const auto& [from, to] : zeros) ZeroRam(state, from, to);
    const Area area = Search(state);
    EXPECT_EQ(std::tie(area.low, area.top, area.page),
              std::tie(expected.low, expected.top, expected.page))
        << name;
  }
  for (const std::size_t length : {0xBFFF, 0xC001})
    EXPECT_THROW(Search(SnapshotState{.Memory = Bytes(length, 0)}), Error);
}

TEST(SpectrumCartridgeLayoutTest, ImagesOfEveryLayoutKeepTheirBytes) {
  const Bytes rom = MakeRomImage(0x3FFF, {{0, 0xF3}});
  // Kind, zeroed RAM (none: the 64K cartridge), the image's fingerprint.
  // clang-format off
  for (const auto& [kind, zero_from, zero_to, fingerprint] : {
       std::tuple{spectrum::SnapshotKind::kZ80, 0, 0, 0x4C89E099CC4517D2},
       {spectrum::SnapshotKind::kSna, 0, 0, 0xD57F5FE0867B16FF},
       {spectrum::SnapshotKind::kZ80, 0xA000, 0xC000, 0xBC7EBE7811F9C152},   // up to page 1's end
       {spectrum::SnapshotKind::kZ80, 0xD000, 0xE000, 0xED4F4DF645814E12},   // page 2, with its tail
       {spectrum::SnapshotKind::kSna, 0x6000, 0x7000, 0xD7E9C3C657ECEDE8},   // page 0, with its tail
       {spectrum::SnapshotKind::kSna, 0x7000, 0x8000, 0x8D0E393D22524EB1}}) { // up to page 0's end
    // clang-format on
    SnapshotState state = MakeBusySnapshot();
    CartridgeMaker maker;
    if (zero_from == 0) {
      ASSERT_TRUE(BuildSpectrumCartridge64K(maker, state, kind, rom));
    } else {
      ZeroRam(state, zero_from, zero_to);
      const Area area = Search(state);
      ASSERT_TRUE(BuildSpectrumCartridge48K(maker, state, kind, area.low, area.top, area.page));
    }
    EXPECT_EQ(testing::ImageFingerprint(maker.CartridgeImage()), fingerprint)
        << SnapshotKindName(kind) << " " << zero_from;
  }
}

constexpr char kQuestion[] =
    "An area of unused bytes has been found within the program.\r\n\r\n"
    "Generate a 48K instead of a 64K ROM cartridge?";

class GenerateSpectrumCartridgeTest : public ::testing::Test {
 protected:
  GenerateSpectrumCartridgeTest() { spectrum_.MutableStateForTesting() = MakeBusySnapshot(); }

  bool Generate(const std::string& name, std::optional<Host::Answer> answer = std::nullopt) {
    if (answer) host_.ScriptAnswer(*answer);
    std::int32_t ram_size = 49152;
    return spectrum_.GenerateSpectrumCartridge(name, ram_size);
  }
  std::size_t FilesInFolder() const {
    const std::filesystem::directory_iterator files(folder_.path());
    return static_cast<std::size_t>(std::distance(begin(files), end(files)));
  }

  TempDir folder_;
  ScriptedHost host_{folder_.path()};
  CartridgeMaker maker_;
  SpectrumProcessing spectrum_{host_, maker_};
};

TEST_F(GenerateSpectrumCartridgeTest, SizeQuestionRomFileAndOutputNames) {
  EXPECT_FALSE(Generate("GAME.Z80"));  // no ROM file
  EXPECT_EQ(host_.errors,
            std::vector<std::string>{"Failed to read Spectrum ROM file (SPECTRUM_ROM.bin)"});
  folder_.Write("SPECTRUM_ROM.bin", MakeRomImage(0x3FFF, {{0, 0xF3}}));
  EXPECT_FALSE(Generate(""));         // after a switch from another machine: no name, no file
  ASSERT_TRUE(Generate("GAME.Z80"));  // no unused area: 64K, no question
  EXPECT_EQ(ReadFileBytes(folder_ / "GAME.bin"), maker_.CartridgeImage());
  EXPECT_EQ(maker_.CartridgeImage()[0x4000], 0xAF);  // the code bank second

  ZeroRam(spectrum_.MutableStateForTesting(), 0xD000, 0xE000);
  const Bytes ram = spectrum_.State().Memory;
  ASSERT_TRUE(Generate("MY.GAME.SNA", Host::Answer::Yes));
  const Bytes forty_eight = ReadFileBytes(folder_ / "MY.GAME.bin");
  EXPECT_EQ(forty_eight[0], 0xAF);  // the code bank first
  ASSERT_TRUE(Generate("MY.GAME.SNA", Host::Answer::Yes));
  EXPECT_EQ(ReadFileBytes(folder_ / "MY.GAME.bin"), forty_eight);
  EXPECT_TRUE(spectrum_.State().Memory == ram);  // the markers went into a copy
  ASSERT_TRUE(Generate("GAME.SNA", Host::Answer::No));
  EXPECT_EQ(ReadFileBytes(folder_ / "GAME.bin")[0x4000], 0xAF);
  EXPECT_FALSE(Generate("NEW.Z80", Host::Answer::Cancel));
  EXPECT_EQ(host_.questions, std::vector<std::string>(4, kQuestion));
  EXPECT_EQ(FilesInFolder(), 3u);  // the ROM, GAME.bin and MY.GAME.bin
  // tests/hostile refuses ROM images the 64K cartridge cannot start from; the 48K one carries
  // no ROM data and waits for the Spectrum's own ROM.
  folder_.Write("SPECTRUM_ROM.bin", MakeRomImage(0x3FFF, {{0, 0x00}}));
  EXPECT_TRUE(Generate("GAME.Z80", Host::Answer::Yes));
}

}  // namespace
}  // namespace quillfen::spectrum
