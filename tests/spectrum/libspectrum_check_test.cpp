// SPDX-License-Identifier: GPL-3.0-or-later
// Our readers against libspectrum, an independent implementation: every register and RAM byte
// of what it rewrites or writes must agree with the snapshot.
#include <gtest/gtest.h>
#include <libspectrum.h>

#include <algorithm>
#include <random>
#include <string>

#include "spectrum/sna_format.h"
#include "spectrum/spectrum_processing.h"
#include "spectrum/szx_format.h"
#include "spectrum/z80_format.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/snapshot_files.h"
#include "support/szx_files.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using namespace quillfen::testing;

constexpr int kSnapshotCount = 200;  // 1800 files in all

/// `file` read by libspectrum as `from` and written by it as `to`.
Bytes Rewrite(const Bytes& file, libspectrum_id_t from, libspectrum_id_t to, int flags = 0) {
  libspectrum_snap* snap = libspectrum_snap_alloc();
  EXPECT_EQ(libspectrum_snap_read(snap, file.data(), file.size(), from, nullptr),
            LIBSPECTRUM_ERROR_NONE);
  EXPECT_EQ(libspectrum_snap_machine(snap), LIBSPECTRUM_MACHINE_48);
  libspectrum_byte* buffer = nullptr;
  size_t length = 0;
  int out_flags = 0;
  EXPECT_EQ(libspectrum_snap_write(&buffer, &length, &out_flags, snap, to, nullptr, flags),
            LIBSPECTRUM_ERROR_NONE);
  libspectrum_snap_free(snap);
  EXPECT_EQ(out_flags & LIBSPECTRUM_FLAG_SNAPSHOT_MAJOR_INFO_LOSS, 0);
  Bytes written(buffer, buffer + length);
  libspectrum_free(buffer);
  return written;
}

void ExpectSame(const SnapshotState& actual, const SnapshotState& expected) {
  EXPECT_EQ(SnapshotRegisterDifferences(actual, expected), "");
  EXPECT_TRUE(actual.Memory == expected.Memory);
}

TEST(LibspectrumCheckTest, OurReadersAndLibspectrumAgree) {
  static const bool initialised = libspectrum_init() == LIBSPECTRUM_ERROR_NONE;
  ASSERT_TRUE(initialised);
  std::mt19937 random(2024);
  ScriptedHost host("/nonexistent");
  for (int index = 0; index < kSnapshotCount; ++index) {
    SCOPED_TRACE("snapshot " + std::to_string(index));
    SnapshotState original = RandomSnapshot(random);
    for (const std::size_t last : {0x3FFF, 0x7FFF, 0xBFFF})  // a lone 0xED ends each page
      if (index % 4 == 0) std::ranges::copy(Bytes{0x00, 0xED}, original.Memory.begin() + last - 1);
    // An SNA file holds PC on the stack only; libspectrum takes it from there and puts it back.
    SnapshotState pushed = original;
    pushed.SP -= 2;
    pushed.Memory[pushed.SP - 0x4000] = static_cast<std::uint8_t>(original.PC & 0xFF);
    pushed.Memory[pushed.SP - 0x4000 + 1] = static_cast<std::uint8_t>(original.PC >> 8);
    const Bytes sna = MakeSnaFile(pushed);
    SnapshotState state;
    state.PC = original.PC;
    ASSERT_TRUE(ReadSnaSnapshot(
        Rewrite(sna, LIBSPECTRUM_ID_SNAPSHOT_SNA, LIBSPECTRUM_ID_SNAPSHOT_SNA), state));
    ExpectSame(state, pushed);
    SnapshotState resumed = pushed;  // the machine as it runs, PC off the stack
    resumed.SP = original.SP;
    for (const int flags : {0, LIBSPECTRUM_FLAG_SNAPSHOT_NO_COMPRESSION}) {
      const Bytes z80 =
          Rewrite(sna, LIBSPECTRUM_ID_SNAPSHOT_SNA, LIBSPECTRUM_ID_SNAPSHOT_Z80, flags);
      ASSERT_TRUE(ReadZ80Snapshot(z80, state, host)) << flags;
      ExpectSame(state, resumed);
    }

    std::vector<int> order = {8, 4, 5};
    std::shuffle(order.begin(), order.end(), random);
    const bool compressed = index % 2 == 0;
    const std::pair<const char*, Bytes> files[] = {
        {"version 1 raw", MakeZ80FileVersion1(original, false)},
        {"version 1 compressed", MakeZ80FileVersion1(original, true)},
        {"version 2", MakeZ80FilePaged(original, 23, compressed, order)},
        {"version 3, L = 54", MakeZ80FilePaged(original, 54, !compressed, order)},
        {"version 3, L = 55", MakeZ80FilePaged(original, 55, compressed, order)},
    };
    for (const auto& [what, file] : files) {
      SCOPED_TRACE(what);
      const Bytes theirs = Rewrite(file, LIBSPECTRUM_ID_SNAPSHOT_Z80, LIBSPECTRUM_ID_SNAPSHOT_Z80,
                                   LIBSPECTRUM_FLAG_SNAPSHOT_NO_COMPRESSION);
      for (const Bytes& read : {file, theirs}) {
        SnapshotState state;
        ASSERT_TRUE(ReadZ80Snapshot(read, state, host));
        ExpectSame(state, original);
      }
    }
  }
}

TEST(SzxSnapshotTest, ReadsWhatLibspectrumWroteAndARefusedFileChangesNothing) {
  std::mt19937 random(1982);
  for (int index = 0; index < 40; ++index) {
    SCOPED_TRACE("snapshot " + std::to_string(index));
    const SnapshotState original = RandomSnapshot(random);
    // The NTSC 48K has the same memory and ROM; IFF2 apart from IFF1 is dropped.
    const auto machine = index % 2 ? LIBSPECTRUM_MACHINE_48_NTSC : LIBSPECTRUM_MACHINE_48;
    const Bytes file = MakeSzxFile(original, machine, {5, 2, 0}, [&](libspectrum_snap* snap) {
      libspectrum_snap_set_iff2(snap, index % 3 == 0);
    });
    SnapshotState state = MakeBusySnapshot();
    ParseSzxSnapshot(file, state);
    ExpectSame(state, original);
  }
  const SnapshotState before = MakeBusySnapshot(7);
  for (const Bytes& file :
       {MakeSzxFile(MakeBusySnapshot(), LIBSPECTRUM_MACHINE_48, {5, 0}),
        MakeSzxFile(MakeBusySnapshot(), LIBSPECTRUM_MACHINE_PLUS3, {0, 1, 2, 3, 4, 5, 6, 7})}) {
    SnapshotState state = before;
    EXPECT_THROW(ParseSzxSnapshot(file, state), LoadRefusal);
    ExpectSame(state, before);
  }
}

// GAME.SZX is converted as the Z80 file of the same snapshot is.
TEST(SzxSnapshotTest, ConvertsToTheImageOfTheSameZ80Snapshot) {
  TempDir folder;
  folder.Write("SPECTRUM_ROM.bin", MakeRomImage(0x3FFF, {{0, 0xF3}}));
  const SnapshotState state = MakeBusySnapshot();
  Bytes images[2];
  for (int szx = 0; szx < 2; ++szx) {
    ScriptedHost host(folder.path());
    CartridgeMaker maker;
    SpectrumProcessing spectrum(host, maker);
    const std::string name = szx ? "GAME.SZX" : "GAME.Z80";
    ASSERT_TRUE(spectrum.LoadSnapshot(
        folder.Write(name, szx ? MakeSzxFile(state) : MakeZ80FilePaged(state, 54, true))));
    std::int32_t ram_size = 49152;
    ASSERT_TRUE(spectrum.GenerateSpectrumCartridge(name, ram_size));
    images[szx] = ReadFileBytes(folder / "GAME.bin");
  }
  EXPECT_TRUE(images[0] == images[1]);
}

}  // namespace
}  // namespace quillfen
