// SPDX-License-Identifier: GPL-3.0-or-later
// The 32K ZX80 cartridge: bank 0 holds the start-up code, the decoration rows and as much of
// the program as fits, followed by a second code block that runs from its RAM copy; bank 1 holds
// the ZX80 ROM image and, for a long program, a copy routine and the program's tail.

#include <algorithm>
#include <exception>
#include <string>

#include "cartridge/converter_files.h"
#include "cartridge/error.h"
#include "zx80/zx80_processing.h"
#include "zx80/zx80_startup_code.h"
#include "zx80/zx80_texts.h"
#include "zx81/sinclair_startup_code.h"

namespace quillfen {
namespace {

constexpr int kStartupCodeLength = 58;  // copy, hardware set-up, screen clear, JP
constexpr int kStripesLength = sinclair::kAttributeLoopLength + sinclair::kStripeRowsLength;
constexpr int kBankSizeInt = static_cast<int>(kBankSize);

struct Layout32K {
  bool border = false;
  bool stripes = false;
  bool logo = false;
  int head = 0;   // H: program bytes in bank 0
  int start = 0;  // A: offset of the head in bank 0
  int rows = 0;   // T: offset of the attribute rows
};

// The second code block: 44 bytes with the auto-run start, 34 with the plain one.
int SecondBlockLength(std::int16_t auto_run) {
  return zx80::kWaitForRomBankLength + zx80::kSetUpLength + 3 +
         (auto_run == 1 ? zx80::kAutoRunStartLength : zx80::kPlainStartLength);
}

// H0: bank 0 ends with the head, the second block and at least 2 bytes of 0xFF.
int HeadRoom(std::int16_t auto_run) {
  return kBankSizeInt - 2 - SecondBlockLength(auto_run) - kStartupCodeLength;
}

// F: the room in bank 1 behind the tail copy routine.
int BankOneRoom(int rom_end, std::int16_t auto_run) {
  return kBankSizeInt - rom_end - zx80::TailCopyRoutineLength(auto_run);
}

// Decoration shrinks the room for the head, so it is dropped, logo first, as the program grows.
Layout32K PlanLayout32K(int program_length, int limit, int head_room) {
  Layout32K layout;
  layout.border = program_length < limit - sinclair::kBorderLength;
  layout.stripes =
      program_length < limit - (layout.border ? sinclair::kBorderLength : 0) - kStripesLength;
  layout.logo = program_length < limit - (layout.border ? sinclair::kBorderLength : 0) -
                                     (layout.stripes ? kStripesLength : 0) - zx80::kLogoRowsLength;
  const int decoration = (layout.border ? sinclair::kBorderLength : 0) +
                         (layout.stripes ? kStripesLength : 0) +
                         (layout.logo ? zx80::kLogoRowsLength : 0);
  layout.head = std::min(program_length, head_room - decoration);
  layout.start = kStartupCodeLength + decoration;
  layout.rows = kStartupCodeLength + (layout.border ? sinclair::kBorderLength : 0) +
                (layout.stripes ? sinclair::kAttributeLoopLength : 0);
  return layout;
}

// clang-format off
void EmitStartupCode(CartridgeMaker& out, const Layout32K& layout) {
  out.AppendFragment("21");  out.AppendWord(layout.start);            // LD   HL,head
  out.AppendFragment("11 00 40");                                     // LD   DE,0x4000
  out.AppendFragment("01 35 82");                                     // LD   BC,33333
  out.AppendFragment("ED B0");                                        // LDIR
  sinclair::EmitHardwareSetUp(out);
  if (layout.border) sinclair::EmitBorder(out);
  sinclair::EmitScreenClear(out);
  if (layout.stripes) sinclair::EmitAttributeLoop(out, layout.rows, layout.logo);
  out.AppendFragment("C3");  out.AppendWord(0x4000 + layout.head);    // JP   second block in RAM
}

// Runs from RAM at 0x4000 + H. With a tail it jumps to the copy routine in bank 1, which
// starts the ROM itself: the tail is copied over this very block.
void EmitSecondBlock(CartridgeMaker& out, int ramtop, bool tail, int rom_end,
                     std::int16_t auto_run) {
  zx80::EmitWaitForRomBank(out);
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

    const Layout32K layout = PlanLayout32K(program_length, limit, HeadRoom(auto_run));
    const std::span<const std::uint8_t> program(zx80_program_);
    const auto head = program.first(static_cast<std::size_t>(layout.head));
    const auto tail = program.subspan(static_cast<std::size_t>(layout.head));

    maker_.Clear();
    EmitStartupCode(maker_, layout);
    if (layout.stripes) sinclair::EmitStripeRows(maker_);
    if (layout.logo) zx80::EmitLogoRows(maker_);
    if (maker_.NextAddress() != layout.start)
      ThrowError("BuildZX80Cartridge32K: the head lands at " +
                 std::to_string(maker_.NextAddress()) + ", not at " + std::to_string(layout.start));
    maker_.AppendBytes(head);
    EmitSecondBlock(maker_, ramtop, !tail.empty(), zx80_rom_end_, auto_run);
    maker_.PadWithFFTo(kBankSize);

    if (!maker_.AppendRomImage(zx80_rom_))
      ThrowError("BuildZX80Cartridge32K: the checked ROM image was not appended");
    if (!tail.empty()) {
      maker_.CutTo(kBankSize + static_cast<std::size_t>(zx80_rom_end_));
      zx80::EmitTailCopyRoutine(maker_, zx80_rom_end_ + zx80::TailCopyRoutineLength(auto_run),
                                0x4000 + layout.head, static_cast<int>(tail.size()), auto_run);
      maker_.AppendBytes(tail);
      maker_.PadWithFFTo(2 * kBankSize);
    }
    if (maker_.CartridgeImage().size() != 2 * kBankSize)
      ThrowError("BuildZX80Cartridge32K: the image is " +
                 std::to_string(maker_.CartridgeImage().size()) + " bytes long");
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quillfen
