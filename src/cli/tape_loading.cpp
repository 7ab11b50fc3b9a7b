// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/tape_loading.h"

#include <cmath>
#include <cstdio>
#include <exception>

#include "cartridge/cartridge_maker.h"
#include "cartridge/file_names.h"
#include "spectrum/tape_capture.h"
#include "spectrum/z80_format.h"

namespace quillfen {
namespace {

tape::TapeLoadOptions LoadOptionsOf(const CliOptions& options) {
  tape::TapeLoadOptions load;
  if (options.settle)
    load.settle_t_states = static_cast<std::uint64_t>(
        std::llround(*options.settle * static_cast<double>(tape::kSpectrumClock)));
  load.stop_address = options.stop_at;
  return load;
}

// "3:05": minutes and seconds of tape time.
std::string Clock(std::uint64_t t_states) {
  const std::uint64_t seconds = t_states / tape::kSpectrumClock;
  char text[32];
  std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                static_cast<unsigned long long>(seconds % 60));
  return text;
}

}  // namespace

CliTapeLoading::CliTapeLoading(const CliOptions& options, ProgressLine* progress)
    : capture_(LoadOptionsOf(options),
               progress == nullptr
                   ? tape::EmulatedTapeCapture::Progress()
                   : [progress](const std::string& file_name, const tape::TapeProgress& where) {
                       progress->ShowText(TapeProgressText(file_name, where));
                     }) {}

std::string TapeProgressText(const std::string& file_name, const tape::TapeProgress& progress) {
  std::string text = file_name + ": tape " + Clock(progress.position) + " of " +
                     Clock(progress.length) + ", block " + std::to_string(progress.block + 1);
  if (!progress.block_name.empty()) text += " \"" + std::string(progress.block_name) + "\"";
  return text;
}

bool IsTapeFileName(const std::string& file) {
  return spectrum::IsTapeExtension(ExtensionOf(BareFileName(file)));
}

bool SaveCapturedSnapshot(const SnapshotState& state, const std::filesystem::path& path,
                          std::string& reason) {
  try {
    const Bytes file = WriteZ80Snapshot(state);
    return WriteFileAtomically(file, path, reason);
  } catch (const std::exception& error) {
    reason = error.what();
    return false;
  }
}

}  // namespace quillfen
