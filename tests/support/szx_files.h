// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <libspectrum.h>

#include <functional>
#include <initializer_list>

#include "cartridge/bytes.h"
#include "spectrum/snapshot_state.h"

namespace quillfen::testing {

/// An SZX file of `state` written by libspectrum for `machine`: every register, IFF1 = IFF2 =
/// InterruptsEnabled, IM, the border in the ULA port, and a RAM page for each bank in `pages`
/// (5, 2 and 0 hold Memory from 0x4000 up; any other bank is zeros). `edit` changes the snapshot
/// just before it is written.
Bytes MakeSzxFile(const SnapshotState& state, libspectrum_machine machine = LIBSPECTRUM_MACHINE_48,
                  std::initializer_list<int> pages = {5, 2, 0},
                  const std::function<void(libspectrum_snap*)>& edit = {});

}  // namespace quillfen::testing
