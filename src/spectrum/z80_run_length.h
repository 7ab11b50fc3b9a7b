// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "cartridge/bytes.h"
#include "cartridge/host.h"

namespace quillfen {

/// The first byte of a run: 0xED 0xED nn bb stands for nn copies of bb.
inline constexpr std::uint8_t kZ80RunMark = 0xED;

/// Expands run-length compressed Z80 snapshot data, appending to `out`.
///
/// Starting at offset 0 it takes one step, then further steps while the offset is below
/// `loop_end`, and returns the offset reached (which may lie past the end of `data` when the
/// last run lacks its value byte). A step takes:
/// - 0xED 0xED nn bb: nn copies of bb (none for nn = 0), then yields once through `host`;
///   when the data ends after nn, the run adds nothing;
/// - 0xED followed by another byte: 0xED on its own; the next byte starts the next step;
/// - 0xED as the very last byte of `data`: 0xED (writers store a lone 0xED literally);
/// - any other byte: itself.
///
/// Throws quillfen::Error when a step starts at or past the end of `data` (empty data), when the
/// data ends right after 0xED 0xED, or as soon as `out` would grow beyond `capacity` bytes: such
/// data can never give a valid RAM image, and a small file must not make the reader allocate
/// more than that. `out` then holds what was expanded before the failing step.
std::size_t ExpandZ80RunLength(std::span<const std::uint8_t> data, std::size_t loop_end,
                               std::size_t capacity, Bytes& out, Host& host);

}  // namespace quillfen
