// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cartridge/machine_facts.h"

namespace quillfen::spectrum {

inline constexpr MachineFacts kMachine{
    .name = "Spectrum",
    .list_entry = "ZX Spectrum",
    .extensions = {"SNA", "Z80", "SZX", "TAP", "TZX", "PZX", "CSW"},
    .dialog_title = "Generate ZX Spectrum ROM Cartridge",
    .default_extension = "SNA",
    .dialog_filter =
        // The first entry, shown first, lists every file that converts.
        "All ZX Spectrum Programs (*.SNA;*.Z80;*.SZX;*.TAP;*.TZX;*.PZX;*.CSW)|"
        "*.SNA;*.Z80;*.SZX;*.TAP;*.TZX;*.PZX;*.CSW|ZX Spectrum Programs (*.Z80)|*.Z80|"
        "ZX Spectrum Programs (*.SNA)|*.SNA|ZX Spectrum Programs (*.SZX)|*.SZX|"
        "ZX Spectrum Tapes (*.TAP;*.TZX;*.PZX;*.CSW)|*.TAP;*.TZX;*.PZX;*.CSW",
    .rom_file_name = "SPECTRUM_ROM.bin",
    .ram_entries = {"16K", "48K", ""},
    .selected_ram = 1,
    .image_sizes = {49152, 65536},
};

}  // namespace quillfen::spectrum
