#include "spectrum/spectrum_processing.h"

namespace quillfen {

bool SpectrumProcessing::LoadSnapshot(const std::filesystem::path&) { return false; }

bool SpectrumProcessing::GenerateSpectrumCartridge(const std::string&, std::int32_t&) {
  (void)host_;
  (void)maker_;
  return false;
}

}  // namespace quillfen
