// SPDX-License-Identifier: GPL-3.0-or-later
#include "zx81/zx81_layout.h"

#include "zx81/zx81_startup_code.h"

namespace quillfen {

std::int32_t ZX81BankOneRoom(std::int32_t rom_end) {
  return 16384 - rom_end - zx81::kTailCopyRoutineLength;
}

BankZeroLayout PlanZX81Cartridge(std::int32_t length, std::int32_t rom_end) {
  return PlanBankZero(length, kZX81BankZeroRoom + ZX81BankOneRoom(rom_end), kZX81BankZeroRoom,
                      zx81::kLogoRows);
}

}  // namespace quillfen
