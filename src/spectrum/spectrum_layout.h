// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "cartridge/cartridge_maker.h"
#include "spectrum/snapshot_state.h"

// The two Spectrum cartridges, four 16K banks each. The 64K cartridge carries all 48K of RAM, its
// code bank second, and a copy of the Spectrum ROM whose spare area holds stage 3. The 48K
// cartridge puts stage 2 into an unused area of the snapshot's RAM and leaves one bank empty.
namespace quillfen::spectrum {

inline constexpr std::size_t kSpectrumRomLength = 0x4000;
inline constexpr std::uint8_t kSpectrumRomFirstByte = 0xF3;  // DI: what stage 2 waits for

/// Searches `memory` (RAM from 0x4000) for an area of at least 512 zero bytes that can receive
/// stage 2 of the 48K cartridge: the first run of 513 or more zeros met, scanning downward through
/// 0xE3DF-0xC1FF, 0xBFFF-0x81FF and 0x7FFF-0x5CFF, that a non-zero byte ends inside the same
/// window. Returns low (two above that non-zero byte) and sets `top` (one above the run's highest
/// byte) and `page` (0 to 2); returns 0 and sets `top` to 0, leaving `page`, when none exists.
/// Throws quillfen::Error when `memory` is not 49152 bytes long.
std::int32_t FindUnusedArea(std::span<const std::uint8_t> memory, std::int32_t& top,
                            std::int16_t& page);

/// True for an image the 64K cartridge can carry: 16384 bytes beginning with 0xF3.
bool IsInsertableSpectrumRom(std::span<const std::uint8_t> rom);

/// Builds the 48K cartridge in `maker` with stage 2 at `low` in the area low..top-1 of page
/// `page` (as found by FindUnusedArea), resuming a snapshot of `kind`. False, with a partial
/// image, for a RAM image that is not 49152 bytes, an area that cannot hold stage 2 or a register
/// value out of range.
[[nodiscard]] bool BuildSpectrumCartridge48K(CartridgeMaker& maker, const SnapshotState& state,
                                             SnapshotKind kind, std::int32_t low, std::int32_t top,
                                             std::int16_t page);

/// Builds the 64K cartridge in `maker` with the ROM copy `rom` in its fourth bank, resuming a
/// snapshot of `kind`. False, with a partial image, for a RAM image that is not 49152 bytes, a ROM
/// image that IsInsertableSpectrumRom refuses or a register value out of range.
[[nodiscard]] bool BuildSpectrumCartridge64K(CartridgeMaker& maker, const SnapshotState& state,
                                             SnapshotKind kind, std::span<const std::uint8_t> rom);

}  // namespace quillfen::spectrum
