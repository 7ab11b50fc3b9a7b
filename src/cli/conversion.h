// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cartridge/host.h"
#include "cli/cli_host.h"
#include "cli/options.h"
#include "inspection/converters.h"
#include "inspection/machine.h"
#include "cli/conversion_job.h"
#include "verify/verify_result.h"

namespace quillfen {

inline constexpr const char* kUnknownMachine =
    "cannot tell the machine from the extension; use -m zx80, -m zx81 or -m spectrum";

/// The machine of `file`: -m when given, else its extension; empty when neither tells.
std::optional<Machine> MachineOf(const CliOptions& options, const std::string& file);

/// How standard input ("-") appears in messages.
inline constexpr const char* kStandardInputName = "standard input";

/// Settles every input: machine, output name (two inputs writing the same name are a usage
/// error), then reads each program and checks -r, --autorun and -s against what the window would
/// offer for it. A program its reader refuses is not a usage error: its job carries the refusal.
/// The input "-" is read from `standard_input_copy`, whose name tells the converter its kind.
ConversionPlan PlanConversions(const CliOptions& options, MachineConverters& converters,
                               const std::vector<std::filesystem::path>& rom_folders,
                               const std::filesystem::path& standard_input_copy = {});

/// Converts the jobs one after the other, reporting "FILE -> IMAGE" on `out` for each image
/// written and "FILE: reason" on `err` for each failure; one failure does not stop the rest.
/// With `verify`, each image written is read back; after the last conversion the images are
/// booted (and Spectrum images run beside their snapshots) on `verify->threads` threads, and
/// their summary lines follow in input order, on `out` when passed, else on `err` (with
/// `verify->json` one JSON object each on `out`). Returns 0 when every image was written (and
/// passed), else 1.
int RunConversions(ConversionPlan& plan, MachineConverters& converters, CliHost& host,
                   std::ostream& out, std::ostream& err,
                   const std::optional<VerifyOptions>& verify = std::nullopt);

}  // namespace quillfen
