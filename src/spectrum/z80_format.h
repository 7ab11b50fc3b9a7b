// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "cartridge/bytes.h"
#include "cartridge/host.h"
#include "spectrum/snapshot_state.h"

namespace quillfen {

inline constexpr std::size_t kZ80HeaderLength = 30;
inline constexpr std::size_t kZ80PageLength = 0x4000;
/// Block length that marks 16384 page bytes stored without compression.
inline constexpr std::uint16_t kZ80UncompressedBlock = 0xFFFF;

/// Reads the Z80 file content `file` into `state`. The 30 main header fields are stored as they
/// are read, before the version is known; a non-zero PC means version 1, zero means 2 or 3.
/// True only when the file describes a 48K machine and its RAM comes to exactly 49152 bytes.
/// Yields through `host` after each expanded run. Throws LoadRefusal saying why it refuses.
void ParseZ80Snapshot(std::span<const std::uint8_t> file, SnapshotState& state, Host& host);

/// ParseZ80Snapshot: true when it accepted the file.
[[nodiscard]] bool ReadZ80Snapshot(std::span<const std::uint8_t> file, SnapshotState& state,
                                   Host& host);

/// Expands compressed version 1 RAM: `data` is the file from offset 30 to its end, which must
/// close with the marker 00 ED ED 00 as its last four bytes. Memory is emptied first and holds
/// what was expanded on every path. Refuses a missing or misplaced marker, for data that would
/// expand beyond 49152 bytes (expansion stops there) and for RAM of any other length.
void DecodeZ80Version1Memory(std::span<const std::uint8_t> data, SnapshotState& state, Host& host);

/// Reads the additional header and the page blocks of versions 2 and 3: `data` is the file from
/// offset 30 to its end. Stores PC as soon as it is read; sets Memory (pages 8, 4, 5 in that
/// order) only on success. Refuses (LoadRefusal) a hardware mode other than 0 or 1, the Interface 1
/// ROM paged in, a block for a page a 48K machine does not have (0-3, 6, 7, 9, 10), a file ending
/// inside a header or a block, a page that expands to anything but 16384 bytes, or a page
/// missing. Blocks for pages 11-255 are skipped; one or two bytes after the last block are
/// ignored.
void ReadZ80MemoryPages(std::span<const std::uint8_t> data, SnapshotState& state, Host& host);

/// `state` (its 48 KB and registers) as a version 3 Z80 file of a 48K Spectrum, written by
/// libspectrum. Throws quillfen::Error when libspectrum cannot write it.
Bytes WriteZ80Snapshot(const SnapshotState& state);

}  // namespace quillfen
