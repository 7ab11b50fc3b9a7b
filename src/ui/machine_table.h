// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "inspection/machine.h"

namespace quillfen {

/// What picking a machine in the window sets up: its list entry, the file dialog settings, the
/// RAM entries offered before any program is chosen and the auto-run box.
struct MachineSettings {
  const char* entry;
  const char* dialog_title;
  const char* default_extension;
  const char* filter;  // "description|patterns|description|patterns", patterns split by ";"
  std::array<const char*, 3> ram_entries;
  int ram_count;
  int selected_ram;
  bool auto_run_ticked;
  bool auto_run_enabled;
};

/// The machine list in its order: the position is the machine index.
inline constexpr std::array<MachineSettings, 3> kMachineTable{{
    {"ZX80",
     "Generate ZX80 ROM Cartridge",
     "P80",
     "All ZX80 Programs (*.P80;*.O;*.80)|*.P80;*.O;*.80|ZX80 Programs (*.P80)|*.P80|"
     "ZX80 Programs (*.O)|*.O",
     {"1K", "3K", "16K"},
     3,
     2,
     true,
     true},
    {"ZX81",
     "Generate ZX81 ROM Cartridge",
     "P81",
     "All ZX81 Programs (*.P81;*.P;*.81)|*.P81;*.P;*.81|ZX81 Programs (*.P81)|*.P81|"
     "ZX81 Programs (*.P)|*.P|ZX81 Programs (*.81)|*.81",
     {"1K", "4K", "16K"},
     3,
     2,
     false,
     false},
    {"ZX Spectrum",
     "Generate ZX Spectrum ROM Cartridge",
     "SNA",
     "All ZX Spectrum Programs (*.SNA;*.Z80)|*.SNA;*.Z80|ZX Spectrum Programs (*.Z80)|*.Z80|"
     "ZX Spectrum Programs (*.SNA)|*.SNA",
     {"16K", "48K"},
     2,
     1,
     false,
     false},
}};

inline const MachineSettings& SettingsFor(Machine machine) {
  return kMachineTable[static_cast<std::size_t>(machine)];
}

}  // namespace quillfen
