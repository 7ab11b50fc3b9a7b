#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cartridge/cartridge_maker.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "zx80/zx80_processing.h"

namespace quillfen {
namespace {

using testing::MakeRomImage;
using testing::MakeZX80Program;
using testing::ReadFileBytes;
using Answer = Host::Answer;

constexpr char kQuestion[] =
    "The program and ZX80 ROM will fit within 16K.\r\n\r\n"
    "Generate a 16K instead of a 32K ROM cartridge?";

// A stand-in ROM image using offsets 0 to 4095, so its free space starts at 4097 (0x1001), with
// the 0xFD at 0x000A that the 32K RAM code waits for.
Bytes StandInRom(std::size_t last_used = 4095) { return MakeRomImage(last_used, {{10, 0xFD}}); }

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t length) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
               bytes.begin() + static_cast<std::ptrdiff_t>(offset + length));
}

class ZX80CartridgeTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_.Write("ZX80_ROM.bin", rom_); }

  void Load(std::size_t length) {
    program_ = MakeZX80Program(length);
    ASSERT_TRUE(zx80_.LoadZX80Program(dir_.Write("GAME.O", program_)));
  }

  bool Generate(std::int16_t auto_run, std::int32_t ram_size = 16384) {
    return zx80_.GenerateZX80Cartridge("GAME.O", ram_size, auto_run);
  }

  Bytes Output() const { return ReadFileBytes(dir_ / "GAME.bin"); }
  bool OutputExists() const { return std::filesystem::exists(dir_ / "GAME.bin"); }

  testing::TempDir dir_;
  testing::ScriptedHost host_{dir_.path()};
  CartridgeMaker maker_;
  ZX80Processing zx80_{host_, maker_};
  Bytes rom_ = StandInRom();
  Bytes program_;
};

TEST(FindZX80RomEndTest, FreeSpaceStartsOneBehindTheLastUsedByte) {
  EXPECT_EQ(ZX80Processing::FindZX80RomEnd(StandInRom(4095)), 4097);
  EXPECT_EQ(ZX80Processing::FindZX80RomEnd(StandInRom(10000)), 10002);
  EXPECT_EQ(ZX80Processing::FindZX80RomEnd(StandInRom(16383)), 16385);   // no free space
  EXPECT_EQ(ZX80Processing::FindZX80RomEnd(StandInRom(100)), 4096);      // searched down to 4095
  EXPECT_EQ(ZX80Processing::FindZX80RomEnd(Bytes(16383, 0xFF)), 16385);  // too short
  EXPECT_EQ(ZX80Processing::FindZX80RomEnd(Bytes{}), 16385);
}

TEST(FitsIn16KTest, LoaderOf78Or85BytesDecides) {
  EXPECT_TRUE(ZX80Processing::FitsIn16K(12209, 4097, 0));  // 16384 - 4097 - 78
  EXPECT_FALSE(ZX80Processing::FitsIn16K(12210, 4097, 0));
  EXPECT_TRUE(ZX80Processing::FitsIn16K(12202, 4097, 1));  // 16384 - 4097 - 85
  EXPECT_FALSE(ZX80Processing::FitsIn16K(12203, 4097, 1));
  EXPECT_FALSE(ZX80Processing::FitsIn16K(0, 16385, 0));
}

TEST_F(ZX80CartridgeTest, SizeQuestionAskedExactlyWhenSixteenKFits) {
  struct Case {
    std::int16_t auto_run;
    std::size_t length;
    bool asked;
  };
  for (const Case c :
       {Case{0, 12209, true}, Case{0, 12210, false}, Case{1, 12202, true}, Case{1, 12203, false}}) {
    SCOPED_TRACE(std::to_string(c.length) + " auto-run " + std::to_string(c.auto_run));
    Load(c.length);
    host_.questions.clear();
    if (c.asked) host_.ScriptAnswer(Answer::Yes);
    ASSERT_TRUE(Generate(c.auto_run));
    EXPECT_EQ(host_.questions,
              c.asked ? std::vector<std::string>{kQuestion} : std::vector<std::string>{});
    EXPECT_EQ(Output().size(), c.asked ? 16384u : 32768u);
  }
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(ZX80CartridgeTest, NoGivesThirtyTwoKAndCancelWritesNothing) {
  Load(1000);
  std::int32_t ram_size = 1024;
  host_.ScriptAnswer(Answer::Cancel);
  EXPECT_FALSE(zx80_.GenerateZX80Cartridge("GAME.O", ram_size, 0));
  EXPECT_FALSE(OutputExists());
  EXPECT_EQ(ram_size, 1024 + 16384);
  host_.ScriptAnswer(Answer::No);
  EXPECT_TRUE(zx80_.GenerateZX80Cartridge("GAME.O", ram_size, 0));
  EXPECT_EQ(Output().size(), 32768u);
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(ZX80CartridgeTest, SixteenKKeepsTheRomBehindAJumpToTheLoader) {
  Load(1000);
  host_.ScriptAnswer(Answer::Yes);
  ASSERT_TRUE(Generate(1));
  const Bytes image = Output();
  ASSERT_EQ(image.size(), 16384u);
  EXPECT_EQ(Slice(image, 0, 3), (Bytes{0xC3, 0x01, 0x10}));  // JP 0x1001
  EXPECT_EQ(Slice(image, 3, 4094), Slice(rom_, 3, 4094));
  // With auto-run all decoration fits: the loader takes 85 + 4 + 62 + 114 = 265 bytes.
  EXPECT_EQ(Slice(image, 4097, 3), (Bytes{0x21, 0x0A, 0x11}));  // LD HL,4362
  EXPECT_EQ(Slice(image, 4362, 1000), program_);
  EXPECT_EQ(Slice(image, 4097 + 55, 4), (Bytes{0x3E, 0x08, 0xD3, 0xFE}));  // border, after clear
  EXPECT_EQ(Slice(image, 4097 + 59, 7),
            (Bytes{0x16, 0xDA, 0x0E, 0x0D,  // LD D,0xDA; LD C,13 rows
                   0x21, 0x6E, 0x10}));     // LD HL,4206: the rows, 156 bytes before the program
  EXPECT_EQ(Slice(image, 4206, 3), (Bytes{0x1F, 0x01, 0x50}));  // first stripe row
  EXPECT_EQ(Slice(image, 4248, 2), (Bytes{0x60, 0x15}));        // first logo row
  EXPECT_EQ(Slice(image, 4097 + 79, 13),
            (Bytes{0xFD, 0x21, 0x00, 0x40, 0x3E, 0x0E, 0xED, 0x47, 0xED, 0x56,  // IY, I, IM 1
                   0x31, 0x00, 0x80}));  // LD SP,0x8000: 16K of RAM
  EXPECT_TRUE(std::all_of(image.begin() + 5362, image.end(), [](auto b) { return b == 0xFF; }));
}

TEST_F(ZX80CartridgeTest, SixteenKWithoutAutoRunHasNoDecoration) {
  Load(1000);
  host_.ScriptAnswer(Answer::Yes);
  ASSERT_TRUE(Generate(0, 1024));
  const Bytes image = Output();
  ASSERT_EQ(image.size(), 16384u);
  EXPECT_EQ(Slice(image, 4097, 3), (Bytes{0x21, 0x4F, 0x10}));       // LD HL,4175 = 4097 + 78
  EXPECT_EQ(Slice(image, 4097 + 55, 2), (Bytes{0xFD, 0x21}));        // set-up right after the clear
  EXPECT_EQ(Slice(image, 4097 + 65, 3), (Bytes{0x31, 0x00, 0x44}));  // LD SP,0x4400: 1K
  EXPECT_EQ(Slice(image, 4175 - 6, 6), (Bytes{0xCD, 0x47, 0x07, 0xC3, 0x83, 0x02}));
  EXPECT_EQ(Slice(image, 4175, 1000), program_);
}

TEST_F(ZX80CartridgeTest, SixteenKDecorationShrinksInclusivelyAsTheProgramGrows) {
  // Room behind the 85-byte auto-run loader: 16384 - 4097 - 85 = 12202 bytes.
  struct Case {
    std::size_t length;
    int loader;  // bytes from 4097 to the program
  };
  for (const Case c :
       {Case{12022, 85 + 180}, Case{12023, 85 + 66}, Case{12136, 85 + 66}, Case{12137, 85 + 4},
        Case{12198, 85 + 4}, Case{12199, 85}, Case{12202, 85}}) {
    SCOPED_TRACE(c.length);
    Load(c.length);
    host_.ScriptAnswer(Answer::Yes);
    ASSERT_TRUE(Generate(1));
    const Bytes image = Output();
    ASSERT_EQ(image.size(), 16384u);
    const std::size_t at = 4097 + static_cast<std::size_t>(c.loader);
    EXPECT_EQ(image[4098] | image[4099] << 8, static_cast<int>(at));
    EXPECT_EQ(Slice(image, at, c.length), program_);
  }
}

TEST_F(ZX80CartridgeTest, ThirtyTwoKWithoutTailKeepsTheRomUnchanged) {
  Load(1000);
  host_.ScriptAnswer(Answer::No);
  ASSERT_TRUE(Generate(0, 3072));
  const Bytes image = Output();
  ASSERT_EQ(image.size(), 32768u);
  // Full decoration: the head starts at A = 58 + 180 = 238.
  EXPECT_EQ(Slice(image, 0, 3), (Bytes{0x21, 0xEE, 0x00}));
  EXPECT_EQ(Slice(image, 238, 1000), program_);
  EXPECT_EQ(Slice(image, 1238, 36),
            (Bytes{0x21, 0x0A, 0x00, 0x44, 0x7E, 0xFE, 0xFD, 0x20, 0xFA, 0x10, 0xF9,  // wait
                   0xFD, 0x21, 0x00, 0x40, 0x3E, 0x0E, 0xED, 0x47, 0xED, 0x56,        // IY, I, IM
                   0x31, 0x00, 0x4C,                                                  // SP 0x4C00
                   0x21, 0xAA, 0x3F, 0xE5,                                            // PUSH 0x3FAA
                   0x00, 0x00, 0x00,                                                  // no tail
                   0xC3, 0x83, 0x02,                                                  // JP 0x0283
                   0xFF, 0xFF}));
  EXPECT_EQ(Slice(image, 16384, 16384), rom_);
}

TEST_F(ZX80CartridgeTest, ThirtyTwoKTailIsCopiedFromBankOneWhichThenStartsTheRom) {
  struct Case {
    std::int16_t auto_run;
    std::size_t head;  // H0 - 180
    Bytes start;
  };
  const Case cases[] = {
      {0, 16290 - 180, {0xC3, 0x83, 0x02}},
      {1,
       16280 - 180,
       {0xCD, 0x47, 0x07, 0x21, 0x47, 0x04, 0xE5, 0x01, 0x00, 0x00, 0xC3, 0x3D, 0x09}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.auto_run);
    Load(16383);  // the longest program a file can declare (E_LINE 0x7FFF)
    ASSERT_TRUE(Generate(c.auto_run));
    const Bytes image = Output();
    ASSERT_EQ(image.size(), 32768u);
    const std::size_t k = 11 + c.start.size();  // 14 or 24
    const std::size_t tail = 16383 - c.head;
    const std::size_t block = 238 + c.head;
    EXPECT_EQ(Slice(image, 238, c.head), Slice(program_, 0, c.head));
    EXPECT_EQ(Slice(image, block + 21, 3), (Bytes{0x31, 0x00, 0xC0}));  // RAMTOP raised
    EXPECT_EQ(Slice(image, block + 28, 3), (Bytes{0xC3, 0x01, 0x10}));  // JP 0x1001, not CALL
    EXPECT_EQ(Slice(image, 16384, 4097), Slice(rom_, 0, 4097));
    const std::size_t destination = 0x4000 + c.head;
    const Bytes copy = {0x21,
                        static_cast<std::uint8_t>(4097 + k),
                        0x10,  // LD HL,tail
                        0x11,
                        static_cast<std::uint8_t>(destination),  // LD DE,0x4000+H
                        static_cast<std::uint8_t>(destination >> 8),
                        0x01,
                        static_cast<std::uint8_t>(tail),  // LD BC,tail length
                        static_cast<std::uint8_t>(tail >> 8),
                        0xED,
                        0xB0};  // LDIR
    EXPECT_EQ(Slice(image, 16384 + 4097, 11), copy);
    EXPECT_EQ(Slice(image, 16384 + 4097 + 11, c.start.size()), c.start);
    EXPECT_EQ(Slice(image, 16384 + 4097 + k, tail), Slice(program_, c.head, tail));
    EXPECT_TRUE(std::all_of(image.begin() + static_cast<std::ptrdiff_t>(16384 + 4097 + k + tail),
                            image.end(), [](auto b) { return b == 0xFF; }));
  }
}

TEST(Largest32KProgramTest, LeavesRoomForTheCopyRoutineThatStartsTheRom) {
  // H0 + 16384 - ZX80RomEnd - K, with K = 14 (plain) or 24 (auto-run).
  EXPECT_EQ(ZX80Processing::Largest32KProgram(4097, 0), 28563);
  EXPECT_EQ(ZX80Processing::Largest32KProgram(4097, 1), 28543);
  EXPECT_EQ(ZX80Processing::Largest32KProgram(16385, 0), 16275);
}

TEST_F(ZX80CartridgeTest, ThirtyTwoKSizeLimitLeavesRoomForTheCopyRoutine) {
  // A file declares at most 16383 bytes, so the limit shows with little free space: from 16300,
  // 16290 + 84 - 14 bytes plain and 16280 + 84 - 24 with auto-run.
  dir_.Write("ZX80_ROM.bin", StandInRom(16298));
  struct Case {
    std::int16_t auto_run;
    std::size_t limit;
  };
  for (const Case c : {Case{0, 16360}, Case{1, 16340}}) {
    SCOPED_TRACE(c.auto_run);
    host_.errors.clear();
    Load(c.limit);
    ASSERT_TRUE(Generate(c.auto_run));
    const Bytes image = Output();
    EXPECT_EQ(image.size(), 32768u);
    EXPECT_EQ(image.back(), program_.back());  // the tail fills bank 1 to its last byte
    std::filesystem::remove(dir_ / "GAME.bin");
    Load(c.limit + 1);
    EXPECT_FALSE(Generate(c.auto_run));
    EXPECT_EQ(host_.errors, std::vector<std::string>{"Program is too large"});
    EXPECT_FALSE(OutputExists());
  }
}

TEST_F(ZX80CartridgeTest, ThirtyTwoKRaisesRamtopAboveThe16382ByteHead) {
  for (const auto& [length, sp_high] : {std::pair{16382u, 0x80}, std::pair{16383u, 0xC0}}) {
    SCOPED_TRACE(length);
    Load(length);
    ASSERT_TRUE(Generate(0));
    const Bytes image = Output();
    // Full decoration, so the head is 16290 - 180 bytes and a tail follows in bank 1 either way.
    EXPECT_EQ(Slice(image, 238 + 16110 + 21, 3),
              (Bytes{0x31, 0x00, static_cast<std::uint8_t>(sp_high)}));  // LD SP,RAMTOP
  }
}

TEST_F(ZX80CartridgeTest, RomImageFailures) {
  Load(1000);
  std::filesystem::remove(dir_ / "ZX80_ROM.bin");
  EXPECT_FALSE(Generate(0));
  EXPECT_EQ(host_.errors, std::vector<std::string>{"Failed to read ZX80 ROM file (ZX80_ROM.bin)"});

  // One byte short: nothing fits 16K, and the 32K build refuses it after building bank 0.
  host_.errors.clear();
  dir_.Write("ZX80_ROM.bin", Bytes(rom_.begin(), rom_.end() - 1));
  EXPECT_FALSE(Generate(0));
  EXPECT_EQ(host_.errors, std::vector<std::string>{"Failed to insert ZX80 ROM data"});
  EXPECT_FALSE(OutputExists());
}

TEST_F(ZX80CartridgeTest, ThirtyTwoKRefusesARomWithoutTheByteItsRamCodeWaitsFor) {
  // The RAM code waits for 0xFD at 0x000A; without it the machine would never start.
  Bytes rom = rom_;
  rom[10] = 0xFC;
  dir_.Write("ZX80_ROM.bin", rom);
  Load(1000);
  host_.ScriptAnswer(Answer::No);
  EXPECT_FALSE(Generate(0));
  EXPECT_EQ(host_.errors, std::vector<std::string>{"Failed to insert ZX80 ROM data"});
  EXPECT_FALSE(OutputExists());

  // The 16K loader does not wait, so it takes the same image.
  host_.errors.clear();
  host_.ScriptAnswer(Answer::Yes);
  EXPECT_TRUE(Generate(0));
  EXPECT_EQ(Slice(Output(), 3, 4094), Slice(rom, 3, 4094));
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(ZX80CartridgeTest, OtherExtensionsAreRefusedBeforeAnythingElse) {
  Load(1000);
  std::int32_t ram_size = 16384;
  EXPECT_FALSE(zx80_.GenerateZX80Cartridge("GAME.P", ram_size, 0));
  EXPECT_EQ(ram_size, 16384);
  EXPECT_TRUE(host_.errors.empty());
  host_.ScriptAnswer(Answer::No);
  EXPECT_TRUE(zx80_.GenerateZX80Cartridge("MY.GAME.P80", ram_size, 0));
  EXPECT_EQ(ReadFileBytes(dir_ / "MY.GAME.bin").size(), 32768u);
}

}  // namespace
}  // namespace quillfen
