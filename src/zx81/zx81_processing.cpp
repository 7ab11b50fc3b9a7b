// SPDX-License-Identifier: GPL-3.0-or-later
#include "zx81/zx81_processing.h"

#include <algorithm>

#include "cartridge/file_names.h"
#include "cartridge/load_failure.h"
#include "zx81/zx81_program_file.h"

// Reading ZX81 program files. The cartridge is built in zx81_cartridge.cpp.
namespace quillfen {

bool ZX81Processing::LoadZX81Program(const std::filesystem::path& path) {
  return LoadRecordingFailure([&] {
    const std::string extension = ExtensionOf(path.string());
    if (!zx81::IsZX81Extension(extension))
      Refuse(LoadFailureKind::kWrongExtension, zx81::kMachine.WrongExtensionText());
    ReadProgramFile(zx81_program_, path);
    if (extension == "P81" && !SkipZX81ProgramName())
      Refuse(LoadFailureKind::kNoProgramName,
             "no program name: no byte with bit 7 set ends one in the first " +
                 std::to_string(std::min(zx81_program_.size(), zx81::kLongestProgramName)) +
                 " bytes");
    // E_LINE is a plain 16-bit address: no program reaches past it.
    CheckProgramImage(zx81_program_, {zx81::kSystemVariablesLength, zx81::kELineOffset,
                                      zx81::kImageStart, 0xFFFF});
    TrimZX81Program();
  });
}

// A .P81 file starts with the program's name, whose last character has bit 7 set.
bool ZX81Processing::SkipZX81ProgramName() {
  const auto searched = std::min(zx81_program_.size(), zx81::kLongestProgramName);
  const auto end = zx81_program_.begin() + static_cast<std::ptrdiff_t>(searched);
  const auto last =
      std::find_if(zx81_program_.begin(), end, [](std::uint8_t b) { return b >= 0x80; });
  if (last == end) return false;
  zx81_program_.erase(zx81_program_.begin(), last + 1);
  return true;
}

bool ZX81Processing::ZX81ProgramIsValid() const {
  if (zx81_program_.size() < zx81::kSystemVariablesLength) return false;
  return static_cast<std::int64_t>(zx81_program_.size()) >= ZX81DeclaredLength();
}

std::int32_t ZX81Processing::ZX81DeclaredLength() const {
  return static_cast<std::int32_t>(WordAt(zx81_program_, zx81::kELineOffset)) - zx81::kImageStart;
}

std::int32_t ZX81Processing::ZX81ProgramLength() const {
  return ZX81ProgramIsValid() ? ZX81DeclaredLength() : 0;
}

void ZX81Processing::TrimZX81Program() {
  const std::int32_t length = ZX81ProgramLength();
  if (length < 0)
    ThrowError("TrimZX81Program: E_LINE lies " + std::to_string(-length) +
               " bytes below the program image");
  zx81_program_.resize(static_cast<std::size_t>(length));
}

bool ZX81Processing::ZX81ProgramAutoRuns() const {
  const std::uint16_t nxtlin = WordAt(zx81_program_, zx81::kNxtLinOffset);
  if (nxtlin == 0) return false;
  if (nxtlin < zx81::kImageStart)
    ThrowError("ZX81ProgramAutoRuns: NXTLIN " + std::to_string(nxtlin) +
               " lies below the program image");
  // NXTLIN at a newline means the display file follows directly: no line is waiting to run.
  // An address beyond the image is taken as a line waiting to run.
  const std::size_t offset = nxtlin - zx81::kImageStart;
  return offset >= zx81_program_.size() || zx81_program_[offset] != zx81::kNewLine;
}

}  // namespace quillfen
