// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include "spectrum/snapshot_state.h"

namespace quillfen {

inline constexpr std::size_t kSnaHeaderLength = 27;
inline constexpr std::size_t kSnaFileLength = kSnaHeaderLength + kSnapshotRamLength;  // 49179
/// One byte more than a 48K SNA file is still accepted; the extra byte is never read.
inline constexpr std::size_t kSnaLongestFileLength = kSnaFileLength + 1;  // 49180

/// Reads the 48K SNA snapshot at `path` into `state`. The file is read once, whole; a path that
/// names no regular file (or a file over 16 MiB) gives false with `state` untouched.
/// Otherwise see the byte form below. PC is never written: an SNA snapshot keeps it on its stack.
[[nodiscard]] bool ReadSnaSnapshot(const std::filesystem::path& path, SnapshotState& state);

/// Reads the SNA file content `file` into `state`, storing each header field as it is read.
/// False when the file is shorter than 49179 bytes (the header fields present are stored) or
/// longer than 49180 bytes (the whole header is stored); Memory changes only on success.
[[nodiscard]] bool ReadSnaSnapshot(std::span<const std::uint8_t> file, SnapshotState& state);

}  // namespace quillfen
