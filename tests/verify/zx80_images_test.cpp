// Boots ZX80 cartridge images as the converter writes them, on the emulated cartridge.

#include <gtest/gtest.h>

#include <algorithm>

#include "cartridge/cartridge_maker.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "verify/verify_summary.h"
#include "verify/zx80_boot_check.h"
#include "zx80/zx80_processing.h"

namespace quillfen {
namespace {

using Answer = Host::Answer;

constexpr std::int32_t kRomEnd = 4097;  // the stand-in ROM's free space starts here

/// Long enough for bank 0's copy and screen clear (about 1.1 M T-states), short enough to keep
/// the suite quick.
VerifyOptions Options() {
  VerifyOptions options;
  options.dwell_t_states = 1'200'000;
  options.t_state_limit = 10'000'000;
  return options;
}

class ZX80ImagesTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_.Write("ZX80_ROM.bin", testing::MakeRomImage(4095, {{10, 0xFD}})); }

  /// Writes GAME.bin for a program of `length` bytes; `answer` goes to the size question when
  /// it is asked.
  Bytes Build(std::size_t length, Answer answer, std::int16_t auto_run, std::int32_t ram_size) {
    const Bytes file = testing::MakeZX80Program(length, 0, static_cast<std::uint32_t>(length));
    EXPECT_TRUE(zx80_.LoadZX80Program(dir_.Write("GAME.O", file)));
    if (ZX80Processing::FitsIn16K(static_cast<std::int32_t>(length), kRomEnd, auto_run))
      host_.ScriptAnswer(answer);
    EXPECT_TRUE(zx80_.GenerateZX80Cartridge("GAME.O", ram_size, auto_run));
    return testing::ReadFileBytes(dir_ / "GAME.bin");
  }

  VerifyResult Verify(const Bytes& image, std::int32_t ram_size, std::int16_t auto_run) {
    const Bytes& program = zx80_.ZX80Program();
    return VerifyZX80Image(image, program, ZX80Ramtop(ram_size, program.size(), image.size()),
                           auto_run, Options());
  }

  testing::TempDir dir_;
  testing::ScriptedHost host_{dir_.path()};
  CartridgeMaker maker_;
  ZX80Processing zx80_{host_, maker_};
};

TEST_F(ZX80ImagesTest, EveryLayoutBoots) {
  struct Case {
    const char* name;
    std::size_t length;
    Answer answer;
    std::int16_t auto_run;
    std::int32_t ram_size;
    std::size_t image_size;
  };
  const Case cases[] = {
      {"16K, plain", 1000, Answer::Yes, 0, 3072, 16384},
      {"16K, auto-run with decoration", 1000, Answer::Yes, 1, 16384, 16384},
      {"16K, auto-run, longest that fits", 16384 - kRomEnd - 85, Answer::Yes, 1, 16384, 16384},
      {"32K, plain, no tail", 1000, Answer::No, 0, 1024, 32768},
      {"32K, auto-run, no tail", 12000, Answer::No, 1, 16384, 32768},
      {"32K, plain, long tail", 16383, Answer::No, 0, 1024, 32768},
      {"32K, auto-run, long tail", 16383, Answer::No, 1, 16384, 32768},
      {"32K, plain, short tail", 16250, Answer::No, 0, 16384, 32768},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes image = Build(c.length, c.answer, c.auto_run, c.ram_size);
    ASSERT_EQ(image.size(), c.image_size);
    const VerifyResult result = Verify(image, c.ram_size, c.auto_run);
    EXPECT_TRUE(result.Passed()) << FormatVerifySummary("GAME.bin", result);
  }
}

TEST_F(ZX80ImagesTest, CorruptedLoaderValueIsNamed) {
  Bytes image = Build(1000, Answer::No, 0, 16384);
  // The ZX80 set-up in the second block: LD A,0x0E; LD I,A.
  const Bytes set_i = {0x3E, 0x0E, 0xED, 0x47};
  const auto at = std::search(image.begin(), image.begin() + 16384, set_i.begin(), set_i.end());
  ASSERT_NE(at, image.begin() + 16384);
  at[1] = 0x0F;
  const VerifyResult result = Verify(image, 16384, 0);
  EXPECT_TRUE(result.booted);
  EXPECT_EQ(result.mismatches, std::vector<std::string>{"I is 0x0F, expected 0x0E"});
}

TEST_F(ZX80ImagesTest, RomWithoutTheWaitedForByteNeverStarts) {
  // The 32K RAM code waits for 0xFD at 0x000A: bank 1 without it is never taken for the ROM.
  Bytes image = Build(1000, Answer::No, 0, 16384);
  image[16384 + 10] = 0x00;
  VerifyOptions options = Options();
  options.t_state_limit = 4'000'000;
  const Bytes& program = zx80_.ZX80Program();
  const VerifyResult result = VerifyZX80Image(image, program, 0x8000, 0, options);
  EXPECT_FALSE(result.booted);
  EXPECT_NE(result.failure.find("never reached the ZX80 ROM"), std::string::npos) << result.failure;
}

// With RAMTOP just above the program the start-up code's pushes land on code still to run (32K)
// or on the program's last byte (the 16K loader's CALL): the window does not offer these sizes.
TEST_F(ZX80ImagesTest, RamSizesThatInspectionWithholdsDoNotBoot) {
  struct Case {
    std::size_t length;
    Answer answer;
    bool boots;
  };
  const Case cases[] = {
      {976, Answer::No, true},     // the last length offered 1K below the withheld run
      {990, Answer::No, false},    // the second block's PUSH overwrites its own next bytes
      {996, Answer::No, true},     // the first length offered 1K above it
      {1020, Answer::Yes, true},   // the longest 16K program offered 1K
      {1021, Answer::Yes, false},  // the CALL's return address lands on the program's last byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    const Bytes image = Build(c.length, c.answer, 0, 1024);
    EXPECT_EQ(Verify(image, 1024, 0).Passed(), c.boots);
  }
}

}  // namespace
}  // namespace quillfen
