#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "cartridge/bytes.h"
#include "spectrum/snapshot_state.h"

namespace quillfen::testing {

/// Test inputs for the Spectrum snapshot readers, written from a SnapshotState.
/// Every builder writes the fields in the state's own terms (AF: A high, F low; R all eight
/// bits) and Memory as it is, whatever its length, so that malformed files are one edit away.
/// Register values are cut to the width their field has in the file.

/// A 48K SNA file: the 27-byte header, then Memory (49179 bytes for a full RAM image).
/// PC is not written: an SNA snapshot keeps it on its stack, so put it at SP in Memory yourself.
/// InterruptsEnabled sets byte 19 to 0x04 (else 0x00); InterruptMode is written unmasked.
Bytes MakeSnaFile(const SnapshotState& state);

/// The 30-byte Z80 main header. PC is written as given (zero announces versions 2 and 3);
/// the flags byte carries bit 7 of R, the border colour and, when `compressed`, bit 5.
/// IFF2 (byte 28) is written equal to IFF1; InterruptMode is masked to two bits.
Bytes MakeZ80MainHeader(const SnapshotState& state, bool compressed);

/// A version 1 Z80 file. `state.PC` must not be zero (zero would announce version 2).
/// Compressed: CompressZ80Block(Memory) followed by the end marker 00 ED ED 00; otherwise
/// Memory as it is.
Bytes MakeZ80FileVersion1(const SnapshotState& state, bool compressed);

/// Offsets of additional-header fields in a version 2 or 3 file, for tests that patch them.
inline constexpr std::size_t kZ80HardwareModeOffset = 34;
inline constexpr std::size_t kZ80Interface1RomOffset = 36;

/// Appends one memory block: length N (0xFFFF and the 16384 bytes of `data` as they are when
/// not `compressed`; else the length of CompressZ80Block(data)), the page number and the data.
void AppendZ80Block(Bytes& file, int page, std::span<const std::uint8_t> data, bool compressed);

/// A version 2 (`additional_header_length` 23) or version 3 (54 or 55) Z80 file of a 48K
/// machine (hardware mode 0, all other additional-header bytes zero): the main header with PC
/// 0, the additional header with the real PC, then one block per entry of `page_order`, each
/// holding the 16 KB of Memory that the page stands for (8: 0x4000, 4: 0x8000, 5: 0xC000).
/// Memory must hold 49152 bytes.
Bytes MakeZ80FilePaged(const SnapshotState& state, int additional_header_length, bool compressed,
                       const std::vector<int>& page_order = {8, 4, 5});

/// Run-length compresses `data` as Z80 snapshot writers do: runs of five or more equal bytes,
/// and runs of two or more 0xED, become ED ED nn bb (nn at most 255); a lone 0xED is written
/// as it is and the byte after it is written literally, so that it never starts a run.
Bytes CompressZ80Block(std::span<const std::uint8_t> data);

/// A random 48K snapshot: every register random (R with either value of bit 7, IM 0 to 2,
/// IFF either way, border 0 to 7), PC never zero, SP between 0x4002 and 0xFFFF, and RAM made of
/// random stretches, long runs of 0xED, of zeros and of other repeated bytes, and lone 0xED.
SnapshotState RandomSnapshot(std::mt19937& random);

/// A snapshot whose RAM holds pseudo-random non-zero bytes (so no unused area exists) and whose
/// registers all hold distinct values. PC is 0x6123; for an SNA snapshot the same value is on
/// the stack at SP (0xFE40).
SnapshotState MakeBusySnapshot(std::uint32_t seed = 1);

/// Zeroes the RAM from `from` to `to` - 1 (addresses).
void ZeroRam(SnapshotState& state, int from, int to);

/// A human-readable list of the fields (not Memory) in which `a` and `b` differ; empty when none.
std::string SnapshotRegisterDifferences(const SnapshotState& a, const SnapshotState& b);

}  // namespace quillfen::testing
