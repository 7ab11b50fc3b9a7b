// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed corpora of the fuzz targets: valid files of every format variant, made by the
// test builders, each behind the choice bytes its target reads first.
// Usage: quillfen_fuzz_seeds FOLDER  (writes FOLDER/<target>/<seed>)
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "cartridge/bytes.h"
#include "spectrum/snapshot_state.h"
#include "support/snapshot_files.h"
#include "support/szx_files.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"

using namespace quillfen;
using namespace quillfen::testing;

namespace {

void WriteSeed(const std::filesystem::path& folder, const std::string& target,
               const std::string& seed, const Bytes& prefix, const Bytes& file) {
  std::filesystem::create_directories(folder / target);
  std::ofstream out(folder / target / seed, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(prefix.data()),
            static_cast<std::streamsize>(prefix.size()));
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

// The choice bytes of WriteFuzzRom: a 16384-byte image whose used part ends at `last_used`.
Bytes RomChoice(std::uint16_t last_used) {
  return {0x04, static_cast<std::uint8_t>(last_used & 0xFF),
          static_cast<std::uint8_t>(last_used >> 8)};
}

Bytes Join(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A snapshot whose RAM is mostly zeros (so that it packs small) with a few stretches of code-like
// bytes, an 0xED here and there, and a free area the 48K cartridge can use; its registers all
// hold distinct values.
SnapshotState SeedSnapshot() {
  SnapshotState state = MakeBusySnapshot();
  state.Memory.assign(kSnapshotRamLength, 0);
  std::mt19937 random(81);
  for (std::size_t base : {0x0000u, 0x1B00u, 0x1C00u, 0x5000u, 0x9000u})
    for (std::size_t k = 0; k < 0x100; ++k)
      state.Memory[base + k] = static_cast<std::uint8_t>(random());
  state.Memory[0x2000] = 0xED;
  state.Memory[0x2001] = 0xED;
  state.Memory[0x3000] = 0xED;
  state.Memory[0x3001] = 0x01;
  state.PC = 0x8000;
  state.SP = 0xFF00;
  return state;
}

void ZX81Seeds(const std::filesystem::path& folder) {
  const Bytes small = MakeZX81Program(200, 0x407D);  // a line waiting to run
  Bytes quiet = MakeZX81Program(160, 0x4009 + 150);  // NXTLIN at the display file
  quiet[150] = 0x76;
  const Bytes name = {0x2C, 0x26, 0xA6};  // "GAME" shortened, last byte with bit 7 set
  Bytes trailing = small;
  trailing.resize(small.size() + 20, 0x55);  // bytes beyond E_LINE are dropped
  WriteSeed(folder, "zx81_reader", "p", {0}, small);
  WriteSeed(folder, "zx81_reader", "81_trailing", {1}, trailing);
  WriteSeed(folder, "zx81_reader", "p81", {2}, MakeZX81P81File(name, quiet));

  WriteSeed(folder, "zx81_generate", "p_1k", Join({0}, Join(RomChoice(8191), {0x00})), small);
  WriteSeed(folder, "zx81_generate", "p81_16k_autorun", Join({2}, Join(RomChoice(12000), {0x07})),
            MakeZX81P81File(name, quiet));
  // Long enough that its tail goes into bank 1 behind the ROM image.
  WriteSeed(folder, "zx81_generate", "p_split", Join({0}, Join(RomChoice(8191), {0x03})),
            MakeZX81Program(16600, 0x407D));
}

void ZX80Seeds(const std::filesystem::path& folder) {
  const Bytes small = MakeZX80Program(120);
  WriteSeed(folder, "zx80_reader", "o", {0}, small);
  WriteSeed(folder, "zx80_reader", "80_trailing", {1}, MakeZX80Program(60, 30, 2));
  WriteSeed(folder, "zx80_reader", "p80_minimal", {2}, MakeZX80Program(40, 0, 3));

  // choices: RAM size (bits 0-1), auto-run (bit 2), answer (bits 3 up: 0 Yes, 1 No).
  WriteSeed(folder, "zx80_generate", "o_16k_yes", Join({0}, Join(RomChoice(4095), {0x00})), small);
  WriteSeed(folder, "zx80_generate", "80_32k_no", Join({1}, Join(RomChoice(6000), {0x0F})), small);
  // Long enough that its tail goes into bank 1; a repeated fill so that it packs small.
  Bytes split = MakeZX80Program(40, 0, 4);
  split.resize(16500, 0x3C);
  StoreWord(split, 10, static_cast<std::uint16_t>(0x4000 + split.size()));  // E_LINE
  WriteSeed(folder, "zx80_generate", "o_split", Join({0}, Join(RomChoice(4095), {0x0B})), split);
}

void SnapshotSeeds(const std::filesystem::path& folder) {
  const SnapshotState state = SeedSnapshot();
  SnapshotState paged = state;
  paged.PC = 0x6000;
  const Bytes sna = MakeSnaFile(state);
  WriteSeed(folder, "sna_reader", "sna", {0}, sna);
  WriteSeed(folder, "sna_reader", "sna_one_more", {1}, Join(sna, {0x00}));

  WriteSeed(folder, "z80_reader", "v1_compressed", {0}, MakeZ80FileVersion1(state, true));
  WriteSeed(folder, "z80_reader", "v1_plain", {1}, MakeZ80FileVersion1(state, false));
  WriteSeed(folder, "z80_reader", "v2", {0}, MakeZ80FilePaged(paged, 23, true));
  WriteSeed(folder, "z80_reader", "v3_54_reordered", {0},
            MakeZ80FilePaged(paged, 54, true, {5, 4, 8}));
  Bytes with_ignored = MakeZ80FilePaged(paged, 55, true);
  AppendZ80Block(with_ignored, 11, Bytes(16, 0x11), true);
  WriteSeed(folder, "z80_reader", "v3_55_page11", {1}, with_ignored);

  const Bytes szx = MakeSzxFile(state);
  WriteSeed(folder, "szx_reader", "szx", {0}, szx);
  WriteSeed(folder, "szx_reader", "szx_ntsc", {1}, MakeSzxFile(state, LIBSPECTRUM_MACHINE_48_NTSC));
  WriteSeed(folder, "szx_reader", "szx_128k", {0},
            MakeSzxFile(state, LIBSPECTRUM_MACHINE_128, {0, 1, 2, 3, 4, 5, 6, 7}));
  WriteSeed(folder, "szx_reader", "szx_16k", {0}, MakeSzxFile(state, LIBSPECTRUM_MACHINE_16, {5}));

  // answer byte: 0 Yes (48K cartridge where a free area exists), 1 No (64K).
  const Bytes rom = RomChoice(0x3FFF);
  WriteSeed(folder, "spectrum_generate", "sna_64k", Join({0}, Join(rom, {0x01})), sna);
  WriteSeed(folder, "spectrum_generate", "z80_v1_48k", Join({1}, Join(rom, {0x00})),
            MakeZ80FileVersion1(state, true));
  WriteSeed(folder, "spectrum_generate", "z80_v3_64k", Join({3}, Join(rom, {0x01})),
            MakeZ80FilePaged(paged, 54, true));
  WriteSeed(folder, "spectrum_generate", "szx_48k", Join({5}, Join(rom, {0x00})), szx);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  ZX81Seeds(folder);
  ZX80Seeds(folder);
  SnapshotSeeds(folder);
  return 0;
}
