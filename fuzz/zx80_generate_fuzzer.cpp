// SPDX-License-Identifier: GPL-3.0-or-later
// The whole ZX80 path: a program file read by LoadZX80Program, then GenerateZX80Cartridge with
// a stand-in ROM image, RAM size, auto-run and size answer chosen by the input.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "zx80/zx80_processing.h"

using namespace quillfen;
using namespace quillfen::fuzz;

namespace {

constexpr std::array<const char*, 3> kNames = {"GAME.O", "game.80", "GAME.P80"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string name = kNames[input.Byte() % kNames.size()];
  WriteFuzzRom(input, "ZX80_ROM.bin", 10, 0xFD);
  const std::uint8_t choice = input.Byte();
  ProgramChoices choices = ProgramChoicesFrom(choice);

  FuzzHost host(AnswerFrom(choice >> 3));
  CartridgeMaker maker;
  ZX80Processing zx80(host, maker);
  const auto generated = LoadAndGenerate(
      input, name, [&](const auto& path) { return zx80.LoadZX80Program(path); },
      [&](const std::string& upper_name) {
        return zx80.GenerateZX80Cartridge(upper_name, choices.ram_size, choices.auto_run);
      },
      maker, {0x4000, 0x8000});
  if (!generated) return 0;
  Require(host.questions() <= 1, "at most one size question");
  Require(!*generated || host.questions() == 1 || maker.CartridgeImage().size() == 0x8000,
          "a 16K cartridge is made only after the question");
  return 0;
}
