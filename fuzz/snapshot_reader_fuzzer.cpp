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
constexpr std::size_t kSnaHeaderLength = 27;
constexpr std::size_t kZ80HeaderLength = 30;

// What a successful read of `file` under `name`, one of `names`, promises.
void CheckRead(const SpectrumProcessing& spectrum, const std::string& name,
               std::span<const std::uint8_t> file, const std::array<const char*, 3>& names,
               bool sna) {
  Require(name == names[0] || name == names[1], "only SNA and Z80 names are read");
  const Bytes& memory = spectrum.State().Memory;
  Require(memory.size() == 0xC000, "a loaded snapshot holds 48K of RAM");
  if (sna) {
    Require(file.size() == kSnaHeaderLength + 0xC000 || file.size() == kSnaHeaderLength + 0xC001,
            "an SNA file is 49179 or 49180 bytes long");
    Require(std::equal(memory.begin(), memory.end(), file.begin() + kSnaHeaderLength),
            "SNA RAM is the file after its header");
  } else {
    Require(file.size() >= kZ80HeaderLength, "a Z80 file holds its header");
  }
  const SnapshotState& state = spectrum.State();
  for (const std::int32_t pair :
       {state.AF, state.BC, state.DE, state.HL, state.IX, state.IY, state.AFAlt, state.BCAlt,
        state.DEAlt, state.HLAlt, state.PC, state.SP})
    Require(pair >= 0 && pair <= 0xFFFF, "register pairs are 16-bit values");
  Require(state.I >= 0 && state.I <= 0xFF && state.R >= 0 && state.R <= 0xFF, "I and R are bytes");
  Require(state.BorderColour >= 0 && state.BorderColour <= 7, "the border colour is 0 to 7");
}

}  // namespace

int FuzzSnapshotReader(const std::uint8_t* data, std::size_t size, bool sna) {
  const auto& names = sna ? kSnaNames : kZ80Names;
  return FuzzReader(
      data, size, names, &SpectrumProcessing::LoadSnapshot,
      [&](const SpectrumProcessing& spectrum, const std::string& name,
          std::span<const std::uint8_t> file) { CheckRead(spectrum, name, file, names, sna); });
}
