// Boots ZX80 cartridge images as the converter writes them, on the emulated cartridge.

#include <gtest/gtest.h>

#include "boot_test_support.h"
#include "cartridge/cartridge_maker.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "verify/zx80_boot_check.h"
#include "zx80/zx80_processing.h"

namespace quillfen {
namespace {

using Answer = Host::Answer;

constexpr std::int32_t kRomEnd = 4097;  // the stand-in ROM's free space starts here
/// Bank 0's copy and screen clear take about 1.1 M T-states.
const VerifyOptions kOptions = testing::BootOptions(1'200'000, 10'000'000);

class ZX80ImagesTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_.Write("ZX80_ROM.bin", testing::MakeRomImage(4095, {{10, 0xFD}})); }

  /// Writes GAME.bin for a program of `length` bytes; `answer` goes to the 16K question.
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
                           auto_run, kOptions);
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
      {"32K, plain, longest under the 16K RAMTOP", 16382, Answer::No, 0, 16384, 32768},
      {"32K, auto-run, long tail", 16383, Answer::No, 1, 16384, 32768},
      {"32K, plain, short tail", 16250, Answer::No, 0, 16384, 32768},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes image = Build(c.length, c.answer, c.auto_run, c.ram_size);
    ASSERT_EQ(image.size(), c.image_size);
    const VerifyResult result = Verify(image, c.ram_size, c.auto_run);
    EXPECT_TRUE(result.Passed()) << testing::Summary(result);
  }
}

TEST_F(ZX80ImagesTest, CorruptedLoaderValueIsNamed) {
  testing::ExpectEachCorruptionNamed(
      Build(1000, Answer::Yes, 0, 16384),
      {
          {{0x3E, 0x0E, 0xED, 0x47}, 1, 0x01, "I is 0x0F, expected 0x0E"},  // LD A,0x0E; LD I,A
          {{0xED, 0x56, 0x31}, 1, 0x08, "interrupt mode is 2, expected 1"},
          {{0x21, 0xAA, 0x3F, 0xE5}, 1, 0x01, "word at 0x7FFE is 0x3FAB, expected 0x3FAA"},
          // CALL 0x0747 made LD BC,0x0747: the plain start's JP 0x0283 runs instead.
          {{0xCD, 0x47, 0x07, 0xC3}, 0, 0xCC, "ROM entered at 0x0283, expected 0x0747"},
      },
      [&](const Bytes& image) { return Verify(image, 16384, 0); });
}

}  // namespace
}  // namespace quillfen
