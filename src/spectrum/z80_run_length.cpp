// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/z80_run_length.h"

#include <string>

#include "cartridge/error.h"
#include "cartridge/load_failure.h"

namespace quillfen {
namespace {

void CheckRoom(const Bytes& out, std::size_t more, std::size_t capacity) {
  if (out.size() > capacity || more > capacity - out.size())
    Refuse(LoadFailureKind::kBadCompressedData,
           "compressed data expands beyond " + std::to_string(capacity) + " bytes");
}

// One step of the scheme at offset p; returns the offset of the next step.
std::size_t ExpandZ80Step(std::span<const std::uint8_t> data, std::size_t p, std::size_t capacity,
                          Bytes& out, Host& host) {
  if (p >= data.size())
    Refuse(LoadFailureKind::kBadCompressedData,
           "compressed data ends after " + std::to_string(data.size()) + " bytes");
  const std::uint8_t first = data[p];
  if (first == kZ80RunMark && p + 1 < data.size() && data[p + 1] == kZ80RunMark) {
    if (p + 2 >= data.size())
      Refuse(LoadFailureKind::kBadCompressedData,
             "a run ED ED at offset " + std::to_string(p) + " ends before its count");
    const std::uint8_t count = data[p + 2];
    if (p + 3 < data.size()) {
      CheckRoom(out, count, capacity);
      out.insert(out.end(), count, data[p + 3]);
    }
    host.YieldToWindow();
    return p + 4;
  }
  CheckRoom(out, 1, capacity);
  out.push_back(first);
  return p + 1;
}

}  // namespace

std::size_t ExpandZ80RunLength(std::span<const std::uint8_t> data, std::size_t loop_end,
                               std::size_t capacity, Bytes& out, Host& host) {
  std::size_t p = 0;
  do {
    p = ExpandZ80Step(data, p, capacity, out, host);
  } while (p < loop_end);
  return p;
}

}  // namespace quillfen
