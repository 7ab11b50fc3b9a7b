// SPDX-License-Identifier: GPL-3.0-or-later
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

// What a successful read promises.
void CheckRead(const ZX81Processing& zx81, const std::string& name,
               std::span<const std::uint8_t> file) {
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
  CheckProgramImage(image, zx81.ZX81Program(), zx81.ZX81ProgramLength(), kImageStart, kELineOffset,
                    kSystemVariablesLength);
  try {
    (void)zx81.ZX81ProgramAutoRuns();
  } catch (const Error&) {
    // NXTLIN below the image: the callers handle this error.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzReader(data, size, kNames, &ZX81Processing::LoadZX81Program, CheckRead);
}
