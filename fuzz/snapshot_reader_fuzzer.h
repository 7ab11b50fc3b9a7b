// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// LoadSnapshot on arbitrary bytes under a name of one snapshot format; `sna` picks SNA names,
// otherwise Z80 names. The SNA and Z80 reader targets are this one with a different name.
int FuzzSnapshotReader(const std::uint8_t* data, std::size_t size, bool sna);
