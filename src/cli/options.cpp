// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

#include "cartridge/file_names.h"
#include "spectrum/tape_capture.h"

namespace quillfen {
namespace {

constexpr std::array<std::string_view, 4> kRamSizes = {"1K", "3K", "4K", "16K"};
constexpr std::array<std::string_view, 4> kCartridgeSizes = {"16K", "32K", "48K", "64K"};
constexpr std::uint64_t kMostRunFrames = 1'000'000;  // about five and a half hours of Spectrum time
constexpr std::uint64_t kMostJobs = 256;
constexpr double kLongestSettle = 600;  // seconds of Spectrum time after a tape has ended

template <std::size_t N>
bool IsOneOf(const std::string& value, const std::array<std::string_view, N>& allowed) {
  for (std::string_view entry : allowed) {
    if (value == entry) return true;
  }
  return false;
}

// The machine named `name` in any case ("zx81", "Spectrum").
std::optional<Machine> MachineForName(const std::string& name) {
  for (const Machine machine : {Machine::ZX80, Machine::ZX81, Machine::Spectrum})
    if (ToUpperAscii(name) == ToUpperAscii(MachineName(machine))) return machine;
  return std::nullopt;
}

// A decimal count from `least` to `most`, or nothing.
std::optional<std::uint64_t> Count(const std::string& value, std::uint64_t least,
                                   std::uint64_t most) {
  std::uint64_t count = 0;
  const char* end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, count);
  if (error != std::errc() || stop != end || count < least || count > most) return std::nullopt;
  return count;
}

// An address from 0 to 65535, in hexadecimal after "0x" or in decimal.
std::optional<std::uint16_t> Address(const std::string& value) {
  const bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
  const char* begin = value.data() + (hex ? 2 : 0);
  const char* end = value.data() + value.size();
  unsigned address = 0;
  const auto [stop, error] = std::from_chars(begin, end, address, hex ? 16 : 10);
  if (error != std::errc() || stop != end || address > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(address);
}

// Seconds from 0 to kLongestSettle, with a fraction or without.
std::optional<double> Seconds(const std::string& value) {
  double seconds = 0;
  const char* end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, seconds);
  if (error != std::errc() || stop != end || !(seconds >= 0 && seconds <= kLongestSettle))
    return std::nullopt;
  return seconds;
}

bool IsTapeFile(const std::string& file) {
  return spectrum::IsTapeExtension(ExtensionOf(BareFileName(file)));
}

// What one option does with its value ("" for a flag); returns the reason it is not usable, or "".
using OptionAction = std::string (*)(CliOptions& options, const std::string& name,
                                     const std::string& value);

struct OptionRow {
  std::string_view short_name;  // "-m", or "" when there is none
  std::string_view long_name;   // "--machine"
  bool takes_value;
  OptionAction apply;
};

std::string CountOfTStates(std::optional<std::uint64_t>& target, const std::string& name,
                           const std::string& value) {
  target = Count(value, 1, UINT64_MAX);
  return target ? "" : "option " + name + " needs a positive whole number of T-states";
}

// Every option the command line knows, in the order --help lists them.
constexpr std::array<OptionRow, 25> kOptionTable{{
    {"-m", "--machine", true,
     [](CliOptions& o, const std::string&, const std::string& value) -> std::string {
       o.machine = MachineForName(value);
       if (!o.machine) return "unknown machine \"" + value + "\" (use zx80, zx81 or spectrum)";
       return "";
     }},
    {"-r", "--ram", true,
     [](CliOptions& o, const std::string&, const std::string& value) -> std::string {
       o.ram = ToUpperAscii(value);
       if (!IsOneOf(*o.ram, kRamSizes))
         return "unknown RAM size \"" + value + "\" (use 1K, 3K, 4K or 16K)";
       return "";
     }},
    {"", "--autorun", false,
     [](CliOptions& o, const std::string&, const std::string&) -> std::string {
       o.auto_run = true;
       return "";
     }},
    {"", "--no-autorun", false,
     [](CliOptions& o, const std::string&, const std::string&) -> std::string {
       o.auto_run = false;
       return "";
     }},
    {"-s", "--size", true,
     [](CliOptions& o, const std::string&, const std::string& value) -> std::string {
       o.size = ToUpperAscii(value);
       if (!IsOneOf(*o.size, kCartridgeSizes))
         return "unknown cartridge size \"" + value + "\" (use 16K, 32K, 48K or 64K)";
       return "";
     }},
    {"", "--rom-dir", true,
     [](CliOptions& o, const std::string&, const std::string& value) -> std::string {
       o.rom_dir = value;
       return "";
     }},
    {"-o", "--output", true,
     [](CliOptions& o, const std::string&, const std::string& value) -> std::string {
       o.output_file = value;
       return "";
     }},
    {"", "--output-dir", true,
     [](CliOptions& o, const std::string&, const std::string& value) -> std::string {
       o.output_dir = value;
       return "";
     }},
    {"", "--keep-extension", false,
     [](CliOptions& o, const std::string&, const std::string&) -> std::string {
       o.keep_extension = true;
       return "";
     }},
    {"-q", "--quiet", false,
     [](CliOptions& o, const std::string&, const std::string&) -> std::string {
       o.quiet = true;
       return "";
     }},
    {"-v", "--verbose", false,
     [](CliOptions& o, const std::string&, const std::string&) -> std::string {
       o.verbose = true;
       return "";
     }},
    {"", "--info", false,
     [](CliOptions& o, const std::string&, const std::string&) -> std::string {
       o.info = true;
       return "";
     }},
    {"", "--json", false,
     [](CliOptions& o, const std::string&, const std::string&) -> std::string {
       o.json = true;
       return "";
     }},
    {"", "--verify", false,
     [](CliOptions& o, const std::string&, const std::string&) -> std::string {
       o.verify = true;
       return "";
     }},
    {"", "--verify-only", true,
     [](CliOptions& o, const std::string&, const std::string& value) -> std::string {
       o.verify_only = value;
       return "";
     }},
    {"", "--source", true,
     [](CliOptions& o, const std::string&, const std::string& value) -> std::string {
       o.source = value;
       return "";
     }},
    {"", "--dwell", true,
     [](CliOptions& o, const std::string& name, const std::string& value) {
       return CountOfTStates(o.dwell, name, value);
     }},
    {"", "--t-state-limit", true,
     [](CliOptions& o, const std::string& name, const std::string& value) {
       return CountOfTStates(o.t_state_limit, name, value);
     }},
    {"", "--run-frames", true,
     [](CliOptions& o, const std::string&, const std::string& value) -> std::string {
       o.run_frames = Count(value, 0, kMostRunFrames);
       if (!o.run_frames)
         return "option --run-frames needs a whole number of frames from 0 to " +
                std::to_string(kMostRunFrames);
       return "";
     }},
    {"-j", "--jobs", true,
     [](CliOptions& o, const std::string& name, const std::string& value) -> std::string {
       const std::optional<std::uint64_t> jobs = Count(value, 1, kMostJobs);
       if (!jobs)
         return "option " + name + " needs a number of checks from 1 to " +
                std::to_string(kMostJobs);
       o.jobs = static_cast<unsigned>(*jobs);
       return "";
     }},
    {"", "--settle", true,
     [](CliOptions& o, const std::string&, const std::string& value) -> std::string {
       o.settle = Seconds(value);
       if (!o.settle) return "option --settle needs a number of seconds from 0 to 600";
       return "";
     }},
    {"", "--stop-at", true,
     [](CliOptions& o, const std::string&, const std::string& value) -> std::string {
       o.stop_at = Address(value);
       if (!o.stop_at)
         return "option --stop-at needs an address from 0 to 65535 (0x8000 or 32768)";
       return "";
     }},
    {"", "--save-snapshot", true,
     [](CliOptions& o, const std::string&, const std::string& value) -> std::string {
       o.save_snapshot = value;
       return "";
     }},
    {"-h", "--help", false,
     [](CliOptions& o, const std::string&, const std::string&) -> std::string {
       o.help = true;
       return "";
     }},
    {"", "--version", false,
     [](CliOptions& o, const std::string&, const std::string&) -> std::string {
       o.version = true;
       return "";
     }},
}};

static_assert(std::ranges::all_of(kOptionTable,
                                  [](const OptionRow& option) { return option.apply != nullptr; }),
              "every row of the option table has its action");

const OptionRow* FindOption(const std::string& name) {
  for (const OptionRow& option : kOptionTable)
    if (name == option.long_name || (!option.short_name.empty() && name == option.short_name))
      return &option;
  return nullptr;
}

// Walks the arguments; each option that takes a value gets it from "--name=value", from the
// characters after a short option ("-r1K") or from the next argument.
class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) : args_(args) {}

  ParsedOptions Run() {
    ParsedOptions result;
    bool options_ended = false;
    for (index_ = 0; index_ < args_.size() && result.error.empty(); ++index_) {
      const std::string& arg = args_[index_];
      if (options_ended || arg == "-" || arg.empty() || arg[0] != '-') {
        result.options.files.push_back(arg);
      } else if (arg == "--") {
        options_ended = true;
      } else {
        result.error = TakeOption(arg, result.options);
      }
    }
    if (result.error.empty()) result.error = CheckCombination(result.options);
    return result;
  }

 private:
  // Applies one option; returns the reason it is not usable, or "".
  std::string TakeOption(const std::string& arg, CliOptions& options) {
    std::string name = arg;
    std::optional<std::string> attached;
    if (arg.rfind("--", 0) == 0) {
      const std::size_t equals = arg.find('=');
      if (equals != std::string::npos) {
        name = arg.substr(0, equals);
        attached = arg.substr(equals + 1);
      }
    } else if (arg.size() > 2) {
      name = arg.substr(0, 2);
      attached = arg.substr(2);
    }
    const OptionRow* option = FindOption(name);
    if (option == nullptr) return "unknown option " + arg;
    if (!option->takes_value) {
      if (attached) return "option " + name + " takes no value";
      return option->apply(options, name, "");
    }
    std::string value;
    if (attached) {
      value = *attached;
    } else if (index_ + 1 < args_.size()) {
      value = args_[++index_];
    } else {
      return "option " + name + " needs a value";
    }
    if (value.empty()) return "option " + name + " needs a value";
    return option->apply(options, name, value);
  }

  static std::string CheckCombination(const CliOptions& options) {
    if (options.help || options.version) return "";
    if (options.quiet && options.verbose) return "-q and -v cannot be used together";
    if (std::string error = CheckStandardStreams(options); !error.empty()) return error;
    if ((options.dwell || options.t_state_limit) && !options.verify && !options.verify_only)
      return "--dwell and --t-state-limit go with --verify or --verify-only";
    if (options.run_frames && !options.verify && !options.verify_only)
      return "--run-frames goes with --verify or --verify-only";
    if (options.jobs && !options.verify) return "-j goes with --verify";
    if (options.source && !options.verify_only) return "--source goes with --verify-only";
    if (options.verify_only) {
      if (!options.source)
        return "--verify-only needs --source FILE, the program the image was made from";
      if (!options.files.empty())
        return "--verify-only checks one image; give its program with --source";
      if (options.info || options.verify || options.size || options.output_file ||
          options.output_dir || options.save_snapshot)
        return "--verify-only takes only --source, -m, -r, --autorun, --no-autorun, --rom-dir, "
               "--dwell, --t-state-limit, --run-frames, --settle, --stop-at and --json";
      return CheckTapeOptions(options, {options.source->string()});
    }
    if (options.files.empty()) return "no input file given";
    if (std::string error = CheckTapeOptions(options, options.files); !error.empty()) return error;
    if (options.json && !options.info && !options.verify)
      return "--json goes with --info, --verify or --verify-only";
    if (options.info) {
      if (options.ram || options.size || options.auto_run || options.output_file ||
          options.output_dir || options.verify || options.save_snapshot)
        return "--info takes only -m, --rom-dir, --settle, --stop-at and --json besides the "
               "files";
      return "";
    }
    if (options.output_file && options.output_dir)
      return "-o and --output-dir cannot be used together";
    if (options.output_file && options.files.size() > 1)
      return "-o names the image of one input only; use --output-dir for several";
    return "";
  }

  // --settle, --stop-at and --save-snapshot, which load tapes, and never from standard input.
  static std::string CheckTapeOptions(const CliOptions& options,
                                      const std::vector<std::string>& inputs) {
    if (!options.settle && !options.stop_at && !options.save_snapshot) return "";
    if (std::ranges::count(inputs, "-") > 0)
      return "tapes are not read from standard input; give the tape's file name";
    if (!std::ranges::any_of(inputs, IsTapeFile))
      return "--settle, --stop-at and --save-snapshot go with a tape (.TAP, .TZX, .PZX or .CSW)";
    if (options.save_snapshot && inputs.size() > 1)
      return "--save-snapshot keeps the state captured from one tape; give a single tape";
    return "";
  }

  // "-" as the input and as the output.
  static std::string CheckStandardStreams(const CliOptions& options) {
    const auto inputs = std::ranges::count(options.files, "-");
    if (inputs > 1) return "standard input (-) can be read only once";
    if (inputs == 1 && !options.machine)
      return "standard input (-) needs -m zx80, -m zx81 or -m spectrum";
    if (inputs == 1 && !options.output_file && !options.info)
      return "standard input (-) has no name for its image; give -o FILE, or -o - for standard "
             "output";
    return "";
  }

  const std::vector<std::string>& args_;
  std::size_t index_ = 0;
};

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& args) { return Parser(args).Run(); }

namespace {

// The ROM image file names of the three machines, in machine order.
std::string RomNames(const std::string& separator, const std::string& last_separator) {
  return std::string(FactsOf(Machine::ZX80).rom_file_name) + separator +
         std::string(FactsOf(Machine::ZX81).rom_file_name) + last_separator +
         std::string(FactsOf(Machine::Spectrum).rom_file_name);
}

// ".P .81 .P81": a machine's program file extensions.
std::string Extensions(Machine machine) {
  std::string text;
  for (std::string_view extension : FactsOf(machine).extensions) {
    if (extension.empty()) continue;
    if (!text.empty()) text += ' ';
    text += '.';
    text += extension;
  }
  return text;
}

}  // namespace

std::string HelpText() {
  return R"(usage: quillfen-cli [options] FILE...
       quillfen-cli --info [--json] [-m MACHINE] [--rom-dir DIR] [--settle S]
                    [--stop-at ADDR] FILE...
       quillfen-cli --verify-only IMAGE --source FILE [-m MACHINE] [-r RAM] [--[no-]autorun]
                    [--rom-dir DIR] [--dwell T] [--t-state-limit T] [--run-frames N]
                    [--settle S] [--stop-at ADDR] [--json]

Turns ZX80 and ZX81 programs and 48K ZX Spectrum snapshots and tapes into ZX Interface 2 ROM
cartridge images (.bin), as the Quillfen window does. Each FILE is converted in turn; its image is named
after it in upper case with the extension .bin (game.p gives GAME.bin). FILE - reads standard
input (with -m, and -o FILE or -o -).

)" + std::string("ROM images (") +
         RomNames(", ", ", ") + R"() are looked for in --rom-dir, then
beside quillfen-cli, then in $XDG_DATA_HOME/quillfen (~/.local/share/quillfen), then in each
folder of $XDG_DATA_DIRS followed by /quillfen (/usr/local/share/quillfen, /usr/share/quillfen).

Options:
  -m, --machine zx80|zx81|spectrum
                      the machine of every FILE (default: from the extension: )" +
         Extensions(Machine::ZX81) + " ZX81,\n                      " + Extensions(Machine::ZX80) +
         " ZX80, " + Extensions(Machine::Spectrum) + R"( Spectrum)
  -r, --ram 1K|3K|4K|16K
                      RAM size the ZX80 or ZX81 program boots in: ZX80 1K, 3K or 16K; ZX81 1K, 4K
                      or 16K, among the sizes the program fits in (default: the size the window
                      selects: the smallest offered for a short program, else 16K)
      --autorun       start the ZX80 or ZX81 program by itself (default for the ZX80)
      --no-autorun    do not (default for a ZX81 program; a ZX81 program that starts by itself
                      always does)
  -s, --size 16K|32K|48K|64K
                      the cartridge size: 16K or 32K for a ZX80 program (16K only when the
                      program and ZX80 ROM fit in 16K), 48K or 64K for a snapshot (48K only when
                      the snapshot has an unused area); a ZX81 cartridge is always 32K
                      (default: 32K for the ZX80, 64K for the Spectrum)
      --rom-dir DIR   folder holding )" +
         RomNames(", ", " and ") + R"(, searched
                      before the usual ROM folders
  -o, --output FILE   write the image to FILE (one input only); -o - writes it to standard
                      output, which must not be a terminal
      --output-dir DIR
                      write the images into DIR, created when missing (default: the current folder)
      --keep-extension
                      name each image after its whole file name (GAME.SNA gives GAME-SNA.bin,
                      GAME.Z80 GAME-Z80.bin), so that files sharing a base name all convert
  -q, --quiet         print only errors
  -v, --verbose       also print what was chosen for each file: RAM size, cartridge layout, the
                      ROM image read and the image written (on stderr)
      --info          show what the window shows after picking each FILE; convert nothing
      --json          with --info: one JSON object per FILE, one per line; with --verify or
                      --verify-only: one JSON object per image on stdout instead of its line
      --verify        boot each image written on an emulated Spectrum 128 with the cartridge
                      switching banks and check the end state against FILE; a Spectrum image
                      then runs on beside a 48K Spectrum loaded with the snapshot (SPECTRUM_ROM.bin
                      from the ROM folder, no key pressed) and both must run alike: one line per
                      image, in input order after the conversions ("GAME.bin: boots, ..." on
                      stdout, "GAME.bin: FAILED: ..." on stderr)
      --run-frames N  with --verify or --verify-only: frames of 69888 T-states the resumed
                      snapshot runs beside the snapshot itself (default 250, five seconds;
                      0: boot check only)
  -j, --jobs N        with --verify: images checked at once (default: one per processor core)
      --verify-only IMAGE
                      check an image written earlier without writing anything; --source names
                      the program or snapshot it was made from, and -m, -r and --autorun or
                      --no-autorun must be as they were when it was written (the same defaults);
                      the 48K or 64K Spectrum layout is read from IMAGE
      --source FILE   with --verify-only: the program, snapshot or tape of IMAGE (a tape is
                      loaded again: give the --settle or --stop-at IMAGE was written with)
      --dwell T       with --verify or --verify-only: T-states the cartridge shows each bank
                      before it moves on (default 2000000)
      --t-state-limit T
                      with --verify or --verify-only: T-states after which a boot that has not
                      arrived has failed (default 200000000)
      --settle SECONDS
                      with a tape: seconds of Spectrum time the loaded program runs on after the
                      tape has ended, before it is captured (default 2, at most 600)
      --stop-at ADDR  with a tape: capture the machine as soon as its program counter reaches
                      ADDR (0x8000 or 32768) once the tape plays, instead of after settling
      --save-snapshot FILE
                      with one tape: also write the captured machine to FILE as a Z80 snapshot
                      (version 3), which converts to the same image
  -h, --help          show this help
      --version       show the version and the licence

A tape (.TAP, .TZX, .PZX, .CSW) is loaded on an emulated 48K Spectrum running SPECTRUM_ROM.bin
from the ROM folders: LOAD "" is typed after power-on, the tape plays with its own timing and
the machine is captured as a snapshot, which is converted.

On a terminal, a batch of more than 3 files, and a tape while it loads, show their progress on
stderr.

Exit status: 0 every image was written (and, with --verify or --verify-only, booted as
expected); 1 a conversion was refused or failed, or an image failed its check (the reason is on
stderr, after the file name); 2 the command line is not usable (nothing is written).
)";
}

}  // namespace quillfen
