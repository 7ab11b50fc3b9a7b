// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "cartridge/bytes.h"
#include "cartridge/error.h"

namespace quillfen {

/// Why a reader refused a program file or snapshot.
enum class LoadFailureKind {
  kNone,
  kWrongExtension,  // not one of the machine's program file extensions
  kUnreadableFile,  // missing, not a regular file, too large, unreadable
  kEmptyFile,
  kTruncated,          // shorter than what its headers declare
  kWrongFileLength,    // an SNA longer than a 48K one
  kNoProgramName,      // a .P81 file whose name never ends
  kELineOutOfRange,    // E_LINE below the program or beyond the file
  kNot48KSnapshot,     // a snapshot of another machine, or of paged hardware
  kBadCompressedData,  // a compressed block that does not expand to its page
  kIncompleteRam,      // a page of the 48 KB missing
  kUnreadableFormat,   // refused by the library that reads the format (SZX, tapes: libspectrum)
  kLoadTimeout,        // a tape still playing at the time limit
  kNot48KProgram,      // a loaded program that pages memory as a 128K Spectrum does
  kTapeNotLoaded,      // the Spectrum reported that a block of the tape failed to load
  kNoSpectrumRom,      // a tape to load but no usable SPECTRUM_ROM.bin to load it with
  kNoTapeLoader,       // a tape given to a front end that loads none
  kFault,              // any other error raised while reading
};

/// The reason, and a short text with the offset or value that failed.
struct LoadFailure {
  LoadFailureKind kind = LoadFailureKind::kNone;
  std::string text;
};

/// Thrown by the readers at the place that knows why; caught once, by the module's load entry.
class LoadRefusal : public Error {
 public:
  explicit LoadRefusal(LoadFailure failure) : Error(failure.text), failure_(std::move(failure)) {}
  const LoadFailure& Failure() const { return failure_; }

 private:
  LoadFailure failure_;
};

[[noreturn]] void Refuse(LoadFailureKind kind, const std::string& text);

/// The failure a caught exception stands for: a refusal's own, else kFault with its message.
LoadFailure LoadFailureOf(const std::exception& error);

/// "truncated", "not_48k_snapshot", ...: the kind's name in JSON.
std::string_view LoadFailureName(LoadFailureKind kind);

/// Reads the whole file at `path`, or refuses saying why (unreadable or empty).
void ReadProgramFile(Bytes& destination, const std::filesystem::path& path);

/// Where a ZX80 or ZX81 program image keeps what bounds it.
struct ProgramImageLayout {
  std::size_t system_variables_length;  // the image holds at least these bytes
  std::size_t e_line_offset;            // E_LINE, the address just past the image
  std::int32_t image_start;             // the address of the image's first byte
  std::int32_t largest_e_line;          // E_LINE beyond this is refused
};

/// Refuses, saying why, an image too short for its system variables or whose E_LINE lies
/// beyond the largest program, beyond the end of the file or below the image.
void CheckProgramImage(std::span<const std::uint8_t> image, const ProgramImageLayout& layout);

}  // namespace quillfen
