// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/error.h"

namespace quillfen {

void ThrowError(const std::string& message) { throw Error(message); }

}  // namespace quillfen
