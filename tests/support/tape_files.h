// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "cartridge/bytes.h"

namespace quillfen::testing {

/// Hand-assembled Z80 code: bytes as written, plus labels for the jumps and calls between them.
class Z80Code {
 public:
  explicit Z80Code(std::uint16_t origin) : origin_(origin) {}
  Z80Code& operator()(std::initializer_list<std::uint8_t> bytes);
  Z80Code& Label(const std::string& name);
  /// `opcode` (JR, JR cc, DJNZ) and the displacement to `label`.
  Z80Code& Relative(std::uint8_t opcode, const std::string& label);
  /// `opcode` bytes (JP, CALL, LD rr,nn ...) and the address of `label`.
  Z80Code& Absolute(std::initializer_list<std::uint8_t> opcode, const std::string& label);
  Z80Code& Word(std::uint16_t word);
  /// Pads with 0xFF up to `address`.
  Z80Code& Org(std::uint16_t address);
  std::uint16_t Here() const { return static_cast<std::uint16_t>(origin_ + bytes_.size()); }
  std::uint16_t Address(const std::string& label) const;
  /// The code with every label filled in; throws for one never defined or a jump out of reach.
  Bytes Finish() const;

 private:
  struct Fixup {
    std::size_t at;
    std::string label;
    bool relative;
  };
  std::uint16_t origin_;
  Bytes bytes_;
  std::map<std::string, std::uint16_t> labels_;
  std::vector<Fixup> fixups_;
};

/// A 16K stand-in for the Spectrum ROM. It counts frame interrupts at kFramesAddress (IM 1),
/// waits for LOAD "" and ENTER typed on the keyboard (J, SYMBOL SHIFT+P twice, ENTER, each
/// pressed then released), sets kTypedAddress to 1, loads a 17-byte header (flag 0x00) at
/// kHeaderAddress and the block it announces (flag 0xFF) to its start address, and jumps there;
/// when that block fails it reports "R Tape loading error" (RST 8, code 0x1A) as the ROM does.
/// Its two loaders, entered with IX = destination, DE = length, A = flag, return carry set when
/// the block loaded with a good checksum:
///  - kStandardLoader, for standard timings (pilot 2168, sync 667/735, bits 855/1710), samples
///    EAR in the loops a Spectrum ROM loader uses (a DEC A delay, then INC B ... JR Z turns);
///  - kTurboLoader, for kTurbo timings, samples in a loop of its own shape.
struct TestRom {
  static constexpr std::uint16_t kFramesAddress = 0xFE30;
  static constexpr std::uint16_t kTypedAddress = 0xFE02;
  static constexpr std::uint16_t kHeaderAddress = 0xFE10;
  static constexpr std::uint16_t kMarkerAddress = 0x9000;  // set by TestProgram
  Bytes image;
  std::uint16_t standard_loader = 0;
  std::uint16_t turbo_loader = 0;
};
const TestRom& TheTestRom();

/// The timings of turbo blocks the test ROM's turbo loader reads.
struct TurboTimings {
  std::uint16_t pilot = 1400, sync1 = 400, sync2 = 450, bit0 = 500, bit1 = 1000;
  std::uint16_t pilot_pulses = 1500;
};
inline constexpr TurboTimings kTurbo{};

/// What the CODE block loaded by the test ROM at kProgramStart does, in this order.
struct ProgramPlan {
  std::uint16_t turbo_length = 0;  // loads a turbo block of this many bytes to kTurboAddress
  std::uint8_t standard_blocks = 0;  // loads this many standard blocks to kBulkAddress ...
  std::uint16_t standard_length = 0;  // ... of this many bytes each
  bool page_128k = false;             // writes 0x10 to port 0x7FFD
};
inline constexpr std::uint16_t kProgramStart = 0x8000;
inline constexpr std::uint16_t kTurboAddress = 0xC000;
inline constexpr std::uint16_t kBulkAddress = 0x5000;
inline constexpr std::uint8_t kMarkerLoaded = 0xA5;  // a loader refused a block: 0xEE
inline constexpr std::uint8_t kProgramBorder = 3;
/// The program: the loads, then marker, border 3, IM 1, EI and a loop at Loop().
struct TestProgram {
  Bytes code;
  std::uint16_t loop = 0;
};
TestProgram MakeTestProgram(const ProgramPlan& plan);

/// A standard header block's payload: CODE, `name` padded to ten, length, start, 32768.
Bytes CodeHeader(const std::string& name, std::uint16_t length, std::uint16_t start);
/// `flag`, `payload`, then the XOR of both: the bytes a tape block carries.
Bytes TapeData(std::uint8_t flag, const Bytes& payload);
/// A TAP file: each entry of `blocks` (as TapeData gives it) after its length word.
Bytes MakeTapFile(const std::vector<Bytes>& blocks);

/// TZX blocks and files.
Bytes TzxStandardBlock(const Bytes& data, std::uint16_t pause_ms = 1000);
Bytes TzxTurboBlock(const Bytes& data, const TurboTimings& timings, std::uint16_t pause_ms);
Bytes TzxPureTone(std::uint16_t pulse, std::uint16_t pulses);
Bytes TzxJump(std::int16_t blocks);
/// "ZXTape!", 0x1A, version 1.20, then the blocks.
Bytes MakeTzxFile(const std::vector<Bytes>& blocks);

/// Pseudo-random bytes, the same for the same seed.
Bytes RandomBytes(std::size_t length, unsigned seed);

}  // namespace quillfen::testing
