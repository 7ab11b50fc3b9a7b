// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include <libspectrum.h>

namespace quillfen {

/// Initialises libspectrum once per process and routes its error messages to LastLibspectrumError
/// instead of stderr. Throws quillfen::Error when the library cannot start.
void EnsureLibspectrum();

/// The message of the last libspectrum error on this thread ("" when none since the last call
/// of ClearLibspectrumError).
std::string LastLibspectrumError();
void ClearLibspectrumError();

struct TapeDeleter {
  void operator()(libspectrum_tape* tape) const { libspectrum_tape_free(tape); }
};
using TapeHandle = std::unique_ptr<libspectrum_tape, TapeDeleter>;

struct SnapDeleter {
  void operator()(libspectrum_snap* snap) const { libspectrum_snap_free(snap); }
};
using SnapHandle = std::unique_ptr<libspectrum_snap, SnapDeleter>;

/// A buffer libspectrum allocated for its caller.
struct LibspectrumBufferDeleter {
  void operator()(libspectrum_byte* buffer) const { libspectrum_free(buffer); }
};
using LibspectrumBuffer = std::unique_ptr<libspectrum_byte, LibspectrumBufferDeleter>;

}  // namespace quillfen
