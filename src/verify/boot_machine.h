// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "cartridge/bytes.h"
#include "verify/verify_result.h"
#include "verify/z80_processor.h"

namespace quillfen {

/// How the cartridge presents its banks. The cycle runs through the image's banks in order,
/// wrapping; with `internal_rom_slot` the machine's own ROM is shown for one dwell after the
/// last bank (the cartridge switched off).
struct CartridgeSetup {
  std::size_t start_bank = 0;  // the bank presented at power-on
  bool internal_rom_slot = false;
  Bytes internal_rom;  // shown in that slot; padded with 0xFF to 16 KB
};

/// A ZX Spectrum 128 with a bank-switching cartridge: 0x0000-0x3FFF shows the presented bank,
/// 0x4000-0xFFFF is RAM page 5, page 2 and the page chosen through port 0x7FFD (whose bit 5
/// locks the paging until the next power-on). All RAM starts with pseudo-random bytes, port
/// 0xFE sets the border. No interrupts are raised: every start-up code runs with them disabled.
class BootMachine {
 public:
  static constexpr int kInternalRom = -1;  // PresentedBank() while the cartridge is off

  /// Throws quillfen::Error for an empty image, a start bank outside it, or a zero dwell.
  BootMachine(std::span<const std::uint8_t> image, const CartridgeSetup& setup,
              const VerifyOptions& options);
  ~BootMachine();
  BootMachine(const BootMachine&) = delete;
  BootMachine& operator=(const BootMachine&) = delete;

  /// Runs from power-on (or from where the last run stopped) until `arrived` returns true at an
  /// instruction boundary, asked before every instruction, or until the T-state limit has been
  /// passed. True when it arrived.
  bool RunUntil(const std::function<bool(const BootMachine&)>& arrived);

  Z80Registers Registers() const;
  std::uint16_t PC() const;
  /// The byte the processor reads at `address` now (presented bank or paged RAM).
  std::uint8_t Peek(std::uint16_t address) const;
  /// The little-endian word the processor reads at `address` now, wrapping at 0xFFFF.
  std::uint16_t PeekWord(std::uint16_t address) const;
  /// An image bank index, or kInternalRom.
  int PresentedBank() const;
  std::size_t BankCount() const { return bank_count_; }
  std::uint64_t TStates() const { return t_states_; }
  std::uint8_t PagingPort() const { return paging_port_; }
  bool PagingLocked() const { return (paging_port_ & kPagingLockBit) != 0; }
  /// The last value written to port 0xFE, bits 0-2.
  std::uint8_t BorderColour() const { return border_; }

  /// Hands the processor, as it stands, to a machine that runs on from here; this machine
  /// cannot run any more afterwards.
  Z80Processor HandOverProcessor() { return std::move(cpu_); }

 private:
  static constexpr std::uint8_t kPagingLockBit = 0x20;
  static constexpr int kRamPages = 8;

  static std::uint8_t ReadMemory(_z80_cpu_context* cpu, std::uint16_t address, int m1, void* self);
  static void WriteMemory(_z80_cpu_context* cpu, std::uint16_t address, std::uint8_t value,
                          void* self);
  static std::uint8_t ReadPort(_z80_cpu_context* cpu, std::uint16_t port, void* self);
  static void WritePort(_z80_cpu_context* cpu, std::uint16_t port, std::uint8_t value, void* self);
  static std::uint8_t ReadInterruptVector(_z80_cpu_context* cpu, void* self);

  /// The RAM page (0-7) that `address` (0x4000-0xFFFF) shows now.
  std::size_t RamPageAt(std::uint16_t address) const;

  Bytes image_;  // padded with 0xFF to whole banks
  std::size_t bank_count_ = 0;
  Bytes internal_rom_;
  std::vector<int> cycle_;  // presentation order from power-on: bank indices or kInternalRom
  VerifyOptions options_;
  std::array<Bytes, kRamPages> ram_;
  std::uint8_t paging_port_ = 0;
  std::uint8_t border_ = 0;
  std::uint64_t t_states_ = 0;
  Z80Processor cpu_;
};

}  // namespace quillfen
