// SPDX-License-Identifier: GPL-3.0-or-later
#include "inspection/ram_offer.h"

namespace quillfen {
namespace {

// Three bands: below `small_limit` all three sizes with the smallest selected; below
// `middle_limit` the middle and 16K with 16K selected; otherwise 16K alone, disabled.
RamOffer Bands(std::int16_t length, std::int16_t small_limit, std::int16_t middle_limit,
               const char* small, const char* middle) {
  if (length < small_limit) return {{small, middle, "16K"}, 0, true};
  if (length < middle_limit) return {{middle, "16K"}, 1, true};
  return {{"16K"}, 0, false};
}

}  // namespace

RamOffer ZX81RamOffer(std::int16_t length) {
  // The second code block runs just behind the program and its two pushes below RAMTOP would
  // overwrite its own last bytes when it lies right under RAMTOP: such a program cannot boot in
  // that RAM size, so it is offered as if it were one byte too long for it.
  if (length >= 971 && length <= 980) length = 1011;
  if (length >= 4043 && length <= 4052) length = 4083;
  return Bands(length, 1011, 4083, "1K", "4K");
}

RamOffer ZX80RamOffer(std::int16_t length) {
  // Likewise for the ZX80 start-up code's pushes (0x3FAA, the CALL's return address, the
  // auto-run push), which would land on code still to run or on the program's last byte.
  if ((length >= 977 && length <= 995) || length == 1021) length = 1022;
  if ((length >= 3025 && length <= 3043) || length == 3069) length = 3070;
  return Bands(length, 1022, 3070, "1K", "3K");
}

RamOffer SpectrumRamOffer() { return {{"48K"}, 0, false}; }

std::int32_t RamSizeForText(Machine machine, const std::string& text) {
  switch (machine) {
    case Machine::ZX80:
      if (text == "1K") return 1024;
      if (text == "3K") return 3072;
      return 16384;
    case Machine::ZX81:
      if (text == "1K") return 1024;
      if (text == "4K") return 4096;
      return 16384;
    case Machine::Spectrum:
      break;
  }
  return 49152;
}

}  // namespace quillfen
