#include "cli/options.h"

#include <array>
#include <string_view>

#include "cartridge/file_names.h"

namespace quillfen {
namespace {

constexpr std::array<std::string_view, 4> kRamSizes = {"1K", "3K", "4K", "16K"};
constexpr std::array<std::string_view, 4> kCartridgeSizes = {"16K", "32K", "48K", "64K"};

template <std::size_t N>
bool IsOneOf(const std::string& value, const std::array<std::string_view, N>& allowed) {
  for (std::string_view entry : allowed) {
    if (value == entry) return true;
  }
  return false;
}

std::optional<Machine> MachineForName(const std::string& name) {
  const std::string upper = ToUpperAscii(name);
  if (upper == "ZX80") return Machine::ZX80;
  if (upper == "ZX81") return Machine::ZX81;
  if (upper == "SPECTRUM") return Machine::Spectrum;
  return std::nullopt;
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

    auto flag = [&](bool& target) -> std::string {
      if (attached) return "option " + name + " takes no value";
      target = true;
      return "";
    };
    if (name == "-h" || name == "--help") return flag(options.help);
    if (name == "--version") return flag(options.version);
    if (name == "--info") return flag(options.info);
    if (name == "--json") return flag(options.json);
    if (name == "--autorun" || name == "--no-autorun") {
      if (attached) return "option " + name + " takes no value";
      options.auto_run = name == "--autorun";
      return "";
    }

    const bool takes_value = name == "-m" || name == "--machine" || name == "-r" ||
                             name == "--ram" || name == "-s" || name == "--size" || name == "-o" ||
                             name == "--output" || name == "--rom-dir" || name == "--output-dir";
    if (!takes_value) return "unknown option " + arg;
    std::string value;
    if (attached) {
      value = *attached;
    } else if (index_ + 1 < args_.size()) {
      value = args_[++index_];
    } else {
      return "option " + name + " needs a value";
    }
    if (value.empty()) return "option " + name + " needs a value";

    if (name == "-m" || name == "--machine") {
      options.machine = MachineForName(value);
      if (!options.machine) return "unknown machine \"" + value + "\" (use zx80, zx81 or spectrum)";
    } else if (name == "-r" || name == "--ram") {
      options.ram = ToUpperAscii(value);
      if (!IsOneOf(*options.ram, kRamSizes))
        return "unknown RAM size \"" + value + "\" (use 1K, 3K, 4K or 16K)";
    } else if (name == "-s" || name == "--size") {
      options.size = ToUpperAscii(value);
      if (!IsOneOf(*options.size, kCartridgeSizes))
        return "unknown cartridge size \"" + value + "\" (use 16K, 32K, 48K or 64K)";
    } else if (name == "-o" || name == "--output") {
      options.output_file = value;
    } else if (name == "--rom-dir") {
      options.rom_dir = value;
    } else {
      options.output_dir = value;
    }
    return "";
  }

  static std::string CheckCombination(const CliOptions& options) {
    if (options.help || options.version) return "";
    if (options.files.empty()) return "no input file given";
    if (options.json && !options.info) return "--json goes with --info";
    if (options.info) {
      if (options.ram || options.size || options.auto_run || options.output_file ||
          options.output_dir)
        return "--info takes only -m, --rom-dir and --json besides the files";
      return "";
    }
    if (options.output_file && options.output_dir)
      return "-o and --output-dir cannot be used together";
    if (options.output_file && options.files.size() > 1)
      return "-o names the image of one input only; use --output-dir for several";
    return "";
  }

  const std::vector<std::string>& args_;
  std::size_t index_ = 0;
};

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& args) { return Parser(args).Run(); }

std::string HelpText() {
  return R"(usage: quillfen-cli [options] FILE...
       quillfen-cli --info [--json] [-m MACHINE] [--rom-dir DIR] FILE...

Turns ZX80 and ZX81 programs and 48K ZX Spectrum snapshots into ZX Interface 2 ROM cartridge
images (.bin), as the Quillfen window does. Each FILE is converted in turn; its image is named
after it in upper case with the extension .bin (game.p gives GAME.bin).

Options:
  -m, --machine zx80|zx81|spectrum
                      the machine of every FILE (default: from the extension: .P .81 .P81 ZX81,
                      .O .80 .P80 ZX80, .SNA .Z80 Spectrum)
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
      --rom-dir DIR   folder holding ZX80_ROM.bin, ZX81_ROM.bin and SPECTRUM_ROM.bin
                      (default: the folder of quillfen-cli)
  -o, --output FILE   write the image to FILE (one input only)
      --output-dir DIR
                      write the images into DIR, created when missing (default: the current folder)
      --info          show what the window shows after picking each FILE; convert nothing
      --json          with --info: one JSON object per FILE, one per line
  -h, --help          show this help
      --version       show the version

Exit status: 0 every image was written; 1 a conversion was refused or failed (the reason is on
stderr, after the file name); 2 the command line is not usable (nothing is written).
)";
}

}  // namespace quillfen
