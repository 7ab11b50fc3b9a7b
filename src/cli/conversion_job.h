// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cartridge/host.h"
#include "inspection/machine.h"

namespace quillfen {

/// One input of a run and the choices the window would hand to its converter.
struct ConversionJob {
  std::string shown_name;      // the argument as given, used in every message
  std::filesystem::path path;  // opened as given
  Machine machine = Machine::ZX81;
  std::string file_name;    // bare upper-case name handed to the converter (GAME.P)
  std::string output_name;  // GAME.bin
  std::string refusal;      // why it will not be converted, or ""
  std::string ram_text;     // "1K", "3K", "4K", "16K" (ZX80, ZX81)
  std::int16_t auto_run = 0;
  Host::Answer size_answer = Host::Answer::No;
};

/// Every job of a run, or the usage errors that stop it before anything is written.
struct ConversionPlan {
  std::vector<ConversionJob> jobs;
  std::vector<std::string> usage_errors;
  /// Per machine index, the job whose program that machine's module holds (-1: none).
  std::array<std::ptrdiff_t, 3> loaded_job = {-1, -1, -1};
};

}  // namespace quillfen
