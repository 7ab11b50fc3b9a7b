// The whole ZX80 path: a program file read by LoadZX80Program, then GenerateZX80Cartridge with
// a stand-in ROM image, RAM size, auto-run and size answer chosen by the input.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cartridge/error.h"
#include "cartridge/file_names.h"
#include "fuzz_support.h"
#include "zx80/zx80_processing.h"

using namespace quillfen;
using namespace quillfen::fuzz;

namespace {

constexpr std::array<const char*, 3> kNames = {"GAME.O", "game.80", "GAME.P80"};
constexpr std::array<std::int32_t, 4> kRamSizes = {1024, 3072, 4096, 16384};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string name = kNames[input.Byte() % kNames.size()];
  WriteFuzzRom(input, "ZX80_ROM.bin", 10, 0xFD);
  const std::uint8_t choices = input.Byte();
  std::int32_t ram_size = kRamSizes[choices % kRamSizes.size()];
  const std::int16_t auto_run = (choices >> 2) & 1;
  const Host::Answer answer = AnswerFrom(choices >> 3);
  const auto path = WriteWorkspaceFile(name, input.Rest());
  WriteEarlierImage();

  FuzzHost host(answer);
  CartridgeMaker maker;
  ZX80Processing zx80(host, maker);
  const bool loaded = zx80.LoadZX80Program(path);
  RemoveWorkspaceFile(name);
  if (!loaded) return 0;

  bool generated = false;
  try {
    generated = zx80.GenerateZX80Cartridge(ToUpperAscii(name), ram_size, auto_run);
  } catch (const Error&) {
    // Errors outside the builds pass to the generation driver, which shows "Error!".
  }
  Require(host.questions() <= 1, "at most one size question");
  Require(!generated || host.questions() == 1 || maker.CartridgeImage().size() == 0x8000,
          "a 16K cartridge is made only after the question");
  CheckGeneration(generated, maker.CartridgeImage(), {0x4000, 0x8000});
  return 0;
}
