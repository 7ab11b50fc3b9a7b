// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "cartridge/bytes.h"

namespace quillfen::testing {

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  /// Writes `bytes` to `name` in this folder and returns its path.
  std::filesystem::path Write(const std::string& name, const Bytes& bytes) const;

 private:
  std::filesystem::path path_;
};

/// The whole content of a file; an empty vector when it cannot be read.
Bytes ReadFileBytes(const std::filesystem::path& path);

/// `length` bytes of `bytes` from `offset`.
Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t length);

}  // namespace quillfen::testing
