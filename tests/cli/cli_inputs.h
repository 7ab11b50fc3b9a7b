#pragma once

// Small builders of real input files for the command line tests.

#include <cstdint>
#include <string>
#include <vector>

#include "cartridge/bytes.h"

namespace quillfen::testing {

/// A ZX81 .P memory image of `length` bytes (at least 116) from 0x4009: E_LINE (offset 11-12)
/// = 0x4009 + length; NXTLIN (offset 32-33) = `nxtlin`; one REM line at offset 116.
inline Bytes MakeZX81Program(std::size_t length, std::uint16_t nxtlin = 0) {
  Bytes image(length, 0x00);
  const std::size_t e_line = 0x4009 + length;
  image[11] = static_cast<std::uint8_t>(e_line & 0xFF);  // E_LINE low
  image[12] = static_cast<std::uint8_t>(e_line >> 8);    // E_LINE high
  image[32] = static_cast<std::uint8_t>(nxtlin & 0xFF);  // NXTLIN low
  image[33] = static_cast<std::uint8_t>(nxtlin >> 8);    // NXTLIN high
  const Bytes line = {0x00, 0x0A,                        // line 10
                      0x02, 0x00,                        // two bytes follow
                      0xEA,                              // REM
                      0x76};                             // end of line
  for (std::size_t i = 0; i < line.size() && 116 + i < length; ++i) image[116 + i] = line[i];
  return image;
}

/// A ZX81 program that starts by itself: NXTLIN points at its first line (0x407D).
inline Bytes MakeSelfStartingZX81Program(std::size_t length) {
  return MakeZX81Program(length, 0x407D);
}

/// A ZX80 .O memory image of `length` bytes (at least 40) from 0x4000: E_LINE (offset 10-11)
/// = 0x4000 + length.
inline Bytes MakeZX80Program(std::size_t length) {
  Bytes image(length, 0x00);
  const std::size_t e_line = 0x4000 + length;
  image[10] = static_cast<std::uint8_t>(e_line & 0xFF);  // E_LINE low
  image[11] = static_cast<std::uint8_t>(e_line >> 8);    // E_LINE high
  return image;
}

/// A 48K SNA snapshot: 27-byte header, then RAM 0x4000-0xFFFF. The RAM holds `fill` everywhere
/// except the stack word at SP = 0xFF00 (the program counter, 0x8123); with fill 0 the highest
/// zero run ends at a 0x01 byte at 0xD000, giving the unused area 0xD002-0xE3DF in page 2.
inline Bytes MakeSnapshot(std::uint8_t fill) {
  Bytes sna = {
      0x3F,                    // I
      0x11, 0x22, 0x33, 0x44,  // HL', DE'
      0x55, 0x66, 0x77, 0x88,  // BC', AF'
      0x01, 0x02, 0x03, 0x04,  // HL = 0x0201, DE = 0x0403
      0x05, 0x06, 0x3A, 0x5C,  // BC = 0x0605, IY = 0x5C3A
      0x07, 0x08,              // IX = 0x0807
      0x04,                    // interrupts enabled (bit 2)
      0x2A,                    // R
      0x44, 0x3A,              // AF: F = 0x44, A = 0x3A
      0x00, 0xFF,              // SP = 0xFF00
      0x01,                    // interrupt mode 1
      0x0D,                    // border 5 (low three bits)
  };
  Bytes ram(0xC000, fill);
  ram[0xFF00 - 0x4000] = 0x23;  // PC low, at the top of the stack
  ram[0xFF01 - 0x4000] = 0x81;  // PC high
  if (fill == 0) ram[0xD000 - 0x4000] = 0x01;
  sna.insert(sna.end(), ram.begin(), ram.end());
  return sna;
}

}  // namespace quillfen::testing
