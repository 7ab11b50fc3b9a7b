// SPDX-License-Identifier: GPL-3.0-or-later
// The whole Spectrum path: an SNA, Z80 or SZX snapshot read by LoadSnapshot, then
// GenerateSpectrumCartridge with a stand-in ROM image and a size answer chosen by the input.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "spectrum/spectrum_processing.h"

using namespace quillfen;
using namespace quillfen::fuzz;

namespace {

constexpr std::array<const char*, 6> kNames = {"GAME.SNA", "game.z80", "game.sna",
                                               "GAME.Z80", "game.szx", "GAME.SZX"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string name = kNames[input.Byte() % kNames.size()];
  WriteFuzzRom(input, "SPECTRUM_ROM.bin", 0, 0xF3);

  FuzzHost host(AnswerFrom(input.Byte()));
  CartridgeMaker maker;
  SpectrumProcessing spectrum(host, maker);
  std::int32_t ram_size = 49152;
  const auto generated = LoadAndGenerate(
      input, name, [&](const auto& path) { return spectrum.LoadSnapshot(path); },
      [&](const std::string& upper_name) {
        return spectrum.GenerateSpectrumCartridge(upper_name, ram_size);
      },
      maker, {0x10000});
  if (generated) Require(host.questions() <= 1, "at most one size question");
  return 0;
}
