// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

namespace quillfen {

/// A folder only this process uses, made under $TMPDIR (or /tmp) with mode 0700 and removed with
/// everything in it at the end. It holds the copy of standard input and the image meant for
/// standard output, which the converters read and write as files.
class PrivateFolder {
 public:
  /// Throws std::runtime_error, naming the reason, when no folder can be made.
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace quillfen
