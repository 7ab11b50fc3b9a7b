// The whole ZX81 path: a program file read by LoadZX81Program, then GenerateZX81Cartridge with
// a stand-in ROM image, RAM size and auto-run chosen by the input.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cartridge/error.h"
#include "cartridge/file_names.h"
#include "fuzz_support.h"
#include "zx81/zx81_processing.h"

using namespace quillfen;
using namespace quillfen::fuzz;

namespace {

constexpr std::array<const char*, 3> kNames = {"GAME.P", "game.81", "GAME.P81"};
constexpr std::array<std::int32_t, 4> kRamSizes = {1024, 3072, 4096, 16384};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string name = kNames[input.Byte() % kNames.size()];
  WriteFuzzRom(input, "ZX81_ROM.bin", 0x000A, 0x40);
  const std::uint8_t choices = input.Byte();
  std::int32_t ram_size = kRamSizes[choices % kRamSizes.size()];
  const std::int16_t auto_run = (choices >> 2) & 1;
  const auto path = WriteWorkspaceFile(name, input.Rest());
  WriteEarlierImage();

  FuzzHost host(Host::Answer::Yes);
  CartridgeMaker maker;
  ZX81Processing zx81(host, maker);
  const bool loaded = zx81.LoadZX81Program(path);
  RemoveWorkspaceFile(name);
  if (!loaded) return 0;

  bool generated = false;
  try {
    generated = zx81.GenerateZX81Cartridge(ToUpperAscii(name), ram_size, auto_run);
  } catch (const Error&) {
    // Errors outside the build pass to the generation driver, which shows "Error!".
  }
  Require(host.questions() == 0, "the ZX81 converter asks no size question");
  CheckGeneration(generated, maker.CartridgeImage(), {0x8000});
  return 0;
}
