#include "spectrum/spectrum_processing.h"

namespace quillfen {

bool SpectrumProcessing::LoadSnapshot(const std::filesystem::path&) { return false; }

}  // namespace quillfen
