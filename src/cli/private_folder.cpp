// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/private_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace quillfen {

PrivateFolder::PrivateFolder() {
  const char* tmpdir = std::getenv("TMPDIR");
  const std::filesystem::path base = tmpdir && tmpdir[0] == '/' ? tmpdir : "/tmp";
  std::string name = (base / "quillfen-XXXXXX").string();
  if (::mkdtemp(name.data()) == nullptr) {
    const std::error_code error(errno, std::generic_category());
    throw std::runtime_error("cannot make a temporary folder in " + base.string() + ": " +
                             error.message());
  }
  path_ = name;
}

PrivateFolder::~PrivateFolder() {
  std::error_code ignored;  // nothing to be done about a folder that will not go
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace quillfen
