// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify/image_checks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "spectrum/spectrum_layout.h"
#include "verify/zx80_boot_check.h"
#include "verify/zx81_boot_check.h"

namespace quillfen {
namespace {

VerifyResult CheckSpectrumImage(const ImageVerification& v) {
  SpectrumRunSetup run = v.run;
  std::int32_t top = 0;
  std::int16_t page = 0;
  const std::int32_t low = spectrum::FindUnusedArea(v.snapshot.Memory, top, page);
  run.unused_area_found = low != 0;
  // The 48K cartridge leaves its stage 2 at the start of the unused area, so those bytes differ.
  if (run.forty_eight_k && low != 0) run.startup_code = StartupCodeLeftBy48K(low, v.kind);
  return VerifySpectrumImageAndRun(v.image, v.snapshot, v.kind, run, v.options);
}

}  // namespace

CheckOutcome CheckImage(const ImageVerification& v) {
  if (!v.error.empty()) return {{}, v.error};
  try {
    switch (v.machine) {
      case Machine::ZX81:
        return {VerifyZX81Image(v.image, v.program, v.ramtop, v.options), ""};
      case Machine::ZX80:
        return {VerifyZX80Image(v.image, v.program, v.ramtop, v.auto_run, v.options), ""};
      case Machine::Spectrum:
        break;
    }
    return {CheckSpectrumImage(v), ""};
  } catch (const std::exception& error) {
    return {{}, error.what()};
  }
}

std::vector<CheckOutcome> CheckImages(const std::vector<ImageVerification>& verifications,
                                      unsigned threads) {
  std::vector<CheckOutcome> outcomes(verifications.size());
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::min<std::size_t>(threads, verifications.size()));
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < verifications.size(); i = next++)
      outcomes[i] = CheckImage(verifications[i]);
  };
  if (threads <= 1) {
    work();
  } else {
    std::vector<std::jthread> pool;
    for (unsigned t = 0; t < threads; ++t) pool.emplace_back(work);
  }  // the pool joins here
  return outcomes;
}

}  // namespace quillfen
