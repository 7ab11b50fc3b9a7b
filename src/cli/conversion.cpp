// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/conversion.h"

#include <algorithm>
#include <exception>
#include <map>

#include "cartridge/cartridge_maker.h"
#include "cartridge/error.h"
#include "cartridge/file_names.h"
#include "cartridge/rom_folders.h"
#include "cli/image_verification.h"
#include "inspection/program_inspection.h"
#include "inspection/ram_offer.h"

namespace quillfen {
namespace {

std::string JoinSizes(const std::vector<std::string>& sizes) {
  std::string text;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (i > 0) text += i + 1 == sizes.size() ? " or " : ", ";
    text += sizes[i];
  }
  return text;
}

// The RAM entry: -r when the window would offer it for this program, else the selected entry.
std::string SettleRam(const CliOptions& options, const ConversionJob& job,
                      const ProgramInspection& inspection) {
  const std::vector<std::string>& entries = inspection.ram_offer.entries;
  if (job.machine == Machine::Spectrum) {
    if (options.ram) return "-r does not apply to a Spectrum snapshot: it always runs in 48K";
    return "";
  }
  if (options.ram && std::find(entries.begin(), entries.end(), *options.ram) == entries.end()) {
    return "RAM size " + *options.ram + " is not offered for this " +
           std::to_string(inspection.program_length) + "-byte " + MachineName(job.machine) +
           " program; it fits in " + JoinSizes(entries);
  }
  return "";
}

// The answer to the cartridge-size question, and whether the question would be asked at all
// when -s asks for the smaller cartridge. Returns the usage error, or "".
std::string SettleSize(const CliOptions& options, const ProgramInspection& inspection,
                       ConversionJob& job) {
  job.size_answer = Host::Answer::No;
  if (!options.size) return "";
  const std::string& size = *options.size;
  switch (job.machine) {
    case Machine::ZX80:
      if (size == "32K") return "";
      if (size != "16K") return "a ZX80 cartridge is 16K or 32K, not " + size;
      // Without ZX80_ROM.bin nothing can be judged; the conversion then reports the missing ROM.
      if (inspection.zx80_rom_end &&
          !ZX80FitsIn16K(inspection.program_length, *inspection.zx80_rom_end, job.auto_run))
        return "no 16K cartridge: the program does not fit in 16K";
      job.size_answer = Host::Answer::Yes;
      return "";
    case Machine::ZX81:
      if (size == "32K") return "";
      return "a ZX81 cartridge is always 32K, not " + size;
    case Machine::Spectrum:
      if (size == "64K") return "";
      if (size != "48K") return "a Spectrum cartridge is 48K or 64K, not " + size;
      if (!inspection.unused_area) return "no 48K cartridge: no unused area was found";
      job.size_answer = Host::Answer::Yes;
      return "";
  }
  return "";
}

// Settles one accepted program's choices; returns the usage errors found.
std::vector<std::string> SettleChoices(const CliOptions& options,
                                       const ProgramInspection& inspection, ConversionJob& job) {
  std::vector<std::string> errors;
  if (std::string error = SettleRam(options, job, inspection); !error.empty())
    errors.push_back(error);
  else if (job.machine != Machine::Spectrum)
    job.ram_text = options.ram.value_or(
        inspection.ram_offer.entries.at(static_cast<std::size_t>(inspection.ram_offer.selected)));

  if (job.machine == Machine::ZX80) job.auto_run = options.auto_run.value_or(true) ? 1 : 0;
  // A ZX81 program that starts by itself keeps its tick: the window disables the box.
  if (job.machine == Machine::ZX81)
    job.auto_run = inspection.auto_run_fixed || options.auto_run.value_or(false) ? 1 : 0;

  if (std::string error = SettleSize(options, inspection, job); !error.empty())
    errors.push_back(error);
  return errors;
}

// "ZX81, 16K RAM, 32K cartridge, ROM /roms/ZX81_ROM.bin, image /out/GAME.bin", as -v shows it.
std::string ChoicesText(const ConversionJob& job, const CliHost& host,
                        const std::filesystem::path& output_path) {
  static constexpr const char* kLayouts[][2] = {{"32K", "16K"}, {"32K", "32K"}, {"64K", "48K"}};
  const auto machine = static_cast<std::size_t>(job.machine);
  const std::optional<std::filesystem::path> rom =
      FindRomFile(host.RomFolders(), std::string(FactsOf(job.machine).rom_file_name));
  return MachineName(job.machine) + ", " +
         (job.machine == Machine::Spectrum ? "48K" : job.ram_text) + " RAM, " +
         kLayouts[machine][job.size_answer == Host::Answer::Yes] + " cartridge, ROM " +
         (rom ? rom->string() : std::string(FactsOf(job.machine).rom_file_name) + " not found") +
         ", image " + host.ShownOutput(output_path);
}

bool Load(MachineConverters& converters, const ConversionJob& job) {
  switch (job.machine) {
    case Machine::ZX80:
      return converters.LoadZX80Program(job.path);
    case Machine::ZX81:
      return converters.LoadZX81Program(job.path);
    case Machine::Spectrum:
      break;
  }
  return converters.LoadSnapshot(job.path);
}

bool Generate(MachineConverters& converters, const ConversionJob& job) {
  std::int32_t ram_size = RamSizeForText(job.machine, job.ram_text);
  switch (job.machine) {
    case Machine::ZX80:
      return converters.GenerateZX80Cartridge(job.file_name, ram_size, job.auto_run);
    case Machine::ZX81:
      return converters.GenerateZX81Cartridge(job.file_name, ram_size, job.auto_run);
    case Machine::Spectrum:
      break;
  }
  return converters.GenerateSpectrumCartridge(job.file_name, ram_size);
}

}  // namespace

std::optional<Machine> MachineOf(const CliOptions& options, const std::string& file) {
  if (options.machine) return options.machine;
  return MachineForFileName(BareFileName(file));
}

ConversionPlan PlanConversions(const CliOptions& options, MachineConverters& converters,
                               const std::vector<std::filesystem::path>& rom_folders,
                               const std::filesystem::path& standard_input_copy) {
  ConversionPlan plan;
  // First what the names alone tell, so that nothing is read when the command line is unusable.
  std::map<std::string, std::size_t> writer_of;  // output name -> the index of the job writing it
  for (const std::string& file : options.files) {
    ConversionJob job;
    const bool from_standard_input = file == "-";
    job.shown_name = from_standard_input ? kStandardInputName : file;
    job.path = from_standard_input ? standard_input_copy : std::filesystem::path(file);
    const std::optional<Machine> machine = MachineOf(options, file);
    if (!machine) {
      plan.usage_errors.push_back(file + ": " + kUnknownMachine);
      continue;
    }
    job.machine = *machine;
    job.file_name = ToUpperAscii(BareFileName(job.path.string()));
    try {
      job.output_name = options.keep_extension ? OutputNameKeepingExtension(job.file_name)
                                               : OutputNameFor(job.file_name);
    } catch (const Error&) {
      job.refusal = "no image name can be made from a file name without \".\"";
    }
    if (!job.output_name.empty()) {
      auto [entry, inserted] = writer_of.emplace(job.output_name, plan.jobs.size());
      if (!inserted) {
        const ConversionJob& first = plan.jobs[entry->second];
        std::string error =
            first.shown_name + " and " + job.shown_name + " would both write " + job.output_name;
        if (!options.keep_extension && first.file_name != job.file_name)
          error += " (--keep-extension names them " + OutputNameKeepingExtension(first.file_name) +
                   " and " + OutputNameKeepingExtension(job.file_name) + ")";
        plan.usage_errors.push_back(error);
      }
    }
    plan.jobs.push_back(std::move(job));
  }
  if (!plan.usage_errors.empty()) return plan;

  for (std::size_t i = 0; i < plan.jobs.size(); ++i) {
    ConversionJob& job = plan.jobs[i];
    if (!job.refusal.empty()) continue;
    const ProgramInspection inspection =
        InspectProgram(converters, job.machine, job.path, rom_folders);
    plan.loaded_job[static_cast<std::size_t>(job.machine)] = static_cast<std::ptrdiff_t>(i);
    if (!inspection.refusal.empty()) {
      job.refusal = inspection.refusal;
      continue;
    }
    for (const std::string& error : SettleChoices(options, inspection, job))
      plan.usage_errors.push_back(job.shown_name + ": " + error);
  }
  return plan;
}

namespace {

// One run over the plan's jobs: each job is loaded again when a later input replaced its program,
// written, and (with --verify) read back and queued for its check.
class ConversionRun {
 public:
  ConversionRun(ConversionPlan& plan, MachineConverters& converters, CliHost& host,
                std::ostream& out, std::ostream& err, const std::optional<VerifyOptions>& verify)
      : plan_(plan), converters_(converters), host_(host), out_(out), err_(err), verify_(verify) {}

  int Run() {
    // Conversion is serial (each module holds one program); the checks of the images written
    // run afterwards on plain copies, several at once, and report in input order.
    for (std::size_t i = 0; i < plan_.jobs.size(); ++i) {
      const ConversionJob& job = plan_.jobs[i];
      host_.ShowProgress(i, plan_.jobs.size(), job.shown_name);
      if (!job.refusal.empty()) {
        Fail(job, job.refusal);
        continue;
      }
      if (!LoadStep(i)) continue;
      const std::optional<std::filesystem::path> written = WriteStep(job);
      if (written && verify_) QueueCheck(job, *written);
    }
    host_.EndProgress();
    if (verify_) ReportChecks();
    return status_;
  }

 private:
  void Fail(const ConversionJob& job, const std::string& reason) {
    err_ << job.shown_name << ": " << OneLine(reason) << "\n";
    status_ = 1;
  }

  // Each module holds one program: reads job `i`'s again when a later input replaced it.
  bool LoadStep(std::size_t i) {
    const ConversionJob& job = plan_.jobs[i];
    std::ptrdiff_t& loaded = plan_.loaded_job[static_cast<std::size_t>(job.machine)];
    if (loaded == static_cast<std::ptrdiff_t>(i)) return true;
    loaded = static_cast<std::ptrdiff_t>(i);
    try {
      if (Load(converters_, job)) return true;
      Fail(job, "the file changed while it was being converted and is no longer accepted");
    } catch (const std::exception& error) {
      Fail(job, error.what());
    }
    return false;
  }

  // Builds and writes the image; its path when it was written.
  std::optional<std::filesystem::path> WriteStep(const ConversionJob& job) {
    host_.BeginFile(job.shown_name, job.size_answer, job.output_name);
    const std::filesystem::path output_path = host_.OutputPath(job.output_name);
    host_.ShowChoices(ChoicesText(job, host_, output_path));
    bool written = false;
    try {
      written = Generate(converters_, job);
    } catch (const std::exception& error) {
      Fail(job, error.what());
      return std::nullopt;
    } catch (...) {
      Fail(job, "the conversion failed");
      return std::nullopt;
    }
    if (written) {
      out_ << job.shown_name << " -> " << host_.ShownOutput(output_path) << "\n";
      return output_path;
    }
    if (!host_.ErrorShown())
      Fail(job, "no cartridge image was written (building it or writing " +
                    host_.ShownOutput(output_path) + " failed)");
    status_ = 1;
    return std::nullopt;
  }

  // The file as written is what gets burnt, so that is what boots.
  void QueueCheck(const ConversionJob& job, const std::filesystem::path& output_path) {
    Bytes image;
    if (!ReadWholeFile(image, output_path)) {
      Fail(job, "the image " + output_path.string() + " cannot be read back to verify it");
      return;
    }
    const bool forty_eight_k =
        job.machine == Machine::Spectrum && job.size_answer == Host::Answer::Yes;
    checks_.push_back(PrepareVerification(converters_, job, host_.ShownOutput(output_path),
                                          std::move(image), forty_eight_k, host_.RomFolders(),
                                          *verify_));
  }

  void ReportChecks() {
    for (const ImageCheck& check : RunVerifications(checks_, verify_->threads)) {
      PrintCheck(check, verify_->json, out_, err_);
      if (!check.passed) status_ = 1;
    }
  }

  ConversionPlan& plan_;
  MachineConverters& converters_;
  CliHost& host_;
  std::ostream& out_;
  std::ostream& err_;
  const std::optional<VerifyOptions>& verify_;
  std::vector<ImageVerification> checks_;
  int status_ = 0;
};

}  // namespace

int RunConversions(ConversionPlan& plan, MachineConverters& converters, CliHost& host,
                   std::ostream& out, std::ostream& err,
                   const std::optional<VerifyOptions>& verify) {
  return ConversionRun(plan, converters, host, out, err, verify).Run();
}

}  // namespace quillfen
