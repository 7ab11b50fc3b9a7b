// SPDX-License-Identifier: GPL-3.0-or-later
// The 32K ZX80 cartridge: bank 0 holds the start-up code, the decoration rows and as much of
// the program as fits, followed by a second code block that runs from its RAM copy; bank 1 holds
// the ZX80 ROM image and, for a long program, a copy routine and the program's tail.

#include <algorithm>
#include <exception>
#include <string>

#include "cartridge/bank_layout.h"
#include "cartridge/converter_files.h"
#include "cartridge/error.h"
#include "cartridge/two_bank_startup.h"
#include "cartridge/z80_blocks.h"
#include "zx80/zx80_processing.h"
#include "zx80/zx80_startup_code.h"
#include "zx80/zx80_texts.h"

namespace quillfen {
namespace {

constexpr int kBankSizeInt = static_cast<int>(kBankSize);

// The second code block: 44 bytes with the auto-run start, 34 with the plain one.
int SecondBlockLength(std::int16_t auto_run) {
  return kWaitForByteLength + zx80::kSetUpLength + 3 +
         (auto_run == 1 ? zx80::kAutoRunStartLength : zx80::kPlainStartLength);
}

// H0: bank 0 ends with the head, the second block and at least 2 bytes of 0xFF.
int HeadRoom(std::int16_t auto_run) {
  return kBankSizeInt - 2 - SecondBlockLength(auto_run) - kTwoBankStartupLength;
}

// F: the room in bank 1 behind the tail copy routine.
int BankOneRoom(int rom_end, std::int16_t auto_run) {
  return kBankSizeInt - rom_end - zx80::TailCopyRoutineLength(auto_run);
}

// clang-format off
// Runs from RAM at 0x4000 + H. With a tail it jumps to the copy routine in bank 1, which
// starts the ROM itself: the tail is copied over this very block.
void EmitSecondBlock(CartridgeMaker& out, int ramtop, bool tail, int rom_end,
                     std::int16_t auto_run) {
  EmitWaitForByte(out, zx80::kRomBankMarkAddress, zx80::kRomBankMark);  // until bank 1 is presented
  zx80::EmitSetUp(out, ramtop);
  if (tail) {
    out.AppendFragment("C3");  out.AppendWord(rom_end);               // JP   copy routine
  } else {
    out.AppendFragment("00 00 00");                                   // NOP; NOP; NOP
  }
  zx80::EmitStart(out, auto_run);
}
// clang-format on

}  // namespace

std::int32_t ZX80Processing::Largest32KProgram(std::int32_t rom_end, std::int16_t auto_run) {
  return HeadRoom(auto_run) + BankOneRoom(rom_end, auto_run);
}

bool ZX80Processing::BuildZX80Cartridge32K(std::int32_t& ramtop, std::int16_t auto_run) {
  try {
    // The RAM code waits for the ROM's own byte at 0x000A: an image without it never starts.
    // Judged before the program's size, since a short image leaves no free space.
    const std::string rom_fault =
        RomImageFault(zx80_rom_, zx80_rom_path_, zx80::kRomContent,
                      RomMark{zx80::kRomBankMarkAddress, zx80::kRomBankMark});
    if (!rom_fault.empty()) {
      host_.ShowError(zx80::kRomInsertFailed, rom_fault);
      return false;
    }
    const int program_length = static_cast<int>(zx80_program_.size());
    const int limit = Largest32KProgram(zx80_rom_end_, auto_run);
    if (program_length > limit) {
      host_.ShowError(zx80::kProgramTooLarge);
      return false;
    }
    if (program_length > kBankSizeInt - 2) ramtop += 16384;

    const BankZeroLayout layout =
        PlanBankZero(program_length, limit, HeadRoom(auto_run), zx80::kLogoRows);
    const std::span<const std::uint8_t> program(zx80_program_);
    const auto head = program.first(static_cast<std::size_t>(layout.head));
    const auto tail = program.subspan(static_cast<std::size_t>(layout.head));

    maker_.Clear();
    EmitTwoBankStartupCode(maker_, layout, 0x4000 + layout.head);
    EmitDecorationRows(maker_, layout.decoration);
    ExpectNextAddress(maker_, layout.copy_from, "BuildZX80Cartridge32K", "head");
    maker_.AppendBytes(head);
    EmitSecondBlock(maker_, ramtop, !tail.empty(), zx80_rom_end_, auto_run);
    PadToBankEnd(maker_, kBankSize, "BuildZX80Cartridge32K");

    AppendRomBank(maker_, zx80_rom_, zx80_rom_end_, tail, [&](CartridgeMaker& out) {
      zx80::EmitTailCopyRoutine(out, zx80_rom_end_ + zx80::TailCopyRoutineLength(auto_run),
                                0x4000 + layout.head, static_cast<int>(tail.size()), auto_run);
    });
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quillfen
