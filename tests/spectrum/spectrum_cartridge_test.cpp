// SPDX-License-Identifier: GPL-3.0-or-later
// The unused-area search, the register block's rare values, and the 64K and 48K cartridges byte
// for byte; tests/verify boots these images.
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
#include "spectrum/spectrum_startup_code.h"
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

// IM 0, IM 1, and IM 2 for any other value; a border out of range is not cut to a byte. The
// refresh value keeps bit 7 and its low seven bits four lower, for the four instructions after
// LD R,A.
TEST(SpectrumStartupCodeTest, InterruptModesBorderAndRefreshValue) {
  SnapshotState state = MakeBusySnapshot();
  const auto register_block = [&state] {
    CartridgeMaker out;
    EmitRegisterBlock(out, state, SnapshotKind::kSna, 0x9000);
    return out.CartridgeImage();
  };
  for (const auto& [mode, second] :
       {std::pair{0, 0x46}, {1, 0x56}, {2, 0x5E}, {3, 0x5E}, {-1, 0x5E}}) {
    state.InterruptMode = mode;
    const Bytes block = register_block();
    EXPECT_EQ(Bytes(block.begin() + 26, block.begin() + 28), (Bytes{0xED, std::uint8_t(second)}))
        << "mode " << mode;
  }
  state.BorderColour = 248;
  EXPECT_THROW(register_block(), Error);
  const int r[] = {0x85, 0x02, 0x83, 0x00, 0x80, 0x04, 0x07};
  const int refresh[] = {0x81, 0x7E, 0xFF, 0x7C, 0xFC, 0x00, 0x03};
  for (int k = 0; k < 7; ++k) EXPECT_EQ(RefreshValueBeforeResume(r[k]), refresh[k]) << r[k];
  EXPECT_THROW(RefreshValueBeforeResume(256), Error);
}

TEST(GenerateSpectrumCartridgeTest, SizeQuestionRomFileAndOutputNames) {
  const std::string question =
      "An area of unused bytes has been found within the program.\r\n\r\n"
      "Generate a 48K instead of a 64K ROM cartridge?";
  TempDir folder;
  ScriptedHost host{folder.path()};
  CartridgeMaker maker;
  SpectrumProcessing spectrum{host, maker};
  spectrum.MutableStateForTesting() = MakeBusySnapshot();
  const auto generate = [&](const std::string& name,
                            std::optional<Host::Answer> answer = std::nullopt) {
    if (answer) host.ScriptAnswer(*answer);
    std::int32_t ram_size = 49152;
    return spectrum.GenerateSpectrumCartridge(name, ram_size);
  };
  EXPECT_FALSE(generate("GAME.Z80"));  // no ROM file
  EXPECT_EQ(host.errors,
            std::vector<std::string>{"Failed to read Spectrum ROM file (SPECTRUM_ROM.bin)"});
  folder.Write("SPECTRUM_ROM.bin", MakeRomImage(0x3FFF, {{0, 0xF3}}));
  EXPECT_FALSE(generate(""));         // after a switch from another machine: no name, no file
  ASSERT_TRUE(generate("GAME.Z80"));  // no unused area: 64K, no question
  EXPECT_EQ(ReadFileBytes(folder / "GAME.bin"), maker.CartridgeImage());
  EXPECT_EQ(maker.CartridgeImage()[0x4000], 0xAF);  // the code bank second

  ZeroRam(spectrum.MutableStateForTesting(), 0xD000, 0xE000);
  const Bytes ram = spectrum.State().Memory;
  ASSERT_TRUE(generate("MY.GAME.SNA", Host::Answer::Yes));
  EXPECT_EQ(ReadFileBytes(folder / "MY.GAME.bin")[0], 0xAF);  // the code bank first
  EXPECT_TRUE(spectrum.State().Memory == ram);                // the markers went into a copy
  ASSERT_TRUE(generate("GAME.SNA", Host::Answer::No));
  EXPECT_EQ(ReadFileBytes(folder / "GAME.bin")[0x4000], 0xAF);
  EXPECT_FALSE(generate("NEW.Z80", Host::Answer::Cancel));
  EXPECT_EQ(host.questions, std::vector<std::string>(3, question));
  const std::filesystem::directory_iterator files(folder.path());
  EXPECT_EQ(std::distance(begin(files), end(files)), 3);  // the ROM, GAME.bin and MY.GAME.bin
  // The 48K cartridge waits for the Spectrum's own ROM, so any SPECTRUM_ROM.bin will do.
  folder.Write("SPECTRUM_ROM.bin", MakeRomImage(0x3FFF, {{0, 0x00}}));
  EXPECT_TRUE(generate("GAME.Z80", Host::Answer::Yes));
}

}  // namespace
}  // namespace quillfen::spectrum
