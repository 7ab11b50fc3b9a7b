// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/bank_layout.h"

#include <string>

#include "cartridge/error.h"

namespace quillfen {

void ExpectNextAddress(const CartridgeMaker& out, int address, std::string_view builder,
                       std::string_view part) {
  if (out.NextAddress() != address)
    ThrowError(std::string(builder) + ": the " + std::string(part) + " lands at " +
               std::to_string(out.NextAddress()) + ", not at " + std::to_string(address));
}

void PadToBankEnd(CartridgeMaker& out, std::size_t bank_end, std::string_view builder) {
  const std::size_t size = out.CartridgeImage().size();
  if (size > bank_end)
    ThrowError(std::string(builder) + ": the bank ending at " + std::to_string(bank_end) +
               " overflows by " + std::to_string(size - bank_end) + " bytes");
  out.PadWithFFTo(bank_end);
}

void AppendRomBank(CartridgeMaker& out, std::span<const std::uint8_t> rom, int rom_end,
                   std::span<const std::uint8_t> tail,
                   const std::function<void(CartridgeMaker&)>& emit_copy_routine) {
  if (out.CartridgeImage().size() != kBankSize)
    ThrowError("AppendRomBank: bank 0 holds " + std::to_string(out.CartridgeImage().size()) +
               " bytes, not 16384");
  if (!out.AppendRomImage(rom))
    ThrowError("AppendRomBank: the ROM image holds " + std::to_string(rom.size()) +
               " bytes, not 16384");
  if (!tail.empty()) {
    out.CutTo(kBankSize + static_cast<std::size_t>(rom_end));
    emit_copy_routine(out);
    out.AppendBytes(tail);
    PadToBankEnd(out, 2 * kBankSize, "AppendRomBank: the tail");
  }
  if (out.CartridgeImage().size() != 2 * kBankSize)
    ThrowError("AppendRomBank: the image holds " + std::to_string(out.CartridgeImage().size()) +
               " bytes, not 32768");
}

}  // namespace quillfen
