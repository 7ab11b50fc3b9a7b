// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cartridge/machine_facts.h"

namespace quillfen {

/// The machine index: the position in the window's machine list.
enum class Machine : std::int16_t { ZX80 = 0, ZX81 = 1, Spectrum = 2 };

/// The machine whose program files carry this extension (".P", ".81", ".P81" ZX81; ".O", ".80",
/// ".P80" ZX80; ".SNA", ".Z80", ".SZX" Spectrum), from the upper-case extension of `name`.
std::optional<Machine> MachineForFileName(std::string_view name);

/// The facts `machine`'s folder exports.
const MachineFacts& FactsOf(Machine machine);

/// "ZX80", "ZX81" or "Spectrum".
std::string MachineName(Machine machine);

/// Its program files' extensions as a message lists them: ".P, .81 or .P81".
std::string ExtensionsText(Machine machine);

}  // namespace quillfen
