// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "cartridge/bytes.h"
#include "spectrum/snapshot_state.h"
#include "verify/state_comparison.h"
#include "verify/verify_result.h"

namespace quillfen {

/// The bank a Spectrum cartridge presents first: the code bank. The 64K image begins with the
/// marker 0x01 of its first RAM block and carries its code in bank 1; the 48K image begins with
/// its code.
std::size_t SpectrumStartBank(std::span<const std::uint8_t> image);

/// Boots a Spectrum cartridge image (64K or 48K) with the cartridge cycling through its banks
/// and a "cartridge off" slot showing `internal_rom` (the user's SPECTRUM_ROM.bin; without one,
/// a 16 KB block starting with 0xF3). Runs until, after the start-up code has locked the
/// paging, the snapshot's program counter is reached (for an SNA, the word at the snapshot's
/// SP). Then checks RAM 0x4000-0xFFFF against `snapshot` (skipping `startup_code`, the stage 2
/// bytes a 48K image leaves in its unused area, named in the success text), every register, the
/// interrupt mode, IFF1 and the border. `kind` is "SNA" or "Z80": an SNA resumes by RETN, so SP is
/// two higher and R may be one higher (noted). Throws quillfen::Error for another kind, an empty
/// image or a RAM image not of 49152 bytes. `on_resume`, when given, is called last with the
/// machine as it resumed and the result so far.
VerifyResult VerifySpectrumImage(
    std::span<const std::uint8_t> image, const SnapshotState& snapshot, spectrum::SnapshotKind kind,
    const std::optional<Bytes>& internal_rom = std::nullopt,
    std::optional<AddressRange> startup_code = std::nullopt, const VerifyOptions& options = {},
    const std::function<void(BootMachine&, const VerifyResult&)>& on_resume = {});

}  // namespace quillfen
