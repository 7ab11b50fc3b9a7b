// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

#include "cartridge/bytes.h"

namespace quillfen {

inline constexpr std::size_t kSnapshotRamLength = 0xC000;  // 0x4000-0xFFFF

/// A 48K Spectrum snapshot: RAM from 0x4000 and every Z80 register. Readers store each field as
/// soon as they have read it, so a failed load may leave the record partly overwritten.
struct SnapshotState {
  Bytes Memory;         // byte k holds address 0x4000 + k
  std::int32_t AF = 0;  // A high, F low
  std::int32_t BC = 0;
  std::int32_t DE = 0;
  std::int32_t HL = 0;
  std::int32_t IX = 0;
  std::int32_t IY = 0;
  std::int32_t AFAlt = 0;
  std::int32_t BCAlt = 0;
  std::int32_t DEAlt = 0;
  std::int32_t HLAlt = 0;
  std::int32_t PC = 0;  // set by Z80 and SZX snapshots only
  std::int32_t SP = 0;
  std::int32_t I = 0;
  std::int32_t R = 0;  // all eight bits
  std::int32_t InterruptMode = 0;
  bool InterruptsEnabled = false;  // IFF1
  std::int16_t BorderColour = 0;
};

namespace spectrum {

/// How the snapshot being resumed is started: an SNA snapshot keeps its program counter on its
/// stack and resumes by a return, a Z80 snapshot resumes by a jump. An SZX snapshot holds its
/// program counter as a register, as a Z80 one does, and resumes as kZ80.
enum class SnapshotKind { kSna, kZ80 };

/// kSna for the extension "SNA", kZ80 for "Z80" and "SZX", from the extension of `file_name`;
/// throws quillfen::Error for any other name (only snapshots of these kinds can be resumed).
SnapshotKind SnapshotKindOf(std::string_view file_name);

constexpr std::string_view SnapshotKindName(SnapshotKind kind) {
  return kind == SnapshotKind::kSna ? "SNA" : "Z80";
}

}  // namespace spectrum
}  // namespace quillfen
