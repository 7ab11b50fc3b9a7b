// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <sstream>
#include <system_error>

#include "cartridge/rom_folders.h"
#include "cli/cli_host.h"
#include "cli/conversion.h"
#include "cli/image_verification.h"
#include "cli/info_report.h"
#include "cli/options.h"
#include "cli/private_folder.h"
#include "cli/progress_line.h"
#include "cli/standard_streams.h"
#include "cli/tape_loading.h"
#include "inspection/converters.h"
#include "inspection/program_inspection.h"
#include "verify/spectrum_boot_check.h"
#include "version.h"

namespace quillfen {
namespace {

constexpr int kAllWritten = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

// A batch longer than this shows its progress on a terminal.
constexpr std::size_t kLongestBatchWithoutProgress = 3;

int UsageError(std::ostream& err, const std::string& message) {
  err << "quillfen-cli: " << OneLine(message) << " (see quillfen-cli --help)\n";
  return kUsageError;
}

// --rom-dir first, then the folders the window searches too.
std::vector<std::filesystem::path> RomFoldersOf(const CliOptions& options) {
  std::vector<std::filesystem::path> folders =
      RomSearchFolders(CliHost::ExecutableFolder(), DataFolderSettingsOfProcess());
  if (options.rom_dir) {
    std::erase(folders, *options.rom_dir);
    folders.insert(folders.begin(), *options.rom_dir);
  }
  return folders;
}

std::optional<VerifyOptions> VerifyOptionsOf(const CliOptions& options) {
  if (!options.verify && !options.verify_only) return std::nullopt;
  VerifyOptions verify;
  if (options.dwell) verify.dwell_t_states = *options.dwell;
  if (options.t_state_limit) verify.t_state_limit = *options.t_state_limit;
  if (options.run_frames) verify.run_frames = *options.run_frames;
  if (options.jobs) verify.threads = *options.jobs;
  verify.json = options.json;
  return verify;
}

// Where "-" is read from: the copy of standard input, made once the command line is usable.
struct StandardInput {
  std::optional<PrivateFolder> folder;
  std::filesystem::path copy;
};

// Copies standard input when a file is "-"; false, after the message, when it cannot be read.
bool TakeStandardInput(const CliOptions& options, std::istream& in, StandardInput& input,
                       std::ostream& err) {
  if (std::ranges::find(options.files, "-") == options.files.end()) return true;
  input.folder.emplace();
  std::string error;
  input.copy = CopyStandardInput(in, *options.machine, *input.folder, error);
  if (input.copy.empty()) err << "quillfen-cli: " << error << "\n";
  return !input.copy.empty();
}

// --info: what the window shows after picking each file; nothing is converted.
// "16384 or 32768": the sizes of a machine's cartridge images.
std::string ImageSizesText(const MachineFacts& facts) {
  std::string text;
  for (std::int32_t size : facts.image_sizes) {
    if (size == 0) continue;
    if (!text.empty()) text += " or ";
    text += std::to_string(size);
  }
  return text;
}

// Whether a tape is among the inputs: its loading shows its progress on a terminal.
bool AnyTape(const CliOptions& options) {
  return std::ranges::any_of(options.files, IsTapeFileName);
}

int RunInfo(const CliOptions& options, std::istream& in, std::ostream& plain_out,
            std::ostream& plain_err, CliTerminals terminals) {
  std::optional<ProgressLine> progress;
  if (terminals.err_is_terminal && AnyTape(options)) progress.emplace(plain_err, plain_out);
  std::ostream& out = progress ? progress->Report() : plain_out;
  std::ostream& err = progress ? progress->Messages() : plain_err;
  for (const std::string& file : options.files) {
    if (!MachineOf(options, file)) {
      err << file << ": " << kUnknownMachine << "\n";
      return kUsageError;
    }
  }
  StandardInput input;
  if (!TakeStandardInput(options, in, input, err)) return kFailed;
  CliHost host(err, RomFoldersOf(options), ".", std::nullopt);
  CliTapeLoading tapes(options, progress ? &*progress : nullptr);
  MachineConverters converters(host);
  tapes.InstallIn(converters);
  int status = kAllWritten;
  for (const std::string& file : options.files) {
    const bool from_input = file == "-";
    const std::string shown = from_input ? kStandardInputName : file;
    const ProgramInspection inspection =
        InspectProgram(converters, *MachineOf(options, file),
                       from_input ? input.copy : std::filesystem::path(file), host.RomFolders());
    if (!inspection.refusal.empty()) {
      err << shown << ": " << inspection.refusal << "\n";
      status = kFailed;
    }
    if (options.json) {
      out << InfoJson(shown, inspection) << "\n";
    } else if (inspection.refusal.empty()) {
      out << InfoText(shown, inspection);
    }
  }
  if (progress) progress->Clear();
  return status;
}

int RunConvert(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err,
               CliTerminals terminals) {
  std::filesystem::path output_folder;
  std::error_code error;
  if (options.output_dir) {
    output_folder = *options.output_dir;
  } else {
    output_folder = std::filesystem::current_path(error);
    if (error) output_folder = ".";
  }
  // -o -: the image goes to a private file first, and to standard output once all went well.
  const bool to_standard_output = options.output_file == "-";
  std::optional<PrivateFolder> image_folder;
  std::optional<std::filesystem::path> output_file = options.output_file;
  if (to_standard_output) output_file = image_folder.emplace() / "IMAGE.bin";

  std::optional<ProgressLine> progress;
  if (terminals.err_is_terminal && !options.quiet &&
      (options.files.size() > kLongestBatchWithoutProgress || AnyTape(options)))
    progress.emplace(err, out);
  std::ostream& messages = progress ? progress->Messages() : err;
  std::ostream nowhere(nullptr);  // takes the lines -q leaves out
  std::ostream& report = options.quiet        ? nowhere
                         : to_standard_output ? messages
                         : progress           ? progress->Report()
                                              : out;

  CliHost host(messages, RomFoldersOf(options), output_folder, output_file);
  host.SetReporting(options.verbose, progress ? &*progress : nullptr);
  if (to_standard_output) host.ShowOutputAs("standard output");
  CliTapeLoading tapes(options, progress ? &*progress : nullptr);
  MachineConverters converters(host);
  tapes.InstallIn(converters);

  StandardInput input;
  if (!TakeStandardInput(options, in, input, err)) return kFailed;
  ConversionPlan plan = PlanConversions(options, converters, host.RomFolders(), input.copy);
  if (!plan.usage_errors.empty()) {
    for (const std::string& message : plan.usage_errors) err << OneLine(message) << "\n";
    err << "quillfen-cli: nothing was written (see quillfen-cli --help)\n";
    return kUsageError;
  }
  if (options.save_snapshot && plan.jobs.front().refusal.empty()) {
    std::string reason;
    if (!SaveCapturedSnapshot(converters.Snapshot(), *options.save_snapshot, reason)) {
      if (progress) progress->Clear();
      err << plan.jobs.front().shown_name << ": the captured state cannot be saved: "
          << OneLine(reason) << "\n";
      return kFailed;
    }
    report << plan.jobs.front().shown_name << " -> " << options.save_snapshot->string()
           << " (captured state)\n";
  }
  if (options.output_dir) {
    std::filesystem::create_directories(*options.output_dir, error);
    if (!std::filesystem::is_directory(*options.output_dir)) {
      err << "quillfen-cli: cannot create the folder " << options.output_dir->string()
          << (error ? ": " + error.message() : std::string()) << "\n";
      return kFailed;
    }
  }
  const int status =
      RunConversions(plan, converters, host, report, messages, VerifyOptionsOf(options));
  if (!to_standard_output || status != kAllWritten) return status;
  std::string reason;
  if (CopyImageToStandardOutput(*output_file, out, reason)) return kAllWritten;
  err << "quillfen-cli: " << reason << "\n";
  return kFailed;
}

// --verify-only: the source is read and settled as for a conversion, then the image written
// earlier is booted against it; nothing is written.
int RunVerifyOnly(const CliOptions& options, std::ostream& out, std::ostream& err) {
  CliHost host(err, RomFoldersOf(options), ".", std::nullopt);
  CliTapeLoading tapes(options, nullptr);
  MachineConverters converters(host);
  tapes.InstallIn(converters);
  CliOptions source_options = options;
  source_options.files = {options.source->string()};
  const ConversionPlan plan = PlanConversions(source_options, converters, host.RomFolders());
  if (!plan.usage_errors.empty()) {
    for (const std::string& message : plan.usage_errors) err << OneLine(message) << "\n";
    err << "quillfen-cli: nothing was checked (see quillfen-cli --help)\n";
    return kUsageError;
  }
  const ConversionJob& job = plan.jobs.front();
  if (!job.refusal.empty()) {
    err << job.shown_name << ": " << job.refusal << "\n";
    return kFailed;
  }
  const std::string image_name = options.verify_only->string();
  Bytes image;
  if (!ReadWholeFile(image, *options.verify_only)) {
    err << image_name << ": the image cannot be read\n";
    return kFailed;
  }
  if (const MachineFacts& facts = FactsOf(job.machine); !facts.IsImageSize(image.size())) {
    err << image_name << ": holds " << image.size() << " bytes, not a " << facts.name
        << " cartridge image (" << ImageSizesText(facts) << " bytes)\n";
    return kFailed;
  }
  // The image carries the ZX81 program as the converter rewrote it for auto-run.
  if (job.machine == Machine::ZX81) converters.ZX81().ApplyZX81AutoRun(job.auto_run);
  // The 64K Spectrum image starts with its first RAM block, the 48K one with its code.
  const bool forty_eight_k = job.machine == Machine::Spectrum && SpectrumStartBank(image) == 0;
  const ImageCheck check = VerifyImage(converters, job, image_name, image, forty_eight_k,
                                       host.RomFolders(), *VerifyOptionsOf(options));
  PrintCheck(check, options.json, out, err);
  return check.passed ? kAllWritten : kFailed;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::istringstream no_input;
  return RunCli(args, no_input, out, err, {});
}

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, CliTerminals terminals) {
  try {
    const ParsedOptions parsed = ParseOptions(args);
    if (!parsed.error.empty()) return UsageError(err, parsed.error);
    const CliOptions& options = parsed.options;
    if (options.help) {
      out << HelpText();
      return kAllWritten;
    }
    if (options.version) {
      out << "quillfen-cli " << kVersionText << "\n" << kCopyrightAndLicenceText;
      return kAllWritten;
    }
    if (options.output_file == "-" && terminals.out_is_terminal)
      return UsageError(err,
                        "-o - would write the image to the terminal; send standard output to a "
                        "file or a pipe");
    if (options.verify_only) return RunVerifyOnly(options, out, err);
    return options.info ? RunInfo(options, in, out, err, terminals)
                        : RunConvert(options, in, out, err, terminals);
  } catch (const std::exception& error) {
    err << "quillfen-cli: " << OneLine(error.what()) << "\n";
  } catch (...) {
    err << "quillfen-cli: unexpected failure\n";
  }
  return kFailed;
}

}  // namespace quillfen
