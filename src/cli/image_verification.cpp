// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/image_verification.h"

#include <exception>

#include "cartridge/cartridge_maker.h"
#include "cartridge/file_names.h"
#include "cartridge/rom_folders.h"
#include "cli/cli_host.h"
#include "cli/json_text.h"
#include "inspection/ram_offer.h"
#include "spectrum/spectrum_machine.h"
#include "verify/run_comparison.h"
#include "verify/state_comparison.h"
#include "verify/verify_summary.h"
#include "verify/zx80_boot_check.h"
#include "verify/zx81_boot_check.h"

namespace quillfen {
namespace {

void PrepareSpectrum(const SpectrumProcessing& spectrum, bool forty_eight_k,
                     const std::vector<std::filesystem::path>& rom_folders, ImageVerification& v) {
  v.snapshot = spectrum.State();
  v.kind = spectrum.Kind();
  const std::optional<std::filesystem::path> rom_path =
      FindRomFile(rom_folders, std::string(spectrum::kMachine.rom_file_name));
  if (Bytes rom; rom_path && ReadWholeFile(rom, *rom_path)) v.run.rom = rom;
  v.run.frames = v.options.run_frames;
  v.run.forty_eight_k = forty_eight_k;
}

std::string DivergenceJson(const RunDivergence& d) {
  return JsonObject()
      .Add("frame", std::to_string(d.frame))
      .Add("t_states", std::to_string(d.t_states))
      .Add("pc", JsonString(HexWord(d.pc)))
      .Add("instruction", JsonString(InstructionText(d)))
      .Add("difference", JsonString(d.difference))
      .Add("address", d.read_address ? JsonString(HexWord(*d.read_address)) : "null")
      .Add("cause", d.cause.empty() ? "null" : JsonString(d.cause))
      .Close();
}

std::string RunJson(const std::optional<RunReport>& run) {
  if (!run) return "null";
  return JsonObject()
      .Add("frames", std::to_string(run->frames))
      .Add("t_states", std::to_string(run->t_states))
      .Add("agreed", JsonBool(run->Agreed()))
      .Add("unavailable", run->unavailable.empty() ? "null" : JsonString(run->unavailable))
      .Add("divergence", run->divergence ? DivergenceJson(*run->divergence) : "null")
      .Close();
}

ImageCheck Checked(const std::string& image_name, const VerifyResult& result) {
  ImageCheck check{result.Passed(), FormatVerifySummary(image_name, result), ""};
  check.json = JsonObject()
                   .Add("image", JsonString(image_name))
                   .Add("passed", JsonBool(check.passed))
                   .Add("booted", JsonBool(result.booted))
                   .Add("boot_t_states", std::to_string(result.t_states))
                   .Add("failure", result.failure.empty() ? "null" : JsonString(result.failure))
                   .Add("mismatches", JsonStrings(result.mismatches))
                   .Add("notes", JsonStrings(result.notes))
                   .Add("restored", result.booted && result.mismatches.empty()
                                        ? JsonString(result.success_text)
                                        : "null")
                   .Add("run", RunJson(result.run))
                   .Add("line", JsonString(check.line))
                   .Close();
  return check;
}

ImageCheck CannotBeChecked(const std::string& image_name, const std::string& reason) {
  ImageCheck check{false, image_name + ": FAILED: cannot be checked: " + OneLine(reason), ""};
  check.json = JsonObject()
                   .Add("image", JsonString(image_name))
                   .Add("passed", "false")
                   .Add("error", JsonString(OneLine(reason)))
                   .Add("line", JsonString(check.line))
                   .Close();
  return check;
}

}  // namespace

ImageVerification PrepareVerification(MachineConverters& converters, const ConversionJob& job,
                                      const std::string& image_name, Bytes image,
                                      bool forty_eight_k,
                                      const std::vector<std::filesystem::path>& rom_folders,
                                      const VerifyOptions& options) {
  ImageVerification v;
  v.image_name = image_name;
  v.machine = job.machine;
  v.image = std::move(image);
  v.options = options;
  try {
    const std::int32_t ram_size = RamSizeForText(job.machine, job.ram_text);
    switch (job.machine) {
      case Machine::ZX81:
        v.program = converters.ZX81().ZX81Program();
        v.ramtop = ZX81Ramtop(ram_size, v.program.size());
        break;
      case Machine::ZX80:
        v.program = converters.ZX80().ZX80Program();
        v.ramtop = ZX80Ramtop(ram_size, v.program.size(), v.image.size());
        v.auto_run = job.auto_run;
        break;
      case Machine::Spectrum:
        PrepareSpectrum(converters.Spectrum(), forty_eight_k, rom_folders, v);
        break;
    }
  } catch (const std::exception& error) {
    v.error = error.what();
  }
  return v;
}

namespace {

// Made on the calling thread: naming an instruction uses z80ex's disassembler.
ImageCheck Report(const ImageVerification& v, const CheckOutcome& outcome) {
  if (!outcome.error.empty()) return CannotBeChecked(v.image_name, outcome.error);
  return Checked(v.image_name, outcome.result);
}

}  // namespace

std::vector<ImageCheck> RunVerifications(const std::vector<ImageVerification>& verifications,
                                         unsigned threads) {
  const std::vector<CheckOutcome> outcomes = CheckImages(verifications, threads);
  std::vector<ImageCheck> checks;
  for (std::size_t i = 0; i < verifications.size(); ++i)
    checks.push_back(Report(verifications[i], outcomes[i]));
  return checks;
}

void PrintCheck(const ImageCheck& check, bool json, std::ostream& out, std::ostream& err) {
  if (json)
    out << check.json << "\n";
  else
    (check.passed ? out : err) << check.line << "\n";
}

ImageCheck VerifyImage(MachineConverters& converters, const ConversionJob& job,
                       const std::string& image_name, std::span<const std::uint8_t> image,
                       bool forty_eight_k, const std::vector<std::filesystem::path>& rom_folders,
                       const VerifyOptions& options) {
  const ImageVerification v =
      PrepareVerification(converters, job, image_name, Bytes(image.begin(), image.end()),
                          forty_eight_k, rom_folders, options);
  return Report(v, CheckImage(v));
}

}  // namespace quillfen
