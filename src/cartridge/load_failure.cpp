// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/load_failure.h"

#include "cartridge/cartridge_maker.h"

namespace quillfen {

void Refuse(LoadFailureKind kind, const std::string& text) { throw LoadRefusal({kind, text}); }

LoadFailure LoadFailureOf(const std::exception& error) {
  if (const auto* refusal = dynamic_cast<const LoadRefusal*>(&error)) return refusal->Failure();
  return {LoadFailureKind::kFault, OneLine(error.what())};
}

std::string_view LoadFailureName(LoadFailureKind kind) {
  switch (kind) {
    case LoadFailureKind::kNone:
      return "none";
    case LoadFailureKind::kWrongExtension:
      return "wrong_extension";
    case LoadFailureKind::kUnreadableFile:
      return "unreadable_file";
    case LoadFailureKind::kEmptyFile:
      return "empty_file";
    case LoadFailureKind::kTruncated:
      return "truncated";
    case LoadFailureKind::kWrongFileLength:
      return "wrong_file_length";
    case LoadFailureKind::kNoProgramName:
      return "no_program_name";
    case LoadFailureKind::kELineOutOfRange:
      return "e_line_out_of_range";
    case LoadFailureKind::kNot48KSnapshot:
      return "not_48k_snapshot";
    case LoadFailureKind::kBadCompressedData:
      return "bad_compressed_data";
    case LoadFailureKind::kIncompleteRam:
      return "incomplete_ram";
    case LoadFailureKind::kFault:
      break;
  }
  return "fault";
}

void ReadProgramFile(Bytes& destination, const std::filesystem::path& path) {
  std::string reason;
  if (ReadWholeFile(destination, path, reason)) return;
  if (reason == kEmptyFileReason) Refuse(LoadFailureKind::kEmptyFile, "the file is empty");
  Refuse(LoadFailureKind::kUnreadableFile, "cannot be read: " + reason);
}

}  // namespace quillfen
