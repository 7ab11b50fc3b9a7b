// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/host.h"

#include "cartridge/rom_folders.h"

namespace quillfen {

void Host::ShowRomNotFound(const std::string& text, const std::string& file_name,
                           const std::vector<std::filesystem::path>& searched) {
  ShowError(text, RomNotFoundDetail(file_name, searched));
}

}  // namespace quillfen
