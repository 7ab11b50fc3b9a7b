// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/rom_folders.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace quillfen {
namespace {

constexpr char kProgramFolderName[] = "quillfen";
constexpr char kDefaultDataDirs[] = "/usr/local/share:/usr/share";

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool IsAbsolute(std::string_view folder) { return !folder.empty() && folder.front() == '/'; }

// The absolute folders of a ":"-separated list; empty entries and relative ones are dropped.
std::vector<std::filesystem::path> AbsoluteFolders(std::string_view list) {
  std::vector<std::filesystem::path> folders;
  while (!list.empty()) {
    const std::size_t colon = list.find(':');
    const std::string_view entry = list.substr(0, colon);
    if (IsAbsolute(entry)) folders.emplace_back(entry);
    list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
  }
  return folders;
}

}  // namespace

DataFolderSettings DataFolderSettingsOfProcess() {
  return {Variable("HOME"), Variable("XDG_DATA_HOME"), Variable("XDG_DATA_DIRS")};
}

std::vector<std::filesystem::path> RomSearchFolders(const std::filesystem::path& executable_folder,
                                                    const DataFolderSettings& settings) {
  std::vector<std::filesystem::path> folders = {executable_folder};
  if (IsAbsolute(settings.xdg_data_home))
    folders.push_back(std::filesystem::path(settings.xdg_data_home) / kProgramFolderName);
  else if (IsAbsolute(settings.home))
    folders.push_back(std::filesystem::path(settings.home) / ".local/share" / kProgramFolderName);
  std::vector<std::filesystem::path> data_dirs = AbsoluteFolders(settings.xdg_data_dirs);
  if (data_dirs.empty()) data_dirs = AbsoluteFolders(kDefaultDataDirs);
  for (const std::filesystem::path& folder : data_dirs)
    folders.push_back(folder / kProgramFolderName);

  // "/usr/share/" and "/usr/share" name one folder: compare them without the trailing "/".
  std::vector<std::filesystem::path> unique;
  for (const std::filesystem::path& folder : folders) {
    std::filesystem::path normal = folder.lexically_normal();
    if (normal.has_parent_path() && !normal.has_filename()) normal = normal.parent_path();
    if (std::ranges::find(unique, normal) == unique.end()) unique.push_back(std::move(normal));
  }
  return unique;
}

std::optional<std::filesystem::path> FindRomFile(const std::vector<std::filesystem::path>& folders,
                                                 std::string_view file_name) {
  for (const std::filesystem::path& folder : folders) {
    const std::filesystem::path candidate = folder / file_name;
    std::error_code error;
    if (!std::filesystem::is_regular_file(candidate, error)) continue;
    // Messages about the file name it in full, also when the folder was given relative.
    std::filesystem::path full = std::filesystem::absolute(candidate, error);
    return error ? candidate : full;
  }
  return std::nullopt;
}

std::string RomNotFoundDetail(std::string_view file_name,
                              const std::vector<std::filesystem::path>& searched) {
  std::string detail = std::string(file_name) + " is in none of these folders:";
  for (const std::filesystem::path& folder : searched) {
    detail += '\n';
    detail += folder.string();
  }
  return detail;
}

}  // namespace quillfen
