// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "inspection/machine.h"

namespace quillfen {

/// What the RAM list shows after a program has been accepted.
struct RamOffer {
  std::vector<std::string> entries;  // "1K", "4K", "16K", ...
  int selected = 0;                  // position of the selected entry
  bool enabled = false;              // whether the list and its label can be used
};

/// The RAM sizes a ZX81 program of `length` bytes can boot in.
RamOffer ZX81RamOffer(std::int16_t length);

/// The RAM sizes a ZX80 program of `length` bytes can boot in.
RamOffer ZX80RamOffer(std::int16_t length);

/// A snapshot always runs in 48K.
RamOffer SpectrumRamOffer();

/// The byte count the generation driver passes for the RAM text shown: ZX80 "1K" 1024, "3K"
/// 3072; ZX81 "1K" 1024, "4K" 4096; any other text 16384; the Spectrum always 49152.
std::int32_t RamSizeForText(Machine machine, const std::string& text);

}  // namespace quillfen
