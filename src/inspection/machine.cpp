// SPDX-License-Identifier: GPL-3.0-or-later
#include "inspection/machine.h"

#include <array>

#include "cartridge/file_names.h"
#include "spectrum/spectrum_machine.h"
#include "zx80/zx80_machine.h"
#include "zx81/zx81_machine.h"

namespace quillfen {
namespace {

constexpr std::array<Machine, 3> kMachines = {Machine::ZX80, Machine::ZX81, Machine::Spectrum};

}  // namespace

const MachineFacts& FactsOf(Machine machine) {
  switch (machine) {
    case Machine::ZX80:
      return zx80::kMachine;
    case Machine::ZX81:
      return zx81::kMachine;
    case Machine::Spectrum:
      break;
  }
  return spectrum::kMachine;
}

std::optional<Machine> MachineForFileName(std::string_view name) {
  const std::string extension = ExtensionOf(name);
  for (Machine machine : kMachines)
    if (FactsOf(machine).HasExtension(extension)) return machine;
  return std::nullopt;
}

std::string MachineName(Machine machine) { return std::string(FactsOf(machine).name); }

std::string ExtensionsText(Machine machine) { return FactsOf(machine).ExtensionsText(); }

}  // namespace quillfen
