// The whole Spectrum path: an SNA or Z80 snapshot read by LoadSnapshot, then
// GenerateSpectrumCartridge with a stand-in ROM image and a size answer chosen by the input.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cartridge/error.h"
#include "cartridge/file_names.h"
#include "fuzz_support.h"
#include "spectrum/spectrum_processing.h"

using namespace quillfen;
using namespace quillfen::fuzz;

namespace {

constexpr std::array<const char*, 4> kNames = {"GAME.SNA", "game.z80", "game.sna", "GAME.Z80"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string name = kNames[input.Byte() % kNames.size()];
  WriteFuzzRom(input, "SPECTRUM_ROM.bin", 0, 0xF3);
  const Host::Answer answer = AnswerFrom(input.Byte());
  const auto path = WriteWorkspaceFile(name, input.Rest());
  WriteEarlierImage();

  FuzzHost host(answer);
  CartridgeMaker maker;
  SpectrumProcessing spectrum(host, maker);
  const bool loaded = spectrum.LoadSnapshot(path);
  RemoveWorkspaceFile(name);
  if (!loaded) return 0;

  bool generated = false;
  std::int32_t ram_size = 49152;
  try {
    generated = spectrum.GenerateSpectrumCartridge(ToUpperAscii(name), ram_size);
  } catch (const Error&) {
    // Errors outside the builders pass to the generation driver, which shows "Error!".
  }
  Require(host.questions() <= 1, "at most one size question");
  CheckGeneration(generated, maker.CartridgeImage(), {0x10000});
  return 0;
}
