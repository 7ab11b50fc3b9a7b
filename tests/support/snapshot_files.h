// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "cartridge/bytes.h"
#include "spectrum/snapshot_state.h"

namespace quillfen::testing {

// Snapshot files written from a SnapshotState in its own terms (AF: A high; R all eight bits),
// values cut to their width in the file and Memory as it is, so malformed files are one edit away.
/// A 48K SNA file: the 27-byte header, then Memory. PC is not written: an SNA snapshot keeps it
/// on its stack at SP. InterruptsEnabled sets byte 19 to 0x04; InterruptMode is not masked.
Bytes MakeSnaFile(const SnapshotState& state);

/// The 30-byte Z80 main header, PC as given (zero announces versions 2 and 3). The flags byte
/// carries R's bit 7, the border and, when `compressed`, bit 5; IFF2 = IFF1; IM masked to 2 bits.
Bytes MakeZ80MainHeader(const SnapshotState& state, bool compressed);

/// A version 1 Z80 file (PC not 0): the header, Memory or CompressZ80Block(Memory) + 00 ED ED 00.
Bytes MakeZ80FileVersion1(const SnapshotState& state, bool compressed);

/// Appends one memory block: N (0xFFFF when not `compressed`, else the packed length), the page
/// number, then `data` (16384 bytes) as it is or CompressZ80Block(data).
void AppendZ80Block(Bytes& file, int page, std::span<const std::uint8_t> data, bool compressed);

/// A version 2 (`additional_header_length` 23) or 3 (54 or 55) Z80 file of a 48K machine (all
/// additional-header bytes zero but L and PC; main header PC 0), then one block per entry of
/// `page_order` (8: RAM 0x4000, 4: 0x8000, 5: 0xC000). Memory must hold 49152 bytes.
Bytes MakeZ80FilePaged(const SnapshotState& state, int additional_header_length, bool compressed,
                       const std::vector<int>& page_order = {8, 4, 5});

/// Run-length compression as Z80 snapshot writers do it: runs of five or more equal bytes, and of
/// two or more 0xED, become ED ED nn bb (nn ≤ 255); a lone 0xED is followed by a literal byte.
Bytes CompressZ80Block(std::span<const std::uint8_t> data);

/// Random registers (IM 0 to 2, border 0 to 7, PC never 0, SP 0x4002 to 0xFFFF) and random RAM
/// with long runs of 0xED, of zeros and of other bytes, and lone 0xED.
SnapshotState RandomSnapshot(std::mt19937& random);

/// RAM of pseudo-random non-zero bytes (no unused area), distinct register values, PC 0x6123,
/// also on the stack at SP (0xFE40) for an SNA snapshot.
SnapshotState MakeBusySnapshot(std::uint32_t seed = 1);

void ZeroRam(SnapshotState& state, int from, int to);  // addresses `from` to `to` - 1

/// The fields (not Memory) in which `a` and `b` differ, readably; empty when none.
std::string SnapshotRegisterDifferences(const SnapshotState& a, const SnapshotState& b);

}  // namespace quillfen::testing
