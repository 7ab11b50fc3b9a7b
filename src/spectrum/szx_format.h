// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "spectrum/snapshot_state.h"

namespace quillfen {

/// Reads the SZX file content `file` into `state` through libspectrum. Accepts snapshots of a
/// 48K Spectrum (PAL or NTSC) running the Spectrum's own ROM whose three RAM pages are all
/// there. `state` changes only on success, and then wholly: every register, IM, IFF1 (IFF2 has
/// no place in the record), the border and 48 KB of RAM from 0x4000. Throws LoadRefusal saying
/// why it refuses: a file not starting with the signature ZXST, what libspectrum cannot read,
/// another machine (named as libspectrum names it), a paged-in interface ROM or a custom ROM, a RAM
/// page missing.
void ParseSzxSnapshot(std::span<const std::uint8_t> file, SnapshotState& state);

}  // namespace quillfen
