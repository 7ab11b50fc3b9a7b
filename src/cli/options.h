// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "inspection/machine.h"

namespace quillfen {

/// The command line, as written: every setting left out stays empty so that the defaults can be
/// taken from each program, as the window takes them after inspecting it.
struct CliOptions {
  std::vector<std::string> files;                    // as given: opened by this path; "-" stdin
  std::optional<Machine> machine;                    // -m/--machine
  std::optional<std::string> ram;                    // -r/--ram: "1K", "3K", "4K" or "16K"
  std::optional<bool> auto_run;                      // --autorun / --no-autorun (the last one wins)
  std::optional<std::string> size;                   // -s/--size: "16K", "32K", "48K" or "64K"
  std::optional<std::filesystem::path> rom_dir;      // --rom-dir
  std::optional<std::filesystem::path> output_file;  // -o/--output
  std::optional<std::filesystem::path> output_dir;   // --output-dir
  bool info = false;                                 // --info
  bool verify = false;                               // --verify: boot each image written
  std::optional<std::filesystem::path> verify_only;  // --verify-only IMAGE
  std::optional<std::filesystem::path> source;       // --source FILE, with --verify-only
  std::optional<std::uint64_t> dwell;                // --dwell T-STATES
  std::optional<std::uint64_t> t_state_limit;        // --t-state-limit T-STATES
  std::optional<std::uint64_t> run_frames;           // --run-frames FRAMES (0: no run)
  std::optional<unsigned> jobs;                      // -j/--jobs N: checks run at once
  std::optional<double> settle;                      // --settle SECONDS after a tape ends
  std::optional<std::uint16_t> stop_at;              // --stop-at ADDR: capture a tape there
  std::optional<std::filesystem::path> save_snapshot;  // --save-snapshot FILE.z80
  bool json = false;                                 // --json (with --info or a check)
  bool quiet = false;                                // -q/--quiet: only errors on stderr
  bool verbose = false;                              // -v/--verbose: the choices made, on stderr
  bool keep_extension = false;                       // --keep-extension: GAME.SNA -> GAME-SNA.bin
  bool help = false;                                 // -h/--help
  bool version = false;                              // --version
};

/// The options, or the one-line reason why the command line is not usable.
struct ParsedOptions {
  CliOptions options;
  std::string error;  // empty when the command line is usable
};

/// Reads the arguments (without the program name). Options and files may be mixed; "--" ends the
/// options. Long options take their value as the next argument or after "="; short ones as the
/// next argument or attached ("-r1K"). Values of -m, -r and -s are accepted in any case. A file
/// "-" is standard input; "-o -" standard output.
ParsedOptions ParseOptions(const std::vector<std::string>& args);

/// The text printed by --help: the synopsis and every option.
std::string HelpText();

}  // namespace quillfen
