// SPDX-License-Identifier: GPL-3.0-or-later
// The 16K ZX80 cartridge: the ZX80 ROM image whose first three bytes jump to a loader in its
// free space; the loader copies the program behind it to 0x4000 and enters the ROM.

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

constexpr int kJumpLength = 3;  // C3 and a word, over the ROM's first three bytes

struct Layout16K {
  bool border = false;
  bool stripes = false;
  bool logo = false;
  int program = 0;  // address of the program, behind the loader and its rows
  int rows = 0;     // address of the attribute rows (with stripes)
};

// Decoration only when the program starts by itself (the plain start shows the ROM's own
// screen at once), and only as far as it fits: the program must still end by 0x3FFF.
Layout16K PlanLayout16K(int rom_end, int program_length, std::int16_t auto_run) {
  const int loader = zx80::LoaderLength(auto_run);
  const int room = static_cast<int>(kBankSize) - rom_end - loader;
  Layout16K layout;
  if (auto_run == 1) {
    layout.border = program_length <= room - sinclair::kBorderLength;
    layout.stripes = program_length <= room - sinclair::kBorderLength -
                                           sinclair::kAttributeLoopLength -
                                           sinclair::kStripeRowsLength;
    layout.logo = program_length <= room - sinclair::kBorderLength -
                                        sinclair::kAttributeLoopLength -
                                        sinclair::kStripeRowsLength - zx80::kLogoRowsLength;
  }
  const int stripes = sinclair::kAttributeLoopLength + sinclair::kStripeRowsLength;
  const int length = loader + (layout.border ? sinclair::kBorderLength : 0) +
                     (layout.stripes ? stripes : 0) + (layout.logo ? zx80::kLogoRowsLength : 0);
  layout.program = rom_end + length;
  layout.rows =
      layout.program - sinclair::kStripeRowsLength - (layout.logo ? zx80::kLogoRowsLength : 0);
  return layout;
}

// clang-format off
void EmitLoader(CartridgeMaker& out, const Layout16K& layout, int ramtop,
                std::int16_t auto_run) {
  out.AppendFragment("21");  out.AppendWord(layout.program);  // LD   HL,program
  out.AppendFragment("11 00 40");                             // LD   DE,0x4000
  out.AppendFragment("01 35 82");                             // LD   BC,33333
  out.AppendFragment("ED B0");                                // LDIR
  sinclair::EmitHardwareSetUp(out);
  sinclair::EmitScreenClear(out);
  if (layout.border) sinclair::EmitBorder(out);
  if (layout.stripes) sinclair::EmitAttributeLoop(out, layout.rows, layout.logo);
  zx80::EmitSetUp(out, ramtop);
  if (auto_run == 1) {
    zx80::EmitAutoRunStart(out);                              // CALL 0x0747, ... JP 0x093D
  } else {
    out.AppendFragment("CD 47 07");                           // CALL 0x0747
    zx80::EmitPlainStart(out);                                // JP   0x0283
  }
}
// clang-format on

}  // namespace

bool ZX80Processing::BuildZX80Cartridge16K(std::int32_t ramtop, std::int16_t auto_run) {
  try {
    const int program_length = static_cast<int>(zx80_program_.size());
    const Layout16K layout = PlanLayout16K(zx80_rom_end_, program_length, auto_run);

    maker_.Clear();
    maker_.AppendFragment("C3");  // JP   loader
    maker_.AppendWord(zx80_rom_end_);
    Bytes rom_behind_jump(zx80_rom_.begin() + std::min<std::size_t>(kJumpLength, zx80_rom_.size()),
                          zx80_rom_.end());
    rom_behind_jump.insert(rom_behind_jump.end(), kJumpLength, 0xFF);
    if (!maker_.AppendRomImage(rom_behind_jump)) {
      host_.ShowError(zx80::kRomInsertFailed,
                      RomImageFault(zx80_rom_, zx80_rom_path_, zx80::kRomContent));
      return false;
    }
    maker_.CutTo(static_cast<std::size_t>(zx80_rom_end_));

    EmitLoader(maker_, layout, ramtop, auto_run);
    if (layout.stripes) sinclair::EmitStripeRows(maker_);
    if (layout.logo) zx80::EmitLogoRows(maker_);
    if (maker_.NextAddress() != layout.program)
      ThrowError("BuildZX80Cartridge16K: the program lands at " +
                 std::to_string(maker_.NextAddress()) + ", not at " +
                 std::to_string(layout.program));
    maker_.AppendBytes(zx80_program_);
    if (maker_.CartridgeImage().size() > kBankSize)
      ThrowError("BuildZX80Cartridge16K: the image runs to " +
                 std::to_string(maker_.CartridgeImage().size()) + " bytes");
    maker_.PadWithFFTo(kBankSize);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quillfen
