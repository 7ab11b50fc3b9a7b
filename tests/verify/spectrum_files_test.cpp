// The whole road of a snapshot: a file read by LoadSnapshot, the cartridge written by
// GenerateSpectrumCartridge, the image booted on the emulated cartridge.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cartridge/cartridge_maker.h"
#include "spectrum/spectrum_layout.h"
#include "spectrum/spectrum_processing.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/snapshot_files.h"
#include "support/temp_dir.h"
#include "verify/spectrum_boot_check.h"
#include "verify/verify_summary.h"

namespace quillfen {
namespace {

VerifyOptions Options() {
  VerifyOptions options;
  options.dwell_t_states = 600'000;
  options.t_state_limit = 12'000'000;
  return options;
}

class SpectrumFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_.Write("SPECTRUM_ROM.bin", rom_); }

  /// Whether the loaded snapshot has an unused area, so that the size question is asked.
  bool HasUnusedArea() const {
    std::int32_t top = 0;
    std::int16_t page = 0;
    return spectrum::FindUnusedArea(spectrum_.State().Memory, top, page) != 0;
  }

  /// Generates GAME.bin from the loaded snapshot (48K when an unused area exists and
  /// `take_48k`), boots it and returns the summary line; `passed` tells the verdict.
  std::string RoundTrip(const std::string& name, bool take_48k, bool& passed) {
    const SnapshotState& state = spectrum_.State();
    std::int32_t top = 0;
    std::int16_t page = 0;
    const std::int32_t low = spectrum::FindUnusedArea(state.Memory, top, page);
    if (low != 0) host_.ScriptAnswer(take_48k ? Host::Answer::Yes : Host::Answer::No);
    std::int32_t ram_size = 49152;
    EXPECT_TRUE(spectrum_.GenerateSpectrumCartridge(name, ram_size));
    const Bytes image = testing::ReadFileBytes(folder_ / "GAME.bin");
    std::optional<AddressRange> area;
    if (low != 0 && take_48k) area = AddressRange{low, top};
    const VerifyResult result =
        VerifySpectrumImage(image, state, name.substr(name.size() - 3), rom_, area, Options());
    passed = result.Passed();
    return FormatVerifySummary("GAME.bin", result);
  }

  const Bytes rom_ = testing::MakeRomImage(0x3FFF, {{0, 0xF3}});
  testing::TempDir folder_;
  testing::ScriptedHost host_{folder_.path()};
  CartridgeMaker maker_;
  SpectrumProcessing spectrum_{host_, maker_};
};

TEST_F(SpectrumFilesTest, RandomSnapshotsOfEveryFormatBootFromBothCartridges) {
  std::mt19937 random(2024);
  int forty_eight_k_images = 0;
  for (int round = 0; round < 3; ++round) {
    const SnapshotState state = testing::RandomSnapshot(random);
    const Bytes files[] = {
        testing::MakeSnaFile(state),
        testing::MakeZ80FileVersion1(state, true),
        testing::MakeZ80FilePaged(state, 54, true),
    };
    const char* names[] = {"GAME.SNA", "GAME.Z80", "GAME.Z80"};
    for (std::size_t i = 0; i < 3; ++i) {
      ASSERT_TRUE(spectrum_.LoadSnapshot(folder_.Write(names[i], files[i])));
      for (const bool take_48k : {false, true}) {
        if (take_48k && !HasUnusedArea()) continue;
        forty_eight_k_images += take_48k ? 1 : 0;
        SCOPED_TRACE(std::to_string(round) + " " + names[i] + (take_48k ? " 48K" : " 64K"));
        bool passed = false;
        const std::string summary = RoundTrip(names[i], take_48k, passed);
        EXPECT_TRUE(passed) << summary;
      }
    }
  }
  EXPECT_GE(forty_eight_k_images, 3);
}

}  // namespace
}  // namespace quillfen
