// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "cartridge/bytes.h"
#include "spectrum/snapshot_state.h"
#include "verify/boot_machine.h"
#include "verify/state_comparison.h"
#include "verify/verify_result.h"

namespace quillfen {

/// What the run after the resume needs besides the machines.
struct SpectrumRunSetup {
  std::uint64_t frames = VerifyOptions().run_frames;
  std::optional<Bytes> rom;  // the user's SPECTRUM_ROM.bin, the reference machine's ROM
  /// 48K layout: the start-up code left in RAM (low to low + stage 2 length); none for 64K.
  std::optional<AddressRange> startup_code;
  bool forty_eight_k = false;
  bool unused_area_found = false;  // the snapshot allows the 48K layout
};

/// The RAM the 48K layout's stage 2 occupies once the snapshot resumes: `low` and the stage's
/// length for `kind` ("SNA" or "Z80").
AddressRange StartupCodeLeftBy48K(std::int32_t low, spectrum::SnapshotKind kind);

/// Runs the cartridge machine on from the resume (`resumed`, just arrived at the snapshot's
/// program counter, whose processor it takes over) beside a plain 48K Spectrum loaded with the
/// snapshot's RAM and registers, the setup's ROM, and the cartridge's T-state count, R, I,
/// interrupt mode, IFF1/IFF2 and MEMPTR, for the setup's frames. A read that parts them at a
/// known place of the layout gets its cause.
RunReport RunSpectrumAgainstSnapshot(BootMachine& resumed, const SnapshotState& snapshot,
                                     const SpectrumRunSetup& setup);

/// The boot check of VerifySpectrumImage (with the setup's ROM and start-up code), then, when it
/// passed and `setup.frames` is not 0, the run against the snapshot (reported as unavailable
/// without a ROM image).
VerifyResult VerifySpectrumImageAndRun(std::span<const std::uint8_t> image,
                                       const SnapshotState& snapshot, spectrum::SnapshotKind kind,
                                       const SpectrumRunSetup& setup, const VerifyOptions& options);

}  // namespace quillfen
