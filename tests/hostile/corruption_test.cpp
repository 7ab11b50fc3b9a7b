// SPDX-License-Identifier: GPL-3.0-or-later
// Every value of every header byte: the readers either refuse the file or hold an image that
// keeps their promises; nothing reads outside the file.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "cartridge/error.h"
#include "hostile/hostile_inputs.h"
#include "spectrum/sna_format.h"

namespace quillfen {
namespace {

using testing::HostileInputTest;

// E_LINE of both program formats, NXTLIN (32, 33) of the ZX81 and the name of a .P81 file take
// every value; every other system variable is carried as it is. Only an E_LINE beyond the file or
// below the image refuses a file, and the image then ends at E_LINE.
TEST_F(HostileInputTest, EveryValueOfTheProgramHeaderFieldsIsHandled) {
  const Bytes zx81 = testing::MakeZX81Program(200, 0x407D);
  // File name, file, length of the name in front of the image, address of the image, offsets.
  const std::tuple<const char*, Bytes, std::size_t, int, std::vector<std::size_t>> cases[] = {
      {"GAME.P", zx81, 0, 0x4009, {11, 12, 32, 33}},
      {"GAME.P81", testing::MakeZX81P81File({0x2C, 0x26, 0xA6}, zx81), 3, 0x4009, {0, 1, 2, 14}},
      {"GAME.O", testing::MakeZX80Program(200), 0, 0x4000, {10, 11}}};
  for (const auto& [name, file, name_length, start, offsets] : cases) {
    const bool zx81_file = start == 0x4009;
    const std::size_t e_line_offset = name_length + (zx81_file ? 11 : 10);
    for (const std::size_t offset : offsets) {
      for (int value = 0; value < 256; ++value) {
        Bytes corrupted = file;
        corrupted[offset] = static_cast<std::uint8_t>(value);
        const bool loaded = Load(zx81_file ? "P" : "O", folder_.Write(name, corrupted));
        if (offset < name_length) continue;  // a spoiled name: the sanitizer judges
        const int e_line = corrupted[e_line_offset] | corrupted[e_line_offset + 1] << 8;
        ASSERT_EQ(loaded, e_line >= start && e_line <= start + 200) << name << offset << value;
        if (!loaded) continue;
        const Bytes& image =
            zx81_file ? converters_.ZX81().ZX81Program() : converters_.ZX80().ZX80Program();
        EXPECT_EQ(image.size(), static_cast<std::size_t>(e_line - start));
        try {
          if (zx81_file) (void)converters_.ZX81ProgramAutoRuns();
        } catch (const Error&) {
          // NXTLIN below the image (or an image cut before NXTLIN): the callers' error.
        }
      }
    }
  }
}

// Every header byte of each snapshot variant (for versions 2 and 3 also the additional header
// and first block header): a load that succeeds always holds exactly 48K of RAM, and an SNA file
// (whose header holds registers only) always loads. The Z80 bytes that decide the version,
// compression, lengths, machine or page take every value; those that only hold registers take a
// spread of values (they cannot change how much is read).
TEST(SnapshotCorruptionTest, EveryValueOfEveryHeaderByteIsHandled) {
  const SnapshotState state = testing::SmallSnapshot();
  const std::pair<Bytes, std::size_t> variants[] = {
      // file, bytes of headers
      {testing::MakeSnaFile(state), kSnaHeaderLength},
      {testing::MakeZ80FileVersion1(state, true), kZ80HeaderLength},
      {testing::MakeZ80FilePaged(state, 23, true), kZ80HeaderLength + 2 + 23 + 3},
      {testing::MakeZ80FilePaged(state, 55, true), kZ80HeaderLength + 2 + 55 + 3}};
  int z80_loads = 0;
  for (const auto& [file, header_bytes] : variants) {
    const bool sna = header_bytes == kSnaHeaderLength;
    for (std::size_t offset = 0; offset < header_bytes; ++offset) {
      // PC (zero for versions 2 and 3), flags, additional length, hardware, Interface 1, block.
      const bool decides = sna || offset == 6 || offset == 7 || offset == 12 || offset == 30 ||
                           offset == 31 || offset == 34 || offset == 36 ||
                           (offset >= 30 && header_bytes - offset <= 3);
      for (int value = 0; value < 256; ++value) {
        if (!decides && value % 51 != 0 && value != 0xED) continue;
        Bytes corrupted = file;
        corrupted[offset] = static_cast<std::uint8_t>(value);
        SnapshotState loaded;
        const bool read =
            sna ? ReadSnaSnapshot(corrupted, loaded) : testing::ReadZ80(corrupted, loaded);
        ASSERT_TRUE(read || !sna) << offset << "=" << value;
        if (!read) continue;
        z80_loads += !sna;
        ASSERT_EQ(loaded.Memory.size(), kSnapshotRamLength) << offset << "=" << value;
        EXPECT_LE(loaded.BorderColour, 7);
        EXPECT_TRUE(sna || loaded.InterruptMode <= 3);  // two bits in a Z80 header
      }
    }
  }
  EXPECT_GT(z80_loads, 0);  // register bytes are free to take any value
}

}  // namespace
}  // namespace quillfen
