// SPDX-License-Identifier: GPL-3.0-or-later
// Each refused file gets its own reason from the reader that knows it; odd paths and names.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "cartridge/load_failure.h"
#include "hostile_inputs.h"
#include "spectrum/tape_capture.h"
#include "support/szx_files.h"

namespace quillfen::testing {
namespace {

using K = LoadFailureKind;
constexpr Machine kZX80 = Machine::ZX80;
constexpr Machine kZX81 = Machine::ZX81;
constexpr Machine kSpectrum = Machine::Spectrum;

struct RefusalCase {
  Machine reader;
  std::string name;
  std::optional<Bytes> bytes;  // nullopt: no such file
  K kind;
  std::string reason;
};

Bytes Resized(Bytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

Bytes WithByte(Bytes bytes, std::size_t offset, std::uint8_t value) {
  bytes[offset] = value;
  return bytes;
}

Bytes Appended(Bytes bytes, const Bytes& tail) {
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return bytes;
}

// A version 1 compressed file whose data expands from `ram` (of any length), closed by its marker.
Bytes Version1Of(const SnapshotState& state, const Bytes& ram) {
  return Appended(Appended(MakeZ80MainHeader(state, true), CompressZ80Block(ram)),
                  {0x00, 0xED, 0xED, 0x00});
}

// A version 3 file with pages 8 and 4, then a compressed block for `page` holding `data` as given.
Bytes WithRawBlock(const SnapshotState& state, std::uint8_t page, const Bytes& data) {
  return Appended(Appended(MakeZ80FilePaged(state, 54, false, {8, 4}),
                           {static_cast<std::uint8_t>(data.size()),
                            static_cast<std::uint8_t>(data.size() >> 8), page}),
                  data);
}

void PageInInterface1(libspectrum_snap* snap) {
  libspectrum_snap_set_interface1_active(snap, 1);
  libspectrum_snap_set_interface1_paged(snap, 1);
}

std::vector<RefusalCase> Cases() {
  const SnapshotState state = MakeBusySnapshot();
  const Bytes ram1000(state.Memory.begin(), state.Memory.begin() + 1000);
  const Bytes sna = MakeSnaFile(state);
  const Bytes v1 = MakeZ80FileVersion1(state, false);
  const Bytes v1_compressed = MakeZ80FileVersion1(state, true);
  const Bytes v2 = MakeZ80FilePaged(state, 23, false);
  const Bytes v3 = MakeZ80FilePaged(state, 54, false);
  const Bytes szx = MakeSzxFile(state);
  const Bytes zx81 = MakeZX81Program(200);
  const std::string only48k = ": only 48K snapshots can be converted";
  // clang-format off
  return {
      {kZX81, "a.txt", Bytes{1}, K::kWrongExtension, "not a ZX81 file (.P, .81 or .P81)"},
      {kZX81, "nothing.p", std::nullopt, K::kUnreadableFile, "cannot be read: No such file or directory"},
      {kZX81, "empty.81", Bytes{}, K::kEmptyFile, "the file is empty"},
      {kZX81, "short.p", Bytes(50, 0), K::kTruncated, "truncated: 50 bytes, the system variables need 116"},
      {kZX81, "cut.p", Resized(zx81, 150), K::kELineOutOfRange,
       "E_LINE 0x40D1 lies beyond the end of the file (150 bytes)"},
      {kZX81, "low.p", WithByte(zx81, 11, 0x00), K::kELineOutOfRange,
       "E_LINE 0x4000 lies below the program image (0x4009)"},
      {kZX81, "noname.p81", Bytes(50, 0x01), K::kNoProgramName,
       "no program name: no byte with bit 7 set ends one in the first 50 bytes"},

      {kZX80, "a.p", MakeZX80Program(200), K::kWrongExtension, "not a ZX80 file (.O, .80 or .P80)"},
      {kZX80, "short.o", Bytes(30, 0), K::kTruncated, "truncated: 30 bytes, the system variables need 40"},
      {kZX80, "big.80", MakeZX80ProgramWithELine(0x8000, 100), K::kELineOutOfRange,
       "E_LINE 0x8000 lies beyond the largest program (0x7FFF)"},

      {kSpectrum, "a.o", sna, K::kWrongExtension, "not a Spectrum file (.SNA, .Z80, .SZX, .TAP, .TZX, .PZX or .CSW)"},
      {kSpectrum, "header.sna", Resized(sna, 10), K::kTruncated,
       "truncated: 10 bytes, an SNA snapshot is 49179"},
      {kSpectrum, "ram.sna", Resized(sna, 49000), K::kTruncated,
       "truncated: 49000 bytes, an SNA snapshot is 49179"},
      {kSpectrum, "128k.sna", Resized(sna, 49181), K::kWrongFileLength,
       "an SNA of 49181 bytes: a 48K snapshot is 49179 (a 128K one is longer)"},

      {kSpectrum, "header.z80", Resized(v1, 20), K::kTruncated,
       "truncated: the file ends at offset 20, 1 byte short"},
      {kSpectrum, "ram.z80", Resized(v1, 130), K::kTruncated,
       "truncated: the file ends at offset 130, 49052 bytes short"},
      {kSpectrum, "nomarker.z80", Resized(v1_compressed, v1_compressed.size() - 4),
       K::kBadCompressedData, "compressed version 1 data does not end in its marker 00 ED ED 00"},
      {kSpectrum, "short1.z80", Version1Of(state, ram1000), K::kBadCompressedData,
       "compressed version 1 data expands to 1000 bytes, not 49152"},
      {kSpectrum, "long1.z80", Version1Of(state, Appended(state.Memory, ram1000)), K::kBadCompressedData,
       "compressed data expands beyond 49152 bytes"},
      {kSpectrum, "v2mode3.z80", WithByte(v2, 34, 3), K::kNot48KSnapshot,
       "128K snapshot (hardware mode 3)" + only48k},
      {kSpectrum, "v3mode4.z80", WithByte(v3, 34, 4), K::kNot48KSnapshot,
       "128K snapshot (hardware mode 4)" + only48k},
      {kSpectrum, "v3mode2.z80", WithByte(v3, 34, 2), K::kNot48KSnapshot,
       "snapshot of another machine (hardware mode 2)" + only48k},
      {kSpectrum, "if1.z80", WithByte(v3, 36, 0xFF), K::kNot48KSnapshot,
       "the Interface 1 ROM is paged in: only snapshots running the Spectrum's own ROM can be "
       "converted"},
      {kSpectrum, "page3.z80", WithRawBlock(state, 3, {}), K::kNot48KSnapshot,
       "page 3 belongs to another machine's memory" + only48k},
      {kSpectrum, "page.z80", Resized(v3, v3.size() - 100), K::kTruncated,
       "truncated: page 5 declares 16384 bytes, 16284 remain"},
      {kSpectrum, "missing.z80", MakeZ80FilePaged(state, 54, false, {8, 5}), K::kIncompleteRam,
       "page 4 is missing: the 48 KB of RAM are not all there"},
      {kSpectrum, "shortpage.z80", WithRawBlock(state, 5, CompressZ80Block(ram1000)), K::kBadCompressedData,
       "page 5 expands to 1000 bytes, not 16384"},
      {kSpectrum, "run.z80", WithRawBlock(state, 5, {0x01, 0xED, 0xED}), K::kBadCompressedData,
       "a run ED ED at offset 1 ends before its count"},
      {kSpectrum, "empty.z80", WithRawBlock(state, 5, {}), K::kBadCompressedData,
       "compressed data ends after 0 bytes"},

      {kSpectrum, "128k.szx", MakeSzxFile(state, LIBSPECTRUM_MACHINE_128, {0, 1, 2, 3, 4, 5, 6, 7}),
       K::kNot48KSnapshot, "SZX snapshot of a Spectrum 128" + only48k},
      {kSpectrum, "16k.szx", MakeSzxFile(state, LIBSPECTRUM_MACHINE_16, {5}), K::kNot48KSnapshot,
       "SZX snapshot of a Spectrum 16K" + only48k},
      {kSpectrum, "if1.szx", MakeSzxFile(state, LIBSPECTRUM_MACHINE_48, {5, 2, 0}, PageInInterface1),
       K::kNot48KSnapshot,
       "the Interface 1 ROM is paged in: only snapshots running the Spectrum's own ROM can be "
       "converted"},
      {kSpectrum, "page2.szx", MakeSzxFile(state, LIBSPECTRUM_MACHINE_48, {5, 0}), K::kIncompleteRam,
       "page 2 is missing: the 48 KB of RAM are not all there"},
      {kSpectrum, "sna.szx", sna, K::kUnreadableFormat,
       "not an SZX file: it does not start with the signature ZXST"},
      {kSpectrum, "cut.szx", Resized(szx, szx.size() / 2), K::kUnreadableFormat,
       "libspectrum cannot read it: the file is corrupt"},
  };
  // clang-format on
}

class RefusalReasonsTest : public HostileInputTest {
 protected:
  LoadFailure LoadAndTell(Machine reader, const std::filesystem::path& path) {
    EXPECT_FALSE(reader == kZX80   ? converters_.LoadZX80Program(path)
                 : reader == kZX81 ? converters_.LoadZX81Program(path)
                                   : converters_.LoadSnapshot(path))
        << path;
    return converters_.LastLoadFailure(reader);
  }
};

TEST_F(RefusalReasonsTest, EachRefusedFileSaysWhyAndAnAcceptedOneClearsIt) {
  std::set<K> kinds_seen;
  for (const RefusalCase& c : Cases()) {
    const auto path = c.bytes ? folder_.Write(c.name, *c.bytes) : folder_ / c.name;
    const LoadFailure failure = LoadAndTell(c.reader, path);
    EXPECT_EQ(failure.kind, c.kind) << c.name << ": " << failure.text;
    EXPECT_EQ(failure.text, c.reason) << c.name;
    kinds_seen.insert(failure.kind);
  }
  std::filesystem::create_directory(folder_ / "folder.sna");
  std::filesystem::create_symlink("/dev/zero", folder_ / "zero.z80");
  for (const char* name : {"folder.sna", "zero.z80"})
    EXPECT_EQ(LoadAndTell(kSpectrum, folder_ / name).text, "cannot be read: not a regular file");
  // Every kind a program or snapshot reader gives (tapes give the later ones), each named apart.
  std::set<std::string_view> names;
  for (K kind : kinds_seen) names.insert(LoadFailureName(kind));
  EXPECT_EQ(kinds_seen.size(), static_cast<std::size_t>(K::kUnreadableFormat));
  EXPECT_EQ(names.size(), kinds_seen.size());

  ASSERT_TRUE(converters_.LoadZX81Program(folder_.Write("good.p", MakeZX81Program(200))));
  EXPECT_EQ(converters_.LastLoadFailure(kZX81).kind, K::kNone);
  EXPECT_TRUE(converters_.LastLoadFailure(kZX81).text.empty());
}

// A tape is refused before it plays without a loader or a right-sized SPECTRUM_ROM.bin.
TEST_F(RefusalReasonsTest, ATapeNeedsALoaderAndASpectrumRom) {
  struct CountingCapture final : TapeCapture {
    CapturedTape Capture(std::span<const std::uint8_t>, std::span<const std::uint8_t>,
                         const std::string&) override {
      ++calls;
      return {.state = {.Memory = Bytes(kSnapshotRamLength, 0)}, .blocks = {}, .pc = 0x8000};
    }
    int calls = 0;
  } capture;
  // clang-format off
  const std::tuple<bool, std::optional<std::size_t>, K, std::string> cases[] = {
      // loader installed, size of SPECTRUM_ROM.bin, kind, reason
      {false, 16384, K::kNoTapeLoader, "tapes cannot be loaded here; give a snapshot"},
      {true, std::nullopt, K::kNoSpectrumRom,
       "a tape is loaded on an emulated Spectrum, which needs SPECTRUM_ROM.bin; no ROM folder "
       "holds it (searched: " + folder_.path().string() + ")"},
      {true, 16383, K::kNoSpectrumRom,
       (folder_ / "SPECTRUM_ROM.bin").string() +
           " holds 16383 bytes, not the 16384 of a Spectrum ROM"},
      {true, 16384, K::kNone, ""},
  };
  // clang-format on
  const auto tape = folder_.Write("game.tzx", Bytes{'Z', 'X', 'T', 'a', 'p', 'e', '!'});
  for (const auto& [installed, rom_size, kind, reason] : cases) {
    std::filesystem::remove(folder_ / "SPECTRUM_ROM.bin");
    if (rom_size) folder_.Write("SPECTRUM_ROM.bin", Bytes(*rom_size, 0xF3));
    MachineConverters converters(host_);
    if (installed) converters.InstallTapeCapture(capture);
    EXPECT_EQ(converters.LoadSnapshot(tape), kind == K::kNone) << reason;
    EXPECT_EQ(converters.LastLoadFailure(kSpectrum).kind, kind) << reason;
    EXPECT_EQ(converters.LastLoadFailure(kSpectrum).text, reason);
    // A captured tape resumes by a jump, as a Z80 snapshot does.
    if (kind == K::kNone) {
      EXPECT_EQ(converters.SnapshotKindLoaded(), spectrum::SnapshotKind::kZ80);
    }
  }
  EXPECT_EQ(capture.calls, 1);
}

using FileKindsTest = HostileInputTest;

// Every reader refuses files over 16 MiB, folders, FIFOs and devices, reads a link as its file
// and takes the extension after the last point of the whole path.
TEST_F(FileKindsTest, WhatIsNoReadableFileOrHasAnOddNameIsRefused) {
  for (const std::string kind : kKinds) {
    SCOPED_TRACE(kind);
    const Bytes file = ValidFile(kind);
    const auto big = folder_.Write("BIG." + kind, file);
    if (kind == "P" || kind == "O") {
      std::filesystem::resize_file(big, kLargestReadableFile);
      EXPECT_TRUE(Load(kind, big));
    }
    std::filesystem::resize_file(big, kLargestReadableFile + 1);
    EXPECT_FALSE(Load(kind, big));
    std::filesystem::create_directory(folder_ / ("FOLDER." + kind));
    ASSERT_EQ(::mkfifo((folder_ / ("FIFO." + kind)).c_str(), 0600), 0);  // a blocking open hangs
    std::filesystem::create_symlink("/dev/zero", folder_ / ("DEVICE." + kind));  // endless
    for (const std::string name : {"FOLDER.", "FIFO.", "DEVICE."})
      EXPECT_FALSE(Load(kind, folder_ / (name + kind))) << name;
    std::filesystem::create_symlink(folder_.Write("GOOD." + kind, file),
                                    folder_ / ("LINK." + kind));
    EXPECT_TRUE(Load(kind, folder_ / ("LINK." + kind)));

    EXPECT_FALSE(Load(kind, folder_.Write("GAME", file)));
    EXPECT_TRUE(Load(kind, folder_.Write("MY.OLD.GAME." + kind, file)));
    EXPECT_FALSE(Load(kind, folder_.Write("GAME." + kind + ".BAK", file)));
    EXPECT_FALSE(Load(kind, folder_.Write("GAME." + kind + " ", file)));
    // Only ASCII is upper-cased: a UTF-8 letter after the kind spoils it.
    EXPECT_FALSE(Load(kind, folder_.Write("GAME." + kind + "\xC3\xA9", file)));
    // A point only in a folder name gives an "extension" with a slash in it.
    std::filesystem::create_directory(folder_ / ("DISK." + kind));
    EXPECT_FALSE(Load(kind, folder_.Write("DISK." + kind + "/GAME", file)));
  }
}

}  // namespace
}  // namespace quillfen::testing
