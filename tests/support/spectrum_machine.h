#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cartridge/bytes.h"

typedef struct _z80_cpu_context Z80EX_CONTEXT;

namespace quillfen::testing {

/// The Z80 registers after a run; R with all eight bits.
struct Z80Registers {
  int af, bc, de, hl, ix, iy, af_alt, bc_alt, de_alt, hl_alt, pc, sp, i, r, im;
  bool iff1, iff2;
};

/// A 48K Spectrum with a cartridge slot, run on the libz80ex Z80 emulator (link z80ex to use it).
/// 0x0000-0x3FFF shows one of `banks` at a time (writes there are counted and dropped); RAM
/// 0x4000-0xFFFF starts with pseudo-random bytes, so that a copy the code misses shows.
/// The slot behaves like a cartridge whose banks come round in turn: once the shown bank has been
/// read at 0x0000 `patience` times, the next one (cyclically) is shown. A code waiting for a bank
/// sees each bank for that many reads; a code that found its bank reads 0x0000 no more.
class SpectrumMachine {
 public:
  SpectrumMachine(std::vector<Bytes> banks, std::size_t first_bank, std::size_t patience = 600);
  ~SpectrumMachine();
  SpectrumMachine(const SpectrumMachine&) = delete;
  SpectrumMachine& operator=(const SpectrumMachine&) = delete;

  /// Makes every `period`-th read of 0x0000 since a bank appeared return the wrong value
  /// (the byte inverted): a bank whose first byte flickers. 0 turns it off.
  void SetFlickerPeriod(std::size_t period) { flicker_period_ = period; }

  /// Stores `bytes` in RAM from `address` (0x4000 or above) before a run.
  void LoadRam(int address, const Bytes& bytes);

  /// Runs from the current state until an instruction boundary with PC == `pc`, at most
  /// `max_steps` steps. True when `pc` was reached.
  bool RunUntil(int pc, std::size_t max_steps = 2'000'000);

  Z80Registers Registers() const;
  /// RAM from 0x4000: byte k is address 0x4000 + k.
  const Bytes& Ram() const { return ram_; }
  std::size_t ShownBank() const { return shown_; }
  std::size_t RomWrites() const { return rom_writes_; }
  /// Every byte written to ports 0xFE and 0x7FFD, in order.
  const std::vector<std::uint8_t>& BorderWrites() const { return border_writes_; }
  const std::vector<std::uint8_t>& PagingWrites() const { return paging_writes_; }

 private:
  std::uint8_t Read(std::uint16_t address);
  void Write(std::uint16_t address, std::uint8_t value);
  void Out(std::uint16_t port, std::uint8_t value);

  static std::uint8_t ReadCallback(Z80EX_CONTEXT*, std::uint16_t address, int, void* machine);
  static void WriteCallback(Z80EX_CONTEXT*, std::uint16_t address, std::uint8_t value,
                            void* machine);
  static std::uint8_t InCallback(Z80EX_CONTEXT*, std::uint16_t, void*);
  static void OutCallback(Z80EX_CONTEXT*, std::uint16_t port, std::uint8_t value, void* machine);
  static std::uint8_t InterruptVectorCallback(Z80EX_CONTEXT*, void*);

  std::vector<Bytes> banks_;
  std::size_t shown_;
  std::size_t patience_;
  std::size_t flicker_period_ = 0;
  std::size_t reads_of_zero_ = 0;
  std::size_t rom_writes_ = 0;
  Bytes ram_;
  std::vector<std::uint8_t> border_writes_;
  std::vector<std::uint8_t> paging_writes_;
  Z80EX_CONTEXT* cpu_;
};

}  // namespace quillfen::testing
