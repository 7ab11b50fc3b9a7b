#include "support/snapshot_files.h"

#include <algorithm>
#include <stdexcept>

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

void PutHighFirstWord(Bytes& file, std::int64_t value) {  // AF and AF' in the Z80 header
  PutByte(file, (value >> 8) & 0xFF);
  PutByte(file, value & 0xFF);
}

// Offset in Memory of the 16 KB that a 48K page number stands for.
std::size_t PageOffset(int page) {
  switch (page) {
    case 8:
      return 0x0000;
    case 4:
      return 0x4000;
    case 5:
      return 0x8000;
    default:
      throw std::invalid_argument("MakeZ80FilePaged: page " + std::to_string(page));
  }
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
  PutHighFirstWord(file, state.AF);                // 0: A, F
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
  PutHighFirstWord(file, state.AFAlt);             // 21: A', F'
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
  if (!compressed) {
    file.insert(file.end(), state.Memory.begin(), state.Memory.end());
    return file;
  }
  const Bytes data = CompressZ80Block(state.Memory);
  file.insert(file.end(), data.begin(), data.end());
  file.insert(file.end(), {0x00, 0xED, 0xED, 0x00});
  return file;
}

void AppendZ80Block(Bytes& file, int page, std::span<const std::uint8_t> data, bool compressed) {
  if (compressed) {
    const Bytes packed = CompressZ80Block(data);
    PutWord(file, static_cast<std::int64_t>(packed.size()));
    PutByte(file, page);
    file.insert(file.end(), packed.begin(), packed.end());
  } else {
    PutWord(file, 0xFFFF);
    PutByte(file, page);
    file.insert(file.end(), data.begin(), data.end());
  }
}

Bytes MakeZ80FilePaged(const SnapshotState& state, int additional_header_length, bool compressed,
                       const std::vector<int>& page_order) {
  if (state.Memory.size() != 3 * kPageLength)
    throw std::invalid_argument("MakeZ80FilePaged: Memory must hold 49152 bytes");
  SnapshotState main = state;
  main.PC = 0;
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
    } else if (value == kRunMark) {
      // A lone ED: the byte after it goes out literally, so that no ED ED appears.
      packed.push_back(value);
      ++i;
      if (i < data.size()) packed.push_back(data[i++]);
    } else {
      packed.push_back(value);
      ++i;
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
    switch (below(6)) {
      case 0:
        ram.insert(ram.end(), length, 0xED);
        break;
      case 1:
        ram.insert(ram.end(), length, 0x00);
        break;
      case 2:
        ram.insert(ram.end(), length, static_cast<std::uint8_t>(below(0x100)));
        break;
      case 3:
        ram.push_back(0xED);
        break;
      default:
        for (std::size_t k = 0; k < length; ++k)
          ram.push_back(static_cast<std::uint8_t>(below(0x100)));
    }
  }
  ram.resize(3 * kPageLength);
  return state;
}

SnapshotState MakeBusySnapshot(std::uint32_t seed) {
  SnapshotState state;
  state.Memory.resize(kSnapshotRamLength);
  std::uint32_t random = seed * 2654435761u + 7;
  for (auto& byte : state.Memory) {
    random = random * 1103515245u + 12345u;
    byte = static_cast<std::uint8_t>(1 + (random >> 16) % 255);
  }
  state.AF = 0x3A44;
  state.BC = 0x1122;
  state.DE = 0x3344;
  state.HL = 0x5566;
  state.IX = 0x7788;
  state.IY = 0x5C3A;
  state.AFAlt = 0x99AA;
  state.BCAlt = 0xBBCC;
  state.DEAlt = 0xDDEE;
  state.HLAlt = 0xF00F;
  state.PC = 0x6123;
  state.SP = 0xFE40;
  state.Memory[0xFE40 - 0x4000] = 0x23;  // the word at SP: 0x6123
  state.Memory[0xFE41 - 0x4000] = 0x61;
  state.I = 0x3F;
  state.R = 0x85;
  state.InterruptMode = 1;
  state.InterruptsEnabled = true;
  state.BorderColour = 5;
  return state;
}

void ZeroRam(SnapshotState& state, int from, int to) {
  for (int address = from; address < to; ++address) state.Memory.at(address - 0x4000) = 0;
}

std::string SnapshotRegisterDifferences(const SnapshotState& a, const SnapshotState& b) {
  std::string differences;
  auto compare = [&differences](const char* name, std::int64_t x, std::int64_t y) {
    if (x != y)
      differences +=
          std::string(name) + " " + std::to_string(x) + " != " + std::to_string(y) + "; ";
  };
  compare("AF", a.AF, b.AF);
  compare("BC", a.BC, b.BC);
  compare("DE", a.DE, b.DE);
  compare("HL", a.HL, b.HL);
  compare("IX", a.IX, b.IX);
  compare("IY", a.IY, b.IY);
  compare("AFAlt", a.AFAlt, b.AFAlt);
  compare("BCAlt", a.BCAlt, b.BCAlt);
  compare("DEAlt", a.DEAlt, b.DEAlt);
  compare("HLAlt", a.HLAlt, b.HLAlt);
  compare("PC", a.PC, b.PC);
  compare("SP", a.SP, b.SP);
  compare("I", a.I, b.I);
  compare("R", a.R, b.R);
  compare("InterruptMode", a.InterruptMode, b.InterruptMode);
  compare("InterruptsEnabled", a.InterruptsEnabled, b.InterruptsEnabled);
  compare("BorderColour", a.BorderColour, b.BorderColour);
  return differences;
}

}  // namespace quillfen::testing
