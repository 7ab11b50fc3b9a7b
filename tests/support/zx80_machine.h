#pragma once

#include <z80ex/z80ex.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

namespace quillfen::testing {

/// A ZX Spectrum 128 with a ZX Interface 2 cartridge, as far as the ZX80 start-up code sees it:
/// one 16 KB cartridge bank at 0x0000-0x3FFF (read-only, chosen by the test) and flat RAM from
/// 0x4000 to 0xFFFF. Port writes are recorded; paging is not modelled.
class ZX80Machine {
 public:
  explicit ZX80Machine(std::span<const std::uint8_t> bank);
  ~ZX80Machine();
  ZX80Machine(const ZX80Machine&) = delete;
  ZX80Machine& operator=(const ZX80Machine&) = delete;

  /// Presents another cartridge bank at 0x0000, as the cartridge hardware does.
  void MapBank(std::span<const std::uint8_t> bank) { bank_ = bank; }

  /// Runs until PC reaches one of `stops` (true) or `max_instructions` have run (false).
  bool RunUntil(std::initializer_list<std::uint16_t> stops, long max_instructions);

  /// Runs until PC lies in RAM (true) or `max_instructions` have run (false).
  bool RunUntilInRam(long max_instructions);

  /// Runs exactly `instructions` instructions.
  void Run(long instructions);

  std::uint16_t Register(Z80_REG_T reg) const;
  std::uint8_t Memory(std::uint16_t address) const;
  std::uint16_t MemoryWord(std::uint16_t address) const;
  std::span<const std::uint8_t> Ram(std::uint16_t address, std::size_t length) const;

  /// Every OUT so far: (port, value).
  const std::vector<std::pair<std::uint16_t, std::uint8_t>>& PortWrites() const {
    return port_writes_;
  }

 private:
  static Z80EX_BYTE ReadMemory(Z80EX_CONTEXT*, Z80EX_WORD address, int, void* machine);
  static void WriteMemory(Z80EX_CONTEXT*, Z80EX_WORD address, Z80EX_BYTE value, void* machine);
  static Z80EX_BYTE ReadPort(Z80EX_CONTEXT*, Z80EX_WORD, void*);
  static void WritePort(Z80EX_CONTEXT*, Z80EX_WORD port, Z80EX_BYTE value, void* machine);
  static Z80EX_BYTE ReadInterruptVector(Z80EX_CONTEXT*, void*);

  std::span<const std::uint8_t> bank_;
  std::array<std::uint8_t, 0x10000> memory_{};  // only 0x4000 and up are used
  std::vector<std::pair<std::uint16_t, std::uint8_t>> port_writes_;
  Z80EX_CONTEXT* cpu_;
};

}  // namespace quillfen::testing
