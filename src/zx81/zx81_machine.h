// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cartridge/machine_facts.h"

namespace quillfen::zx81 {

inline constexpr MachineFacts kMachine{
    .name = "ZX81",
    .list_entry = "ZX81",
    .extensions = {"P", "81", "P81"},
    .dialog_title = "Generate ZX81 ROM Cartridge",
    .default_extension = "P81",
    .dialog_filter =
        "All ZX81 Programs (*.P81;*.P;*.81)|*.P81;*.P;*.81|ZX81 Programs (*.P81)|"
        "*.P81|ZX81 Programs (*.P)|*.P|ZX81 Programs (*.81)|*.81",
    .rom_file_name = "ZX81_ROM.bin",
    .ram_entries = {"1K", "4K", "16K"},
    .selected_ram = 2,
    .image_sizes = {32768, 0},
};

}  // namespace quillfen::zx81
