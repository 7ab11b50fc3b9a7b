// SPDX-License-Identifier: GPL-3.0-or-later
#include "zx81/zx81_layout.h"

#include <algorithm>

#include "zx81/sinclair_startup_code.h"

namespace quillfen {
namespace {

// The start-up code without decoration (55 bytes) and the jump into RAM behind it (3 bytes).
constexpr std::int32_t kUndecoratedCodeLength = 58;

}  // namespace

std::int32_t ZX81BankOneRoom(std::int32_t rom_end) {
  return 16384 - rom_end - kZX81TailCopyRoutineLength;
}

ZX81Layout PlanZX81Cartridge(std::int32_t length, std::int32_t rom_end) {
  ZX81Layout layout;
  layout.length = length;
  layout.bank_one_room = ZX81BankOneRoom(rom_end);
  // A program that needs the room loses the logo first, then the stripes, then the border.
  const std::int32_t room = kZX81BankZeroRoom + layout.bank_one_room;
  const std::int32_t border = kZX81BorderBytes;
  const std::int32_t stripes = kZX81StripesBytes;
  layout.border = length < room - border;
  layout.stripes = length < room - (layout.border ? border : 0) - stripes;
  layout.logo = length < room - (layout.border ? border : 0) - (layout.stripes ? stripes : 0) -
                             kZX81LogoBytes;

  layout.decoration = (layout.border ? border : 0) + (layout.stripes ? stripes : 0) +
                      (layout.logo ? kZX81LogoBytes : 0);
  layout.head = std::min(length, kZX81BankZeroRoom - layout.decoration);
  layout.system_variables = kUndecoratedCodeLength + layout.decoration;
  layout.attribute_table = kUndecoratedCodeLength + (layout.border ? border : 0) +
                           (layout.stripes ? sinclair::kAttributeLoopLength : 0);
  return layout;
}

}  // namespace quillfen
