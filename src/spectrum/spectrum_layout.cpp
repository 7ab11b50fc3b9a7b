// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/spectrum_layout.h"

#include <algorithm>
#include <exception>

#include "cartridge/bank_layout.h"
#include "cartridge/error.h"
#include "spectrum/spectrum_startup_code.h"

namespace quillfen::spectrum {
namespace {

constexpr int kRamStart = 0x4000;
constexpr int kPageLength = 0x4000;
constexpr int kZerosBelowRunTop = 512;  // a run needs its highest byte and at least 512 below it

// 64K cartridge: the code bank holds 237 bytes of code and table, then RAM from 0xC0ED; the bank
// before it starts at 0x80ED; the 237 bytes from 0x8000 travel in the ROM copy's spare area.
constexpr int kCodeBankRamStart = 0xC0ED;
constexpr int kFirstBankRamStart = 0x80ED;
constexpr int kRomCopyStage3 = 0x386E;
constexpr int kRomCopyFreeEnd = 0x3D00;
constexpr int kRamInRomCopy = 0x8000;

struct SearchWindow {
  std::int16_t page;
  int first;  // highest address examined
  int last;   // lowest address examined
};
constexpr SearchWindow kSearchWindows[] = {
    {2, 0xE3DF, 0xC1FF},
    {1, 0xBFFF, 0x81FF},
    {0, 0x7FFF, 0x5CFF},
};

// P is the free page's base; A and B are the two others, A the lower.
struct PageBases {
  int p;
  int a;
  int b;
};

PageBases PageBasesFor(std::int16_t page) {
  switch (page) {
    case 0:
      return {0x4000, 0x8000, 0xC000};
    case 1:
      return {0x8000, 0x4000, 0xC000};
    case 2:
      return {0xC000, 0x4000, 0x8000};
    default:
      ThrowError("PageBasesFor: page " + std::to_string(page) + " is not 0, 1 or 2");
  }
}

// The builders' private copy of the RAM image: only a complete 48K image can be laid out.
Bytes RamCopy(const SnapshotState& state) {
  if (state.Memory.size() != kSnapshotRamLength)
    ThrowError("RamCopy: the RAM image holds " + std::to_string(state.Memory.size()) +
               " bytes instead of 49152");
  return state.Memory;
}

std::uint8_t& RamByte(Bytes& ram, int address) {
  return ram.at(static_cast<std::size_t>(address - kRamStart));
}

// The RAM bytes from `from` to `to` - 1.
std::span<const std::uint8_t> RamRange(const Bytes& ram, int from, int to) {
  if (from < kRamStart || to < from || to - kRamStart > static_cast<int>(ram.size()))
    ThrowError("RamRange: " + std::to_string(from) + " to " + std::to_string(to) +
               " lies outside the RAM image");
  return std::span<const std::uint8_t>(ram).subspan(static_cast<std::size_t>(from - kRamStart),
                                                    static_cast<std::size_t>(to - from));
}

void ExpectImageLength(const CartridgeMaker& maker, std::size_t length, const char* where) {
  if (maker.CartridgeImage().size() != length)
    ThrowError(std::string(where) + ": the image holds " +
               std::to_string(maker.CartridgeImage().size()) + " bytes instead of " +
               std::to_string(length));
}

// The area must lie in its page, hold stage 2, and hold nothing but zeros: stage 1 clears its bytes
// above stage 2 instead of carrying them.
void CheckUnusedArea(const Bytes& ram, int page_base, int low, int top, int stage2_length) {
  if (low < page_base || low + stage2_length > top || top > page_base + kPageLength)
    ThrowError("CheckUnusedArea: " + std::to_string(low) + " to " + std::to_string(top) +
               " cannot hold stage 2 in the page at " + std::to_string(page_base));
  const auto area = RamRange(ram, low, top);
  if (std::any_of(area.begin(), area.end(), [](std::uint8_t b) { return b != 0; }))
    ThrowError("CheckUnusedArea: the area from " + std::to_string(low) + " holds data");
}

void BuildImage48K(CartridgeMaker& maker, const SnapshotState& state, SnapshotKind kind, int low,
                   int top, std::int16_t page) {
  maker.Clear();
  Bytes ram = RamCopy(state);
  const PageBases bases = PageBasesFor(page);
  const int tail_length = bases.p + kPageLength - top;
  const int stage1_length = tail_length == 0 ? kStage1LengthWithoutTail : kStage1Length;
  const int stage2_length = Stage2Length48K(kind);
  CheckUnusedArea(ram, bases.p, low, top, stage2_length);

  const int saved_a = RamByte(ram, bases.a);
  const int saved_b = RamByte(ram, bases.b);
  RamByte(ram, bases.a) = 0x01;
  RamByte(ram, bases.b) = 0x02;

  EmitStage1Start(maker, stage1_length);
  EmitStage1Continuation48K(maker, stage1_length, bases.p, low, top, stage2_length);
  EmitLogoTable(maker);
  maker.AppendBytes(RamRange(ram, bases.p, low));
  EmitStage2For48K(maker, state, kind, low, bases.a, bases.b, saved_a, saved_b);
  maker.AppendBytes(RamRange(ram, top, bases.p + kPageLength));
  PadToBankEnd(maker, kBankSize, "BuildSpectrumCartridge48K: the code bank");

  maker.AppendBytes(RamRange(ram, bases.a, bases.a + kPageLength));
  maker.PadWithFFTo(3 * kBankSize);  // the third bank stays empty
  maker.AppendBytes(RamRange(ram, bases.b, bases.b + kPageLength));
}

void BuildImage64K(CartridgeMaker& maker, const SnapshotState& state, SnapshotKind kind,
                   std::span<const std::uint8_t> rom) {
  maker.Clear();
  Bytes ram = RamCopy(state);
  if (!IsInsertableSpectrumRom(rom))
    ThrowError("BuildSpectrumCartridge64K: the ROM image is not 16384 bytes beginning with 0xF3");

  const int saved_80ed = RamByte(ram, kFirstBankRamStart);
  const int saved_4000 = RamByte(ram, kRamStart);
  RamByte(ram, kFirstBankRamStart) = 0x01;
  RamByte(ram, kRamStart) = 0x02;

  EmitStage1Start(maker, kStage1Length64K);
  EmitStage1Continuation64K(maker);
  EmitLogoTable(maker);
  EmitStage2For64K(maker, saved_80ed, saved_4000);
  maker.AppendBytes(RamRange(ram, kCodeBankRamStart, 0x10000));
  ExpectImageLength(maker, kBankSize, "BuildSpectrumCartridge64K: code bank");

  // The bank fetched first goes in front of the code bank.
  const auto first_bank = RamRange(ram, kFirstBankRamStart, kCodeBankRamStart);
  Bytes& image = maker.CartridgeImage();
  image.insert(image.begin(), first_bank.begin(), first_bank.end());
  maker.AppendBytes(RamRange(ram, kRamStart, kRamStart + kPageLength));

  maker.AppendBytes(rom.first(kRomCopyStage3));
  EmitStage3(maker, state, kind);
  maker.PadWithFFTo(3 * kBankSize + kRomCopyRamBytes);
  maker.AppendBytes(RamRange(ram, kRamInRomCopy, kRamInRomCopy + kRomCopyRamBytesLength));
  maker.PadWithFFTo(3 * kBankSize + kRomCopyFreeEnd);
  ExpectImageLength(maker, 3 * kBankSize + kRomCopyFreeEnd, "BuildSpectrumCartridge64K: ROM copy");
  maker.AppendBytes(rom.subspan(kRomCopyFreeEnd));
}

}  // namespace

std::int32_t FindUnusedArea(std::span<const std::uint8_t> memory, std::int32_t& top,
                            std::int16_t& page) {
  if (memory.size() != kSnapshotRamLength)
    ThrowError("FindUnusedArea: the RAM image holds " + std::to_string(memory.size()) +
               " bytes instead of 49152");
  for (const SearchWindow& window : kSearchWindows) {
    bool run_open = false;
    int run_top = 0;
    int count = 0;
    for (int x = window.first; x >= window.last; --x) {
      const bool zero = memory[static_cast<std::size_t>(x - kRamStart)] == 0;
      if (!run_open) {
        if (zero) {
          run_open = true;
          run_top = x;
          count = 0;
        }
      } else if (zero) {
        ++count;
      } else if (count >= kZerosBelowRunTop) {
        page = window.page;
        top = run_top + 1;
        return x + 2;
      } else {
        run_open = false;
      }
    }
  }
  top = 0;
  return 0;
}

bool IsInsertableSpectrumRom(std::span<const std::uint8_t> rom) {
  return rom.size() == kSpectrumRomLength && rom[0] == kSpectrumRomFirstByte;
}

bool BuildSpectrumCartridge48K(CartridgeMaker& maker, const SnapshotState& state, SnapshotKind kind,
                               std::int32_t low, std::int32_t top, std::int16_t page) {
  try {
    BuildImage48K(maker, state, kind, low, top, page);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool BuildSpectrumCartridge64K(CartridgeMaker& maker, const SnapshotState& state, SnapshotKind kind,
                               std::span<const std::uint8_t> rom) {
  try {
    BuildImage64K(maker, state, kind, rom);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quillfen::spectrum
