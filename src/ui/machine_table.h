// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "inspection/machine.h"

namespace quillfen {

/// What picking a machine in the window sets up beyond the machine's own facts (its list entry,
/// file dialog settings and RAM entries): the auto-run box.
struct MachineSettings {
  Machine machine;
  bool auto_run_ticked;
  bool auto_run_enabled;

  const MachineFacts& Facts() const { return FactsOf(machine); }
};

/// The machine list in its order: the position is the machine index.
inline constexpr std::array<MachineSettings, 3> kMachineTable{{
    {Machine::ZX80, true, true},
    {Machine::ZX81, false, false},
    {Machine::Spectrum, false, false},
}};

inline const MachineSettings& SettingsFor(Machine machine) {
  return kMachineTable[static_cast<std::size_t>(machine)];
}

}  // namespace quillfen
