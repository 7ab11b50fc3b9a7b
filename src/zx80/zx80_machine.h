// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cartridge/machine_facts.h"

namespace quillfen::zx80 {

inline constexpr MachineFacts kMachine{
    .name = "ZX80",
    .list_entry = "ZX80",
    .extensions = {"O", "80", "P80"},
    .dialog_title = "Generate ZX80 ROM Cartridge",
    .default_extension = "P80",
    .dialog_filter =
        "All ZX80 Programs (*.P80;*.O;*.80)|*.P80;*.O;*.80|ZX80 Programs (*.P80)|"
        "*.P80|ZX80 Programs (*.O)|*.O",
    .rom_file_name = "ZX80_ROM.bin",
    .ram_entries = {"1K", "3K", "16K"},
    .selected_ram = 2,
    .image_sizes = {16384, 32768},
};

}  // namespace quillfen::zx80
