// SPDX-License-Identifier: GPL-3.0-or-later
// Cut, corrupted and overlong files. The sanitizer build sees any read outside the file: snapshot
// buffers have exactly the file's length.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "cartridge/error.h"
#include "hostile/hostile_inputs.h"
#include "spectrum/sna_format.h"

namespace quillfen {
namespace {

using testing::HostileInputTest;
using testing::ReadZ80;

TEST_F(HostileInputTest, EveryPrefixOfEveryFormatIsRefused) {
  const Bytes zx81 = testing::MakeZX81Program(300, 0x407D);
  const SnapshotState state = testing::SmallSnapshot();
  const std::pair<std::string, Bytes> files[] = {
      {"P", zx81},
      {"P81", testing::MakeZX81P81File({0x2C, 0x26, 0xA6}, zx81)},
      {"O", testing::MakeZX80Program(300)},
      {"SNA", testing::MakeSnaFile(state)},
      {"Z80", testing::MakeZ80FileVersion1(state, true)},
      {"Z80", testing::MakeZ80FilePaged(state, 23, true)},
      {"Z80", testing::MakeZ80FilePaged(state, 54, false, {5, 4, 8})}};
  for (const auto& [extension, file] : files) {
    auto read = [&, &extension = extension](std::span<const std::uint8_t> bytes) {
      SnapshotState read_state;
      if (extension == "SNA") return ReadSnaSnapshot(bytes, read_state);
      if (extension == "Z80") return ReadZ80(bytes, read_state);
      const auto path = folder_.Write("GAME." + extension, Bytes(bytes.begin(), bytes.end()));
      return extension == "O" ? converters_.LoadZX80Program(path)
                              : converters_.LoadZX81Program(path);
    };
    ASSERT_TRUE(read(file)) << extension << " of " << file.size() << " bytes must load";
    for (std::size_t cut = 0; cut < file.size(); ++cut) {
      // Every length up to 16 KB; of larger files every cut within 2 KB of an end and every 61st.
      if (file.size() > 0x4000 && cut >= 0x800 && file.size() - cut > 0x800 && cut % 61 != 0)
        continue;
      auto prefix = std::make_unique<std::uint8_t[]>(cut == 0 ? 1 : cut);
      std::copy_n(file.begin(), cut, prefix.get());
      EXPECT_FALSE(read(std::span<const std::uint8_t>(prefix.get(), cut)))
          << extension << " cut at " << cut << " of " << file.size();
    }
  }
}

// E_LINE, the ZX81's NXTLIN (32, 33) and a .P81 file's name take every value. Only an E_LINE
// beyond the file or below the image refuses a file, and the image then ends at E_LINE.
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

// Any header byte (up to the first block header) gives 48K of RAM or a refusal; an SNA always
// loads. Z80 bytes that decide what is read take every value, register bytes a spread.
TEST(SnapshotCorruptionTest, EveryValueOfEveryHeaderByteIsHandled) {
  const SnapshotState state = testing::SmallSnapshot();
  const std::pair<Bytes, std::size_t> variants[] = {
      // file, bytes of headers
      {testing::MakeSnaFile(state), kSnaHeaderLength},
      {testing::MakeZ80FileVersion1(state, true), kZ80HeaderLength},
      {testing::MakeZ80FilePaged(state, 23, true), kZ80HeaderLength + 2 + 23 + 3},
      {testing::MakeZ80FilePaged(state, 55, true), kZ80HeaderLength + 2 + 55 + 3}};
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
        const bool read = sna ? ReadSnaSnapshot(corrupted, loaded) : ReadZ80(corrupted, loaded);
        ASSERT_TRUE(read || !sna) << offset << "=" << value;
        if (!read) continue;
        ASSERT_EQ(loaded.Memory.size(), kSnapshotRamLength) << offset << "=" << value;
        EXPECT_LE(loaded.BorderColour, 7);
        EXPECT_TRUE(sna || loaded.InterruptMode <= 3);  // two bits in a Z80 header
      }
    }
  }
}

// A version 2 header with `length` as its additional length, then a block claiming `claimed`.
Bytes Version2Header(std::uint16_t claimed, std::uint8_t page, std::uint16_t length = 23) {
  SnapshotState state = testing::SmallSnapshot();
  state.PC = 0x8000;
  Bytes file = testing::MakeZ80FilePaged(state, 23, true);
  file.resize(kZ80HeaderLength + 2 + 23);
  testing::StoreWord(file, 30, length);
  file.insert(file.end(), {static_cast<std::uint8_t>(claimed & 0xFF),  // low byte first
                           static_cast<std::uint8_t>(claimed >> 8), page});
  return file;
}

// ED ED FF 00 stands for 255 zeros: a few kilobytes of it would make megabytes.
Bytes Runs(std::size_t count) {
  Bytes data;
  for (std::size_t k = 0; k < count; ++k) data.insert(data.end(), {0xED, 0xED, 0xFF, 0x00});
  return data;
}

// An additional header longer than the file, a page of 16384 plain bytes (length 0xFFFF) cut
// short and a compressed page expanding beyond 16K are refused without leaving RAM behind.
TEST(Z80LengthFieldTest, LengthsPastTheEndAndPagesBeyond16KAreRefused) {
  const Bytes runs = Runs(0x4000 / 255 + 2);
  Bytes plain_cut = Version2Header(0xFFFF, 8);
  plain_cut.resize(plain_cut.size() + 0x3FFF, 0x77);
  Bytes expanding = Version2Header(static_cast<std::uint16_t>(runs.size()), 5);
  expanding.insert(expanding.end(), runs.begin(), runs.end());
  const std::pair<Bytes, const char*> refused[] = {
      {Version2Header(0, 8, 0x00FF), "additional header past the end"},
      {plain_cut, "16383 of 16384 plain bytes"},
      {expanding, "runs"}};
  for (const auto& [file, what] : refused) {
    SnapshotState state;
    EXPECT_FALSE(ReadZ80(file, state)) << what;
    EXPECT_TRUE(state.Memory.empty()) << what;
  }
}

// A 2 MiB file of runs that would stand for 127 MiB is refused at once, within 48K of memory.
TEST_F(HostileInputTest, Version1DataBeyond48KIsRefusedWithoutGrowingMemory) {
  SnapshotState state = testing::SmallSnapshot();
  state.PC = 0x8000;
  Bytes file = testing::MakeZ80MainHeader(state, true);
  const Bytes data = Runs(kLargestReadableFile / 8 / 4);
  file.insert(file.end(), data.begin(), data.end());
  file.insert(file.end(), {0x00, 0xED, 0xED, 0x00});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(converters_.LoadSnapshot(folder_.Write("BOMB.Z80", file)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_LE(converters_.Spectrum().State().Memory.capacity(), kSnapshotRamLength);
}

}  // namespace
}  // namespace quillfen
