// SPDX-License-Identifier: GPL-3.0-or-later
#include "snapshot_reader_fuzzer.h"

#include <algorithm>
#include <array>
#include <string>

#include "fuzz_support.h"
#include "spectrum/spectrum_processing.h"

using namespace quillfen;
using namespace quillfen::fuzz;

namespace {

constexpr std::array<const char*, 3> kSnaNames = {"GAME.SNA", "game.sna", "GAME.snap"};
constexpr std::array<const char*, 3> kZ80Names = {"GAME.Z80", "game.z80", "GAME.Z80 "};
constexpr std::array<const char*, 3> kSzxNames = {"GAME.SZX", "game.szx", "GAME.SZX.gz"};
constexpr std::size_t kSnaHeaderLength = 27;
constexpr std::size_t kZ80HeaderLength = 30;

// What a successful read of `file` under `name`, one of `names`, promises.
void CheckRead(const SpectrumProcessing& spectrum, const std::string& name,
               std::span<const std::uint8_t> file, const std::array<const char*, 3>& names,
               SnapshotFormat format) {
  Require(name == names[0] || name == names[1], "only SNA, Z80 and SZX names are read");
  const SnapshotState& state = spectrum.State();
  const Bytes& memory = state.Memory;
  Require(memory.size() == 0xC000, "a loaded snapshot holds 48K of RAM");
  if (format == SnapshotFormat::kSna) {
    Require(file.size() == kSnaHeaderLength + 0xC000 || file.size() == kSnaHeaderLength + 0xC001,
            "an SNA file is 49179 or 49180 bytes long");
    Require(std::equal(memory.begin(), memory.end(), file.begin() + kSnaHeaderLength),
            "SNA RAM is the file after its header");
  } else if (format == SnapshotFormat::kZ80) {
    Require(file.size() >= kZ80HeaderLength, "a Z80 file holds its header");
  } else {
    Require(file.size() >= 4 && std::equal(file.begin(), file.begin() + 4, "ZXST"),
            "an SZX file starts with its signature");
    Require(state.InterruptMode >= 0 && state.InterruptMode <= 0xFF, "IM is a byte");
  }
  for (const std::int32_t pair :
       {state.AF, state.BC, state.DE, state.HL, state.IX, state.IY, state.AFAlt, state.BCAlt,
        state.DEAlt, state.HLAlt, state.PC, state.SP})
    Require(pair >= 0 && pair <= 0xFFFF, "register pairs are 16-bit values");
  Require(state.I >= 0 && state.I <= 0xFF && state.R >= 0 && state.R <= 0xFF, "I and R are bytes");
  Require(state.BorderColour >= 0 && state.BorderColour <= 7, "the border colour is 0 to 7");
}

}  // namespace

int FuzzSnapshotReader(const std::uint8_t* data, std::size_t size, SnapshotFormat format) {
  const auto& names = format == SnapshotFormat::kSna   ? kSnaNames
                      : format == SnapshotFormat::kZ80 ? kZ80Names
                                                       : kSzxNames;
  return FuzzReader(
      data, size, names, &SpectrumProcessing::LoadSnapshot,
      [&](const SpectrumProcessing& spectrum, const std::string& name,
          std::span<const std::uint8_t> file) { CheckRead(spectrum, name, file, names, format); });
}
