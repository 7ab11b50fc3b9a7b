// SPDX-License-Identifier: GPL-3.0-or-later
// The 16K ZX80 cartridge: the ZX80 ROM image whose first three bytes jump to a loader in its
// free space; the loader copies the program behind it to 0x4000 and enters the ROM.

#include <algorithm>
#include <exception>
#include <string>

#include "cartridge/bank_layout.h"
#include "cartridge/converter_files.h"
#include "cartridge/decoration.h"
#include "cartridge/error.h"
#include "cartridge/spectrum128_setup.h"
#include "cartridge/z80_blocks.h"
#include "zx80/zx80_processing.h"
#include "zx80/zx80_startup_code.h"
#include "zx80/zx80_texts.h"

namespace quillfen {
namespace {

constexpr int kJumpLength = 3;  // C3 and a word, over the ROM's first three bytes

struct Layout16K {
  Decoration decoration;
  int program = 0;  // address of the program, behind the loader and its rows
  int rows = 0;     // address of the attribute rows (with stripes)
};

// Decoration only when the program starts by itself (the plain start shows the ROM's own
// screen at once), and only as far as it fits: the program must still end by 0x3FFF.
Layout16K PlanLayout16K(int rom_end, int program_length, std::int16_t auto_run) {
  const int loader = zx80::LoaderLength(auto_run);
  const int room = static_cast<int>(kBankSize) - rom_end - loader;
  Layout16K layout;
  if (auto_run == 1)
    layout.decoration =
        PlanDecoration(program_length, room, zx80::kLogoRows, Comparison::kInclusive);
  layout.program = rom_end + loader + layout.decoration.Length();
  layout.rows = rom_end + loader + layout.decoration.CodeLength();
  return layout;
}

// clang-format off
void EmitLoader(CartridgeMaker& out, const Layout16K& layout, int ramtop,
                std::int16_t auto_run) {
  EmitBlockCopy(out, layout.program, 0x4000, 33333);          // the program to RAM
  spectrum128::EmitHardwareSetUp(out);
  spectrum128::EmitScreenClear(out);
  if (layout.decoration.border) spectrum128::EmitBorder(out);
  if (layout.decoration.stripes) EmitAttributeLoop(out, layout.decoration, layout.rows);
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
    EmitDecorationRows(maker_, layout.decoration);
    ExpectNextAddress(maker_, layout.program, "BuildZX80Cartridge16K", "program");
    maker_.AppendBytes(zx80_program_);
    PadToBankEnd(maker_, kBankSize, "BuildZX80Cartridge16K");
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quillfen
