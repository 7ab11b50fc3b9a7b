// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/snapshot_files.h"

#include <algorithm>
#include <stdexcept>
#include <tuple>

namespace quillfen::testing {
namespace {

constexpr std::size_t kPageLength = 0x4000;
constexpr std::uint8_t kRunMark = 0xED;
constexpr std::size_t kLongestRun = 255;
constexpr std::size_t kShortestRun = 5;  // shorter runs of other bytes are not worth four bytes

void PutByte(Bytes& file, std::int64_t value) { file.push_back(static_cast<std::uint8_t>(value)); }

void PutWord(Bytes& file, std::int64_t value) {  // low byte first
  PutByte(file, value & 0xFF);
  PutByte(file, (value >> 8) & 0xFF);
}

std::int64_t Swapped(std::int64_t word) { return (word >> 8 & 0xFF) | (word & 0xFF) << 8; }

std::size_t PageOffset(int page) {  // of the 16 KB in Memory that a 48K page stands for
  if (page != 8 && page != 4 && page != 5)
    throw std::invalid_argument("MakeZ80FilePaged: page " + std::to_string(page));
  return page == 8 ? 0x0000 : page == 4 ? 0x4000 : 0x8000;
}

}  // namespace

Bytes MakeSnaFile(const SnapshotState& state) {
  Bytes file;
  PutByte(file, state.I);                             // 0
  PutWord(file, state.HLAlt);                         // 1
  PutWord(file, state.DEAlt);                         // 3
  PutWord(file, state.BCAlt);                         // 5
  PutWord(file, state.AFAlt);                         // 7: F', A'
  PutWord(file, state.HL);                            // 9
  PutWord(file, state.DE);                            // 11
  PutWord(file, state.BC);                            // 13
  PutWord(file, state.IY);                            // 15
  PutWord(file, state.IX);                            // 17
  PutByte(file, state.InterruptsEnabled ? 0x04 : 0);  // 19: IFF2 bit
  PutByte(file, state.R);                             // 20
  PutWord(file, state.AF);                            // 21: F, A
  PutWord(file, state.SP);                            // 23
  PutByte(file, state.InterruptMode);                 // 25
  PutByte(file, state.BorderColour);                  // 26
  file.insert(file.end(), state.Memory.begin(), state.Memory.end());
  return file;
}

Bytes MakeZ80MainHeader(const SnapshotState& state, bool compressed) {
  const int flags = (state.R >> 7 & 1) | (state.BorderColour & 7) << 1 | (compressed ? 0x20 : 0);
  Bytes file;
  PutWord(file, Swapped(state.AF));                // 0: A, F
  PutWord(file, state.BC);                         // 2
  PutWord(file, state.HL);                         // 4
  PutWord(file, state.PC);                         // 6
  PutWord(file, state.SP);                         // 8
  PutByte(file, state.I);                          // 10
  PutByte(file, state.R & 0x7F);                   // 11
  PutByte(file, flags);                            // 12
  PutWord(file, state.DE);                         // 13
  PutWord(file, state.BCAlt);                      // 15
  PutWord(file, state.DEAlt);                      // 17
  PutWord(file, state.HLAlt);                      // 19
  PutWord(file, Swapped(state.AFAlt));             // 21: A', F'
  PutWord(file, state.IY);                         // 23
  PutWord(file, state.IX);                         // 25
  PutByte(file, state.InterruptsEnabled ? 1 : 0);  // 27: IFF1
  PutByte(file, state.InterruptsEnabled ? 1 : 0);  // 28: IFF2
  PutByte(file, state.InterruptMode & 3);          // 29
  return file;
}

Bytes MakeZ80FileVersion1(const SnapshotState& state, bool compressed) {
  if (state.PC == 0) throw std::invalid_argument("MakeZ80FileVersion1: PC 0 means version 2");
  Bytes file = MakeZ80MainHeader(state, compressed);
  const Bytes data = compressed ? CompressZ80Block(state.Memory) : state.Memory;
  file.insert(file.end(), data.begin(), data.end());
  if (compressed) file.insert(file.end(), {0x00, 0xED, 0xED, 0x00});
  return file;
}

void AppendZ80Block(Bytes& file, int page, std::span<const std::uint8_t> data, bool compressed) {
  const Bytes packed = compressed ? CompressZ80Block(data) : Bytes(data.begin(), data.end());
  PutWord(file, compressed ? static_cast<std::int64_t>(packed.size()) : 0xFFFF);
  PutByte(file, page);
  file.insert(file.end(), packed.begin(), packed.end());
}

Bytes MakeZ80FilePaged(const SnapshotState& state, int additional_header_length, bool compressed,
                       const std::vector<int>& page_order) {
  if (state.Memory.size() != 3 * kPageLength)
    throw std::invalid_argument("MakeZ80FilePaged: Memory must hold 49152 bytes");
  SnapshotState main = state;
  main.PC = 0;  // announces an additional header
  Bytes file = MakeZ80MainHeader(main, false);
  PutWord(file, additional_header_length);  // 30: L
  PutWord(file, state.PC);                  // 32
  // 34 onwards: hardware mode 0 (48K), paging, Interface 1, flags, sound chip, version 3 rest.
  file.resize(file.size() + std::max(additional_header_length - 2, 0), 0);
  for (const int page : page_order) {
    const auto data = std::span(state.Memory).subspan(PageOffset(page), kPageLength);
    AppendZ80Block(file, page, data, compressed);
  }
  return file;
}

Bytes CompressZ80Block(std::span<const std::uint8_t> data) {
  Bytes packed;
  std::size_t i = 0;
  while (i < data.size()) {
    const std::uint8_t value = data[i];
    std::size_t run = 1;
    while (i + run < data.size() && data[i + run] == value && run < kLongestRun) ++run;
    if (run >= kShortestRun || (value == kRunMark && run >= 2)) {
      packed.insert(packed.end(), {kRunMark, kRunMark, static_cast<std::uint8_t>(run), value});
      i += run;
    } else {  // a literal; after a lone ED the next byte too, so that no ED ED appears
      packed.push_back(data[i++]);
      if (value == kRunMark && i < data.size()) packed.push_back(data[i++]);
    }
  }
  return packed;
}

SnapshotState RandomSnapshot(std::mt19937& random) {
  auto below = [&random](int limit) {
    return std::uniform_int_distribution<int>(0, limit - 1)(random);
  };
  SnapshotState state;
  for (std::int32_t* word : {&state.AF, &state.BC, &state.DE, &state.HL, &state.IX, &state.IY,
                             &state.AFAlt, &state.BCAlt, &state.DEAlt, &state.HLAlt})
    *word = below(0x10000);
  state.PC = 1 + below(0xFFFF);
  state.SP = 0x4002 + below(0x10000 - 0x4002);
  state.I = below(0x100);
  state.R = below(0x100);
  state.InterruptMode = below(3);
  state.InterruptsEnabled = below(2) == 1;
  state.BorderColour = static_cast<std::int16_t>(below(8));
  Bytes& ram = state.Memory;
  while (ram.size() < 3 * kPageLength) {
    const std::size_t length = 1 + below(below(4) == 0 ? 2000 : 60);
    const int kind = below(6);  // runs of 0xED, of zeros, of another byte; a lone 0xED; noise
    if (kind < 3) {
      const int value = kind == 0 ? 0xED : kind == 1 ? 0x00 : below(0x100);
      ram.insert(ram.end(), length, static_cast<std::uint8_t>(value));
    } else if (kind == 3) {
      ram.push_back(0xED);
    } else {
      for (std::size_t k = 0; k < length; ++k)
        ram.push_back(static_cast<std::uint8_t>(below(0x100)));
    }
  }
  ram.resize(3 * kPageLength);
  return state;
}

SnapshotState MakeBusySnapshot(std::uint32_t seed) {
  SnapshotState state;
  std::tie(state.AF, state.BC, state.DE, state.HL, state.IX, state.IY, state.AFAlt, state.BCAlt,
           state.DEAlt, state.HLAlt, state.PC, state.SP, state.I, state.R, state.InterruptMode) =
      std::tuple(0x3A44, 0x1122, 0x3344, 0x5566, 0x7788, 0x5C3A, 0x99AA, 0xBBCC, 0xDDEE, 0xF00F,
                 0x6123, 0xFE40, 0x3F, 0x85, 1);
  state.InterruptsEnabled = true;
  state.BorderColour = 5;
  state.Memory.resize(kSnapshotRamLength);
  std::uint32_t random = seed * 2654435761u + 7;
  for (auto& byte : state.Memory) {
    random = random * 1103515245u + 12345u;
    byte = static_cast<std::uint8_t>(1 + (random >> 16) % 255);
  }
  state.Memory[0xFE40 - 0x4000] = 0x23;  // the word at SP: 0x6123
  state.Memory[0xFE41 - 0x4000] = 0x61;
  return state;
}

void ZeroRam(SnapshotState& state, int from, int to) {
  for (int address = from; address < to; ++address) state.Memory.at(address - 0x4000) = 0;
}

std::string SnapshotRegisterDifferences(const SnapshotState& a, const SnapshotState& b) {
  constexpr const char* kNames[] = {
      "AF",          "BC",    "DE", "HL", "IX", "IY", "AFAlt",         "BCAlt",
      "DEAlt",       "HLAlt", "PC", "SP", "I",  "R",  "InterruptMode", "InterruptsEnabled",
      "BorderColour"};
  auto fields = [](const SnapshotState& s) {
    return std::vector<std::int64_t>{
        s.AF,          s.BC,    s.DE, s.HL, s.IX, s.IY, s.AFAlt,         s.BCAlt,
        s.DEAlt,       s.HLAlt, s.PC, s.SP, s.I,  s.R,  s.InterruptMode, s.InterruptsEnabled,
        s.BorderColour};
  };
  const auto x = fields(a), y = fields(b);
  std::string differences;
  for (std::size_t k = 0; k < x.size(); ++k)
    if (x[k] != y[k])
      differences += std::string(kNames[k]) + " " + std::to_string(x[k]) +
                     " != " + std::to_string(y[k]) + "; ";
  return differences;
}

}  // namespace quillfen::testing
