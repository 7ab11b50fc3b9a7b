// SPDX-License-Identifier: GPL-3.0-or-later
// SZX snapshots written by libspectrum: read back register by register and byte for byte, and
// converted to the very image the same snapshot as a Z80 file gives. tests/hostile has the
// refusals and their reasons.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "spectrum/spectrum_processing.h"
#include "spectrum/szx_format.h"
#include "support/rom_images.h"
#include "support/scripted_host.h"
#include "support/snapshot_files.h"
#include "support/szx_files.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using namespace quillfen::testing;

TEST(SzxSnapshotTest, ReadsWhatLibspectrumWrote) {
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
    EXPECT_EQ(SnapshotRegisterDifferences(state, original), "");
    EXPECT_TRUE(state.Memory == original.Memory);
  }
}

TEST(SzxSnapshotTest, ARefusedFileLeavesTheSnapshotAsItWas) {
  const SnapshotState before = MakeBusySnapshot(7);
  for (const Bytes& file :
       {MakeSzxFile(MakeBusySnapshot(), LIBSPECTRUM_MACHINE_48, {5, 0}),
        MakeSzxFile(MakeBusySnapshot(), LIBSPECTRUM_MACHINE_PLUS3, {0, 1, 2, 3, 4, 5, 6, 7})}) {
    SnapshotState state = before;
    EXPECT_THROW(ParseSzxSnapshot(file, state), LoadRefusal);
    EXPECT_EQ(SnapshotRegisterDifferences(state, before), "");
    EXPECT_TRUE(state.Memory == before.Memory);
  }
}

// GAME.SZX and GAME.Z80 of one snapshot: the same 64K image, and the same 48K one where the
// snapshot leaves an unused area.
TEST(SzxSnapshotTest, ConvertsToTheImageOfTheSameZ80Snapshot) {
  TempDir folder;
  folder.Write("SPECTRUM_ROM.bin", MakeRomImage(0x3FFF, {{0, 0xF3}}));
  SnapshotState unused_area = MakeBusySnapshot(3);
  ZeroRam(unused_area, 0xD000, 0xE000);
  for (const SnapshotState& state : {MakeBusySnapshot(), unused_area}) {
    Bytes images[2];
    for (int szx = 0; szx < 2; ++szx) {
      ScriptedHost host(folder.path());
      host.ScriptAnswer(Host::Answer::Yes);
      CartridgeMaker maker;
      SpectrumProcessing spectrum(host, maker);
      const std::string name = szx ? "GAME.SZX" : "GAME.Z80";
      ASSERT_TRUE(spectrum.LoadSnapshot(
          folder.Write(name, szx ? MakeSzxFile(state) : MakeZ80FilePaged(state, 54, true))));
      EXPECT_EQ(spectrum.Kind(), spectrum::SnapshotKind::kZ80);
      std::int32_t ram_size = 49152;
      ASSERT_TRUE(spectrum.GenerateSpectrumCartridge(name, ram_size));
      images[szx] = ReadFileBytes(folder / "GAME.bin");
    }
    EXPECT_EQ(images[0].size(), 0x10000u);
    EXPECT_TRUE(images[0] == images[1]);
  }
}

}  // namespace
}  // namespace quillfen
