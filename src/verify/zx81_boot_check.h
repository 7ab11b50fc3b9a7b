// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "cartridge/bytes.h"
#include "verify/verify_result.h"

namespace quillfen {

/// The RAMTOP a ZX81 cartridge's start-up code loads: 16384 plus the RAM size in bytes, plus
/// 16384 more for a program longer than 16371 bytes.
std::int32_t ZX81Ramtop(std::int32_t ram_size, std::size_t program_length);

/// Boots a 32K ZX81 cartridge image from bank 0 until the code reaches 0x0207 with bank 1 (the
/// ZX81 ROM) presented, then checks the system variable block and `program` (the program image
/// from 0x4009, with the auto-run rewrite when the image was built with it) in RAM from 0x4000,
/// IX, IY, I, the interrupt mode, AF', SP and the two words pushed below `ramtop`.
/// Throws quillfen::Error for an empty image or a RAMTOP outside 0x4009-0x10000.
VerifyResult VerifyZX81Image(std::span<const std::uint8_t> image, const Bytes& program,
                             std::int32_t ramtop, const VerifyOptions& options = {});

}  // namespace quillfen
