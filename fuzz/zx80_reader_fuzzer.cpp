// SPDX-License-Identifier: GPL-3.0-or-later
// LoadZX80Program on arbitrary bytes under .O, .80 and .P80 names (and names it must refuse).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

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

// What a successful read promises.
void CheckRead(const ZX80Processing& zx80, const std::string& name,
               std::span<const std::uint8_t> file) {
  const std::string extension = ExtensionOf(name);
  Require(extension == "O" || extension == "80" || extension == "P80", "extension accepted");
  CheckProgramImage(file, zx80.ZX80Program(), zx80.ZX80ProgramLength(), kImageStart, kELineOffset,
                    kSystemVariablesLength);
  Require(WordAt(file, kELineOffset) < 0x8000, "E_LINE is a 16-bit signed value");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzReader(data, size, kNames, &ZX80Processing::LoadZX80Program, CheckRead);
}
