// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace quillfen {

/// Whether a new file can be created in `folder` right now (tried, not guessed from permission
/// bits, so a read-only mount or a missing folder counts as not writable).
bool FolderIsWritable(const std::filesystem::path& folder);

/// The folder the window writes cartridge images into: the executable's folder while it is
/// writable (the portable layout, ROM images and images side by side); otherwise, as for an
/// installed copy in /usr/bin, the folder of the chosen program file. With no program chosen
/// yet it stays the executable's folder.
std::filesystem::path ImageFolder(const std::filesystem::path& executable_folder,
                                  const std::filesystem::path& program_file);

/// The folder the file dialog opens in: the executable's folder while it is writable (where the
/// portable layout keeps everything); otherwise the folder of the program chosen last, or the
/// home folder before any, rather than a folder of the system such as /usr/bin.
std::filesystem::path DialogFolder(const std::filesystem::path& executable_folder,
                                   const std::filesystem::path& program_file,
                                   const std::filesystem::path& home_folder);

}  // namespace quillfen
