// Every value of every header byte: the readers either refuse the file or hold an image that
// keeps their promises; nothing reads outside the file.
#include <gtest/gtest.h>

#include "hostile/hostile_inputs.h"
#include "spectrum/sna_format.h"
#include "spectrum/z80_format.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"

namespace quillfen {
namespace {

using testing::HostileInputTest;

// E_LINE (11, 12) and NXTLIN (32, 33) are the ZX81 header bytes the system reads; the name of a
// .P81 file is corrupted too. Every other system variable is carried as it is.
TEST_F(HostileInputTest, EveryValueOfTheZX81HeaderWordsIsHandled) {
  const Bytes image = testing::MakeZX81Program(200, 0x407D);
  const Bytes name = {0x2C, 0x26, 0xA6};
  for (const std::size_t offset : {11u, 12u, 32u, 33u}) {
    for (int value = 0; value < 256; ++value) {
      Bytes corrupted = image;
      corrupted[offset] = static_cast<std::uint8_t>(value);
      for (const Bytes& file : {corrupted, testing::MakeZX81P81File(name, corrupted)}) {
        const std::string file_name = file.size() == corrupted.size() ? "GAME.P" : "GAME.P81";
        if (!converters_.LoadZX81Program(folder_.Write(file_name, file))) {
          // Only an E_LINE beyond the file or below the image refuses the file.
          const int e_line = corrupted[11] | corrupted[12] << 8;
          EXPECT_TRUE(e_line > 0x4009 + 200 || e_line < 0x4009) << offset << " = " << value;
          continue;
        }
        const int e_line = corrupted[11] | corrupted[12] << 8;
        EXPECT_EQ(converters_.ZX81ProgramLength(), e_line - 0x4009 >= 116 ? e_line - 0x4009 : 0);
        try {
          (void)converters_.ZX81ProgramAutoRuns();
        } catch (const Error&) {
          // NXTLIN below the image (or an image cut before NXTLIN): the callers' error.
        }
      }
    }
  }
  for (std::size_t offset = 0; offset < name.size(); ++offset) {
    for (int value = 0; value < 256; ++value) {
      Bytes corrupted_name = name;
      corrupted_name[offset] = static_cast<std::uint8_t>(value);
      const bool loaded = converters_.LoadZX81Program(
          folder_.Write("GAME.P81", testing::MakeZX81P81File(corrupted_name, image)));
      // A name that ends early leaves bytes of the name in front of the image; whether the
      // shifted image loads depends on where E_LINE then lies, but it never runs past the file.
      if (loaded) {
        EXPECT_LE(converters_.ZX81().ZX81Program().size(), image.size() + name.size());
      }
    }
  }
}

TEST_F(HostileInputTest, EveryValueOfTheZX80ELineIsHandled) {
  const Bytes image = testing::MakeZX80Program(200);
  for (const std::size_t offset : {10u, 11u}) {
    for (int value = 0; value < 256; ++value) {
      Bytes corrupted = image;
      corrupted[offset] = static_cast<std::uint8_t>(value);
      const int e_line = corrupted[10] | corrupted[11] << 8;
      const bool loaded = converters_.LoadZX80Program(folder_.Write("GAME.O", corrupted));
      EXPECT_EQ(loaded, e_line >= 0x4000 && e_line <= 0x4000 + 200) << offset << " = " << value;
      if (loaded) {
        EXPECT_EQ(converters_.ZX80().ZX80Program().size(),
                  static_cast<std::size_t>(e_line - 0x4000));
      }
    }
  }
}

// The SNA header holds registers only: every value of every byte loads, with 48K of RAM.
TEST(SnapshotCorruptionTest, EveryValueOfEverySnaHeaderByteLoads) {
  const Bytes file = testing::MakeSnaFile(testing::SmallSnapshot());
  for (std::size_t offset = 0; offset < kSnaHeaderLength; ++offset) {
    for (int value = 0; value < 256; ++value) {
      Bytes corrupted = file;
      corrupted[offset] = static_cast<std::uint8_t>(value);
      SnapshotState state;
      ASSERT_TRUE(ReadSnaSnapshot(corrupted, state)) << offset << " = " << value;
      EXPECT_EQ(state.Memory.size(), kSnapshotRamLength);
      EXPECT_LE(state.BorderColour, 7);
    }
  }
}

// Bytes that decide the version, compression, lengths, machine or page take every value; the
// bytes that only hold registers take a spread of values (they cannot change how much is read).
bool DecidesTheLayout(std::size_t offset, std::size_t header_bytes) {
  switch (offset) {
    case 6:  // PC, zero for versions 2 and 3
    case 7:
    case 12:  // flags: compression
    case 30:  // additional header length
    case 31:
    case 34:  // hardware mode
    case 36:  // Interface 1 ROM
      return true;
    default:
      return offset >= 30 && header_bytes - offset <= 3;  // the first block header
  }
}

// Every header byte of each variant, and the additional header and first block header of
// versions 2 and 3: a load that succeeds always holds exactly 48K of RAM.
TEST(SnapshotCorruptionTest, EveryValueOfEveryZ80HeaderByteIsHandled) {
  testing::ScriptedHost host("/nonexistent");
  const SnapshotState state = testing::SmallSnapshot();
  struct Variant {
    Bytes file;
    std::size_t header_bytes;  // main header, additional header, first block header
  };
  const Variant variants[] = {
      {testing::MakeZ80FileVersion1(state, true), kZ80HeaderLength},
      {testing::MakeZ80FilePaged(state, 23, true), kZ80HeaderLength + 2 + 23 + 3},
      {testing::MakeZ80FilePaged(state, 55, true), kZ80HeaderLength + 2 + 55 + 3},
  };
  int loads = 0;
  for (const Variant& variant : variants) {
    for (std::size_t offset = 0; offset < variant.header_bytes; ++offset) {
      for (int value = 0; value < 256; ++value) {
        if (!DecidesTheLayout(offset, variant.header_bytes) && value % 51 != 0 && value != 0xED)
          continue;
        Bytes corrupted = variant.file;
        corrupted[offset] = static_cast<std::uint8_t>(value);
        SnapshotState loaded_state;
        if (!ReadZ80Snapshot(corrupted, loaded_state, host)) continue;
        ++loads;
        ASSERT_EQ(loaded_state.Memory.size(), kSnapshotRamLength) << offset << " = " << value;
        EXPECT_LE(loaded_state.InterruptMode, 3);  // two bits
        EXPECT_LE(loaded_state.R, 0xFF);
      }
    }
  }
  EXPECT_GT(loads, 0);  // register bytes are free to take any value
}

}  // namespace
}  // namespace quillfen
