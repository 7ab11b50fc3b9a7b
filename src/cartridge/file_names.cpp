// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/file_names.h"

#include "cartridge/error.h"

namespace quillfen {

std::string ToUpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

std::string ExtensionOf(std::string_view name) {
  const auto point = name.rfind('.');
  return ToUpperAscii(point == std::string_view::npos ? name : name.substr(point + 1));
}

namespace {

// Where the extension of `file_name` begins: its last ".". Throws for a name without one.
std::size_t ExtensionPoint(std::string_view file_name, const char* caller) {
  const auto point = file_name.rfind('.');
  if (point == std::string_view::npos)
    ThrowError(std::string(caller) + ": \"" + std::string(file_name) +
               "\" has no extension to replace");
  return point;
}

}  // namespace

std::string OutputNameFor(std::string_view file_name) {
  return std::string(file_name.substr(0, ExtensionPoint(file_name, "OutputNameFor"))) + ".bin";
}

std::string OutputNameKeepingExtension(std::string_view file_name) {
  std::string name(file_name);
  name[ExtensionPoint(file_name, "OutputNameKeepingExtension")] = '-';
  return name + ".bin";
}

std::string BareFileName(std::string_view path) {
  const auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace quillfen
