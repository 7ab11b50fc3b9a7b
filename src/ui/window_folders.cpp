// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window_folders.h"

#include <QFile>
#include <QTemporaryFile>

namespace quillfen {

bool FolderIsWritable(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return false;
  // Removed again when `probe` goes out of scope.
  QTemporaryFile probe(QFile::decodeName((folder / ".quillfen-XXXXXX").c_str()));
  return probe.open();
}

std::filesystem::path ImageFolder(const std::filesystem::path& executable_folder,
                                  const std::filesystem::path& program_file) {
  if (program_file.empty() || FolderIsWritable(executable_folder)) return executable_folder;
  return program_file.parent_path();
}

std::filesystem::path DialogFolder(const std::filesystem::path& executable_folder,
                                   const std::filesystem::path& program_file,
                                   const std::filesystem::path& home_folder) {
  if (FolderIsWritable(executable_folder)) return executable_folder;
  return program_file.empty() ? home_folder : program_file.parent_path();
}

}  // namespace quillfen
