// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "cartridge/bytes.h"
#include "verify/verify_result.h"

namespace quillfen {

/// The RAMTOP a ZX80 cartridge's start-up code loads: 16384 plus the RAM size in bytes, plus
/// 16384 more in a 32K image (more than one bank) for a program longer than 16382 bytes.
std::int32_t ZX80Ramtop(std::int32_t ram_size, std::size_t program_length, std::size_t image_size);

/// Boots a ZX80 cartridge image from bank 0 until the code first enters the ZX80 ROM proper
/// (0x0747, 0x093D or 0x0283 with the ROM bank presented: bank 0 of a 16K image, bank 1 of a
/// 32K one), then checks the entry point (0x0747 when the image calls it, 0x0283 for the 32K
/// plain start), `program` (the ZX80 program image) in RAM from 0x4000, IY, I, the interrupt
/// mode, SP and the 0x3FAA pushed below `ramtop`. `auto_run` is the converter's argument.
/// Throws quillfen::Error for an empty image or a RAMTOP outside 0x4004-0x10000.
VerifyResult VerifyZX80Image(std::span<const std::uint8_t> image, const Bytes& program,
                             std::int32_t ramtop, std::int16_t auto_run,
                             const VerifyOptions& options = {});

}  // namespace quillfen
