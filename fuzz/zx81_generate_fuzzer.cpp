// SPDX-License-Identifier: GPL-3.0-or-later
// The whole ZX81 path: a program file read by LoadZX81Program, then GenerateZX81Cartridge with
// a stand-in ROM image, RAM size and auto-run chosen by the input.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "zx81/zx81_processing.h"

using namespace quillfen;
using namespace quillfen::fuzz;

namespace {

constexpr std::array<const char*, 3> kNames = {"GAME.P", "game.81", "GAME.P81"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string name = kNames[input.Byte() % kNames.size()];
  WriteFuzzRom(input, "ZX81_ROM.bin", 0x000A, 0x40);
  ProgramChoices choices = ProgramChoicesFrom(input.Byte());

  FuzzHost host(Host::Answer::Yes);
  CartridgeMaker maker;
  ZX81Processing zx81(host, maker);
  const auto generated = LoadAndGenerate(
      input, name, [&](const auto& path) { return zx81.LoadZX81Program(path); },
      [&](const std::string& upper_name) {
        return zx81.GenerateZX81Cartridge(upper_name, choices.ram_size, choices.auto_run);
      },
      maker, {0x8000});
  if (generated) Require(host.questions() == 0, "the ZX81 converter asks no size question");
  return 0;
}
