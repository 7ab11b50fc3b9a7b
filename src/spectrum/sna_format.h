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

/// Reads the SNA file content `file` into `state`, storing each header field as it is read.
/// Refuses a file shorter than 49179 bytes (the header fields present are stored) or
/// longer than 49180 bytes (the whole header is stored); Memory changes only on success.
/// Throws LoadRefusal saying why it refuses. PC is never written: an SNA snapshot keeps it on
/// its stack.
void ParseSnaSnapshot(std::span<const std::uint8_t> file, SnapshotState& state);

/// ParseSnaSnapshot: true when it accepted the file.
[[nodiscard]] bool ReadSnaSnapshot(std::span<const std::uint8_t> file, SnapshotState& state);

}  // namespace quillfen
