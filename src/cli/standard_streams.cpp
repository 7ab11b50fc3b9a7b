// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/standard_streams.h"

#include <algorithm>
#include <string_view>

#include "cartridge/bytes.h"
#include "cartridge/cartridge_maker.h"

namespace quillfen {
namespace {

constexpr std::size_t kSnaFileLength = 49179;  // 27-byte header and 48K of RAM
constexpr std::string_view kSzxSignature = "ZXST";

}  // namespace

std::string StandardInputName(Machine machine, std::span<const std::uint8_t> content) {
  switch (machine) {
    case Machine::ZX80:
      return "STDIN.O";
    case Machine::ZX81:
      return "STDIN.P";
    case Machine::Spectrum:
      break;
  }
  if (content.size() >= kSzxSignature.size() &&
      std::equal(kSzxSignature.begin(), kSzxSignature.end(), content.begin()))
    return "STDIN.SZX";
  return content.size() == kSnaFileLength ? "STDIN.SNA" : "STDIN.Z80";
}

std::filesystem::path CopyStandardInput(std::istream& in, Machine machine,
                                        const PrivateFolder& folder, std::string& error) {
  // One byte more than the limit tells a file at the limit from a larger one.
  Bytes content(kLargestReadableFile + 1);
  in.read(reinterpret_cast<char*>(content.data()), static_cast<std::streamsize>(content.size()));
  if (in.bad()) {
    error = "standard input cannot be read";
    return {};
  }
  content.resize(static_cast<std::size_t>(in.gcount()));
  if (content.size() > kLargestReadableFile) {
    error = "standard input holds more than " + std::to_string(kLargestReadableFile) + " bytes";
    return {};
  }
  const std::filesystem::path copy = folder / StandardInputName(machine, content);
  if (!WriteFileAtomically(content, copy, error)) return {};
  return copy;
}

bool CopyImageToStandardOutput(const std::filesystem::path& image, std::ostream& out,
                               std::string& error) {
  Bytes bytes;
  if (!ReadWholeFile(bytes, image, error)) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.flush();
  if (out) return true;
  error = "writing to standard output failed";
  return false;
}

}  // namespace quillfen
