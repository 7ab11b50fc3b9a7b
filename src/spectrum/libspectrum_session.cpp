// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/libspectrum_session.h"

#include <cstdarg>
#include <cstdio>

#include "cartridge/error.h"

namespace quillfen {
namespace {

// Written only by the error function below, on the thread whose call failed.
thread_local std::string last_error;

libspectrum_error RecordError(libspectrum_error error, const char* format, va_list ap) {
  char text[256];
  std::vsnprintf(text, sizeof text, format, ap);
  last_error = text;
  return error;
}

bool Initialise() {
  libspectrum_error_function = &RecordError;
  return libspectrum_init() == LIBSPECTRUM_ERROR_NONE;
}

}  // namespace

void EnsureLibspectrum() {
  static const bool initialised = Initialise();  // once per process, thread-safe
  if (!initialised) ThrowError("libspectrum could not be initialised");
}

std::string LastLibspectrumError() { return last_error; }
void ClearLibspectrumError() { last_error.clear(); }

}  // namespace quillfen
