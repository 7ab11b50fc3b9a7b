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
    case LoadFailureKind::kLoadTimeout:
      return "load_timeout";
    case LoadFailureKind::kNot48KProgram:
      return "not_48k_program";
    case LoadFailureKind::kTapeNotLoaded:
      return "tape_not_loaded";
    case LoadFailureKind::kNoSpectrumRom:
      return "no_spectrum_rom";
    case LoadFailureKind::kNoTapeLoader:
      return "no_tape_loader";
    case LoadFailureKind::kUnreadableFormat:
      return "unreadable_format";
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

void CheckProgramImage(std::span<const std::uint8_t> image, const ProgramImageLayout& layout) {
  const std::size_t size = image.size();
  if (size < layout.system_variables_length)
    Refuse(LoadFailureKind::kTruncated, "truncated: " + std::to_string(size) +
                                            " bytes, the system variables need " +
                                            std::to_string(layout.system_variables_length));
  const std::int32_t e_line = WordAt(image, layout.e_line_offset);
  const std::string e_line_text = "E_LINE " + HexWord(e_line);
  if (e_line > layout.largest_e_line)
    Refuse(LoadFailureKind::kELineOutOfRange, e_line_text + " lies beyond the largest program (" +
                                                  HexWord(layout.largest_e_line) + ")");
  if (static_cast<std::int64_t>(size) < e_line - layout.image_start)
    Refuse(LoadFailureKind::kELineOutOfRange,
           e_line_text + " lies beyond the end of the file (" + std::to_string(size) + " bytes)");
  if (e_line < layout.image_start)
    Refuse(LoadFailureKind::kELineOutOfRange,
           e_line_text + " lies below the program image (" + HexWord(layout.image_start) + ")");
}

}  // namespace quillfen
