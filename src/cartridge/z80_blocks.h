// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cartridge/cartridge_maker.h"

// Z80 sequences that the start-up code of every cartridge is built from: copying a block of
// memory, clearing one, and waiting until a bank's byte has settled. Each Emit function appends
// its bytes at the image's end; an operand out of range throws quillfen::Error.
namespace quillfen {

inline constexpr int kBlockCopyLength = 11;
inline constexpr int kClearMemoryLength = 13;
inline constexpr int kWaitForByteLength = 11;

/// LD HL,source; LD DE,destination; LD BC,count; LDIR: copies `count` bytes upwards.
void EmitBlockCopy(CartridgeMaker& out, int source, int destination, int count);

/// Sets the `length` bytes from `first` to 0 (XOR A, then LDIR copies the first byte upwards).
/// Throws for a length below 2: LDIR with BC = 0 would copy 64K.
void EmitClearMemory(CartridgeMaker& out, int first, int length);

/// Loops until the byte at `address` has read `value` 256 times in a row; any other value starts
/// the count again, so a bank is taken only once the cartridge presents it steadily. The count
/// comes from LD B,H, so `address` must lie below 0x100; throws quillfen::Error otherwise.
void EmitWaitForByte(CartridgeMaker& out, int address, int value);

}  // namespace quillfen
