// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/converter_files.h"

#include <cstdio>

#include "cartridge/file_names.h"
#include "cartridge/rom_folders.h"

namespace quillfen {
namespace {

std::string Hex(std::size_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*zX", digits, value);
  return text;
}

}  // namespace

std::optional<std::filesystem::path> ReadRomImageFile(Host& host, const std::string& file_name,
                                                      const std::string& unreadable_text,
                                                      Bytes& rom) {
  const std::vector<std::filesystem::path> folders = host.RomFolders();
  const std::optional<std::filesystem::path> path = FindRomFile(folders, file_name);
  if (!path) {
    host.ShowRomNotFound(unreadable_text, file_name, folders);
    return std::nullopt;
  }
  std::string reason;
  if (!ReadWholeFile(rom, *path, reason)) {
    host.ShowError(unreadable_text, path->string() + ": " + reason);
    return std::nullopt;
  }
  return path;
}

std::string RomImageFault(std::span<const std::uint8_t> rom, const std::filesystem::path& path,
                          std::string_view content, std::optional<RomMark> mark) {
  if (rom.size() != kBankSize)
    return path.string() + " holds " + std::to_string(rom.size()) + " bytes; " +
           std::to_string(kBankSize) + " are needed: " + std::string(content);
  if (mark && rom[mark->offset] != mark->value)
    return path.string() + " holds " + Hex(rom[mark->offset], 2) + " at " + Hex(mark->offset, 4) +
           ", where the cartridge waits for " + Hex(mark->value, 2) + ": it must be " +
           std::string(content);
  return "";
}

bool WriteCartridgeImageFile(Host& host, const CartridgeMaker& maker,
                             const std::string& file_name) {
  const std::filesystem::path path = host.OutputPath(OutputNameFor(file_name));
  std::string reason;
  if (maker.WriteCartridgeImage(path, reason)) return true;
  host.ShowError("Failed to write cartridge image file " + path.string(), reason);
  return false;
}

}  // namespace quillfen
