// LoadZX81Program on arbitrary bytes under .P, .81 and .P81 names (and names it must refuse).
#include <algorithm>
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

constexpr std::array<const char*, 7> kNames = {"GAME.P",   "game.81", "GAME.P81", "game.p81",
                                               "GAME.P82", "GAME",    "MY.GAME.p"};
constexpr std::size_t kImageStart = 0x4009;
constexpr std::size_t kELineOffset = 11;
constexpr std::size_t kSystemVariablesLength = 116;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string name = kNames[input.Byte() % kNames.size()];
  const auto file = input.Rest();
  const auto path = WriteWorkspaceFile(name, file);

  FuzzHost host(Host::Answer::Yes);
  CartridgeMaker maker;
  ZX81Processing zx81(host, maker);
  if (!zx81.LoadZX81Program(path)) return 0;

  const std::string extension = ExtensionOf(name);
  Require(extension == "P" || extension == "81" || extension == "P81", "extension accepted");
  // The image is the file after the name (for .P81), cut to E_LINE - 0x4009 bytes.
  auto image = file;
  if (extension == "P81") {
    const auto last =
        std::find_if(file.begin(), file.end(), [](std::uint8_t b) { return b >= 0x80; });
    Require(last != file.end(), "a .P81 name ends with a byte of 128 or more");
    image = file.subspan(static_cast<std::size_t>(last - file.begin()) + 1);
  }
  const Bytes& program = zx81.ZX81Program();
  Require(image.size() >= kSystemVariablesLength, "the file holds the system variables");
  const std::size_t e_line = WordAt(image, kELineOffset);
  Require(e_line >= kImageStart && program.size() == e_line - kImageStart,
          "the image is cut at E_LINE");
  Require(std::equal(program.begin(), program.end(), image.begin()), "the image is the file");
  Require(zx81.ZX81ProgramLength() == (program.size() >= kSystemVariablesLength
                                           ? static_cast<std::int32_t>(program.size())
                                           : 0),
          "ZX81ProgramLength matches the image");
  try {
    (void)zx81.ZX81ProgramAutoRuns();
  } catch (const Error&) {
    // NXTLIN below the image: the callers handle this error.
  }
  return 0;
}
