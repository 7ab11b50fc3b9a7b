// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/options.h"
#include "cli/progress_line.h"
#include "inspection/converters.h"
#include "tape/emulated_tape_capture.h"

namespace quillfen {

/// The tape loader of one run: the emulated Spectrum with --settle and --stop-at, showing where
/// the tape stands on `progress` (may be null). It must outlive the converters it is installed in.
class CliTapeLoading {
 public:
  CliTapeLoading(const CliOptions& options, ProgressLine* progress);
  CliTapeLoading(const CliTapeLoading&) = delete;
  CliTapeLoading& operator=(const CliTapeLoading&) = delete;

  void InstallIn(MachineConverters& converters) { converters.InstallTapeCapture(capture_); }

 private:
  tape::EmulatedTapeCapture capture_;
};

/// "GAME.TAP: tape 0:12 of 3:05, block 2 "rocket"": the progress line of a loading tape.
std::string TapeProgressText(const std::string& file_name, const tape::TapeProgress& progress);

/// Whether `file` is named as a tape (.TAP, .TZX, .PZX or .CSW in any case).
bool IsTapeFileName(const std::string& file);

/// --save-snapshot: writes `state` as a Z80 snapshot to `path` through a temporary file; false
/// with `reason` when it cannot.
[[nodiscard]] bool SaveCapturedSnapshot(const SnapshotState& state,
                                        const std::filesystem::path& path, std::string& reason);

}  // namespace quillfen
