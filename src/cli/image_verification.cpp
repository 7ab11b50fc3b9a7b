#include "cli/image_verification.h"

#include <exception>
#include <optional>

#include "cartridge/cartridge_maker.h"
#include "cartridge/file_names.h"
#include "cli/cli_host.h"
#include "inspection/ram_offer.h"
#include "spectrum/spectrum_layout.h"
#include "spectrum/spectrum_startup_code.h"
#include "verify/spectrum_boot_check.h"
#include "verify/verify_summary.h"
#include "verify/zx80_boot_check.h"
#include "verify/zx81_boot_check.h"

namespace quillfen {
namespace {

VerifyResult VerifySpectrum(const SpectrumProcessing& spectrum, const ConversionJob& job,
                            std::span<const std::uint8_t> image, bool forty_eight_k,
                            const std::filesystem::path& rom_folder, const VerifyOptions& options) {
  const SnapshotState& snapshot = spectrum.State();
  std::optional<Bytes> internal_rom;
  if (Bytes rom; ReadWholeFile(rom, rom_folder / "SPECTRUM_ROM.bin")) internal_rom = rom;
  // The 48K cartridge leaves its stage 2 at the start of the unused area, so those bytes differ.
  std::optional<AddressRange> startup_code;
  if (forty_eight_k) {
    std::int32_t top = 0;
    std::int16_t page = 0;
    const std::int32_t low = spectrum::FindUnusedArea(snapshot.Memory, top, page);
    const auto kind = spectrum::SnapshotKindOf(job.file_name);
    if (low != 0) startup_code = AddressRange{low, low + spectrum::Stage2Length48K(kind)};
  }
  return VerifySpectrumImage(image, snapshot, ExtensionOf(job.file_name), internal_rom,
                             startup_code, options);
}

}  // namespace

ImageCheck VerifyImage(MachineConverters& converters, const ConversionJob& job,
                       const std::string& image_name, std::span<const std::uint8_t> image,
                       bool forty_eight_k, const std::filesystem::path& rom_folder,
                       const VerifyOptions& options) {
  try {
    const std::int32_t ram_size = RamSizeForText(job.machine, job.ram_text);
    VerifyResult result;
    switch (job.machine) {
      case Machine::ZX81: {
        const Bytes& program = converters.ZX81().ZX81Program();
        result = VerifyZX81Image(image, program, ZX81Ramtop(ram_size, program.size()), options);
        break;
      }
      case Machine::ZX80: {
        const Bytes& program = converters.ZX80().ZX80Program();
        const std::int32_t ramtop = ZX80Ramtop(ram_size, program.size(), image.size());
        result = VerifyZX80Image(image, program, ramtop, job.auto_run, options);
        break;
      }
      case Machine::Spectrum:
        result =
            VerifySpectrum(converters.Spectrum(), job, image, forty_eight_k, rom_folder, options);
        break;
    }
    return {result.Passed(), FormatVerifySummary(image_name, result)};
  } catch (const std::exception& error) {
    return {false, image_name + ": FAILED: cannot be checked: " + OneLine(error.what())};
  }
}

}  // namespace quillfen
