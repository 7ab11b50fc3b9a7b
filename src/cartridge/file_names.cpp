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

std::string OutputNameFor(std::string_view file_name) {
  const auto point = file_name.rfind('.');
  if (point == std::string_view::npos)
    ThrowError("OutputNameFor: \"" + std::string(file_name) + "\" has no extension to replace");
  return std::string(file_name.substr(0, point)) + ".bin";
}

std::string BareFileName(std::string_view path) {
  const auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace quillfen
