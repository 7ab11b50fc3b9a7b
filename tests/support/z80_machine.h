#pragma once

#include <z80ex/z80ex.h>

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "cartridge/bytes.h"

namespace quillfen::testing {

/// A Z80 (libz80ex) in a ZX Spectrum with an Interface 2 cartridge, as simple as the start-up
/// code allows: 0x0000-0x3FFF shows the presented bank of the cartridge (writes there are lost),
/// 0x4000-0xFFFF is one flat RAM, port reads give 0xFF and port writes are only recorded. Paging
/// is not modelled. No interrupts are raised. Starts from reset with bank 0 presented.
class Z80Machine {
 public:
  /// `image`: the cartridge image, cut into banks of 16384 bytes (a short last bank is padded
  /// with 0xFF).
  explicit Z80Machine(const Bytes& image);
  ~Z80Machine();
  Z80Machine(const Z80Machine&) = delete;
  Z80Machine& operator=(const Z80Machine&) = delete;

  void PresentBank(std::size_t bank) { presented_ = bank; }
  std::size_t PresentedBank() const { return presented_; }

  /// Runs one whole instruction (prefixes included).
  void Step();

  /// Runs whole instructions until `done` holds (checked before each one) or `limit`
  /// instructions have run; true when `done` held.
  bool RunUntil(const std::function<bool(const Z80Machine&)>& done, long limit);

  /// RunUntil the program counter is `pc`.
  bool RunUntilPc(std::uint16_t pc, long limit);

  std::uint16_t Register(Z80_REG_T reg) const;
  std::uint16_t Pc() const { return Register(regPC); }

  /// The byte at `address` as the CPU reads it now.
  std::uint8_t Peek(std::uint16_t address) const;
  std::uint16_t PeekWord(std::uint16_t address) const;
  /// `length` bytes of RAM from `address` (0x4000 or above).
  Bytes Ram(std::uint16_t address, std::size_t length) const;

  /// Every (port, value) written, in order.
  const std::vector<std::pair<std::uint16_t, std::uint8_t>>& PortWrites() const {
    return port_writes_;
  }

 private:
  static Z80EX_BYTE ReadMemory(Z80EX_CONTEXT*, Z80EX_WORD address, int, void* self);
  static void WriteMemory(Z80EX_CONTEXT*, Z80EX_WORD address, Z80EX_BYTE value, void* self);
  static Z80EX_BYTE ReadPort(Z80EX_CONTEXT*, Z80EX_WORD, void*);
  static void WritePort(Z80EX_CONTEXT*, Z80EX_WORD port, Z80EX_BYTE value, void* self);
  static Z80EX_BYTE ReadInterruptVector(Z80EX_CONTEXT*, void*);

  std::vector<Bytes> banks_;
  std::size_t presented_ = 0;
  std::vector<std::uint8_t> ram_;  // 0x4000-0xFFFF
  std::vector<std::pair<std::uint16_t, std::uint8_t>> port_writes_;
  Z80EX_CONTEXT* cpu_ = nullptr;
};

}  // namespace quillfen::testing
