#include "cli/image_verification.h"

#include <exception>
#include <optional>

#include "cartridge/cartridge_maker.h"
#include "cartridge/file_names.h"
#include "cartridge/rom_folders.h"
#include "cli/cli_host.h"
#include "inspection/ram_offer.h"
#include "spectrum/spectrum_layout.h"
#include "verify/spectrum_boot_check.h"
#include "verify/verify_summary.h"
#include "verify/zx80_boot_check.h"
#include "verify/zx81_boot_check.h"

namespace quillfen {
namespace {

VerifyResult VerifySpectrum(const SpectrumProcessing& spectrum, const ConversionJob& job,
                            std::span<const std::uint8_t> image, bool forty_eight_k,
                            const std::vector<std::filesystem::path>& rom_folders,
                            const VerifyOptions& options) {
  const SnapshotState& snapshot = spectrum.State();
  std::optional<Bytes> internal_rom;
  const std::optional<std::filesystem::path> rom_path =
      FindRomFile(rom_folders, "SPECTRUM_ROM.bin");
  if (Bytes rom; rom_path && ReadWholeFile(rom, *rom_path)) internal_rom = rom;
  // The 48K cartridge keeps its loader in the unused area, so those bytes may differ.
  std::optional<AddressRange> unused_area;
  if (forty_eight_k) {
    std::int32_t top = 0;
    std::int16_t page = 0;
    const std::int32_t low = spectrum::FindUnusedArea(snapshot.Memory, top, page);
    if (low != 0) unused_area = AddressRange{low, top};
  }
  return VerifySpectrumImage(image, snapshot, ExtensionOf(job.file_name), internal_rom, unused_area,
                             options);
}

}  // namespace

ImageCheck VerifyImage(MachineConverters& converters, const ConversionJob& job,
                       const std::string& image_name, std::span<const std::uint8_t> image,
                       bool forty_eight_k, const std::vector<std::filesystem::path>& rom_folders,
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
            VerifySpectrum(converters.Spectrum(), job, image, forty_eight_k, rom_folders, options);
        break;
    }
    return {result.Passed(), FormatVerifySummary(image_name, result)};
  } catch (const std::exception& error) {
    return {false, image_name + ": FAILED: cannot be checked: " + OneLine(error.what())};
  }
}

}  // namespace quillfen
