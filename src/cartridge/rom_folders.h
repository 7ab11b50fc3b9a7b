// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

/// The environment variables the ROM search reads; an empty value stands for an unset one.
struct DataFolderSettings {
  std::string home;           // $HOME
  std::string xdg_data_home;  // $XDG_DATA_HOME
  std::string xdg_data_dirs;  // $XDG_DATA_DIRS, folders separated by ":"
};

/// The DataFolderSettings of the running process.
DataFolderSettings DataFolderSettingsOfProcess();

/// The folders in which ROM images are looked for, in this order: `executable_folder` (the
/// portable layout); $XDG_DATA_HOME/quillfen (~/.local/share/quillfen when unset); each folder
/// of $XDG_DATA_DIRS followed by quillfen (/usr/local/share/quillfen, /usr/share/quillfen when
/// unset). Relative paths in the variables are ignored, as the base directory rules ask (a
/// variable holding none but relative ones counts as unset); each folder is listed once.
std::vector<std::filesystem::path> RomSearchFolders(const std::filesystem::path& executable_folder,
                                                    const DataFolderSettings& settings);

/// The full path of `file_name` in the first of `folders` that holds it as a regular file (a
/// link to one counts), or nothing when none does.
std::optional<std::filesystem::path> FindRomFile(const std::vector<std::filesystem::path>& folders,
                                                 std::string_view file_name);

/// The detail of a ROM image file that none of `searched` holds: the file name, then one folder
/// a line.
std::string RomNotFoundDetail(std::string_view file_name,
                              const std::vector<std::filesystem::path>& searched);

}  // namespace quillfen
