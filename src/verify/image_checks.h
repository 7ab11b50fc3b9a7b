// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cartridge/bytes.h"
#include "inspection/machine.h"
#include "spectrum/snapshot_state.h"
#include "verify/spectrum_run_proof.h"
#include "verify/verify_result.h"

namespace quillfen {

/// Everything checking one image needs, as plain values copied out of the converter modules,
/// so that checks can run on other threads while the modules take the next program.
struct ImageVerification {
  std::string image_name;
  Machine machine = Machine::ZX81;
  Bytes image;
  VerifyOptions options;
  Bytes program;  // ZX80, ZX81
  std::int32_t ramtop = 0;
  std::int16_t auto_run = 0;
  SnapshotState snapshot;  // Spectrum
  spectrum::SnapshotKind kind = spectrum::SnapshotKind::kSna;
  /// The run beside the snapshot; its unused area and the start-up code the 48K layout leaves
  /// are worked out from the snapshot when the check runs.
  SpectrumRunSetup run;
  std::string error;  // why it cannot be checked, found while preparing
};

/// A check's result, or why it could not be made.
struct CheckOutcome {
  VerifyResult result;
  std::string error;
};

/// Boots the image on the emulated cartridge and compares the end state (and for a Spectrum
/// snapshot the run after it) with its program. Never throws.
CheckOutcome CheckImage(const ImageVerification& verification);

/// CheckImage for each, on up to `threads` threads (0: one per core); the outcomes in the given
/// order.
std::vector<CheckOutcome> CheckImages(const std::vector<ImageVerification>& verifications,
                                      unsigned threads);

}  // namespace quillfen
