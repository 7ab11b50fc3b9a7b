// SPDX-License-Identifier: GPL-3.0-or-later
#include "inspection/machine.h"

#include "cartridge/file_names.h"

namespace quillfen {

std::optional<Machine> MachineForFileName(std::string_view name) {
  const std::string extension = ExtensionOf(name);
  if (extension == "P" || extension == "81" || extension == "P81") return Machine::ZX81;
  if (extension == "O" || extension == "80" || extension == "P80") return Machine::ZX80;
  if (extension == "SNA" || extension == "Z80") return Machine::Spectrum;
  return std::nullopt;
}

}  // namespace quillfen
