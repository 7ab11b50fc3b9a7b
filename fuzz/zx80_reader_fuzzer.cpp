// LoadZX80Program on arbitrary bytes under .O, .80 and .P80 names (and names it must refuse).
#include <algorithm>
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

constexpr std::array<const char*, 6> kNames = {"GAME.O", "game.80", "GAME.P80",
                                               "game.o", "GAME.P",  "GAME"};
constexpr std::size_t kImageStart = 0x4000;
constexpr std::size_t kELineOffset = 10;
constexpr std::size_t kSystemVariablesLength = 40;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string name = kNames[input.Byte() % kNames.size()];
  const auto file = input.Rest();
  const auto path = WriteWorkspaceFile(name, file);

  FuzzHost host(Host::Answer::Yes);
  CartridgeMaker maker;
  ZX80Processing zx80(host, maker);
  if (!zx80.LoadZX80Program(path)) return 0;

  const std::string extension = ExtensionOf(name);
  Require(extension == "O" || extension == "80" || extension == "P80", "extension accepted");
  const Bytes& program = zx80.ZX80Program();
  Require(file.size() >= kSystemVariablesLength, "the file holds the system variables");
  const std::size_t e_line = WordAt(file, kELineOffset);
  Require(e_line >= kImageStart && e_line < 0x8000 && program.size() == e_line - kImageStart,
          "the image is cut at E_LINE");
  Require(std::equal(program.begin(), program.end(), file.begin()), "the image is the file");
  Require(zx80.ZX80ProgramLength() == (program.size() >= kSystemVariablesLength
                                           ? static_cast<std::int16_t>(program.size())
                                           : 0),
          "ZX80ProgramLength matches the image");
  return 0;
}
