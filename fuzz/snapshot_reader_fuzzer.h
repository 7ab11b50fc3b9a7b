// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

enum class SnapshotFormat { kSna, kZ80, kSzx };

// LoadSnapshot on arbitrary bytes under a name of one snapshot format. The SNA, Z80 and SZX
// reader targets are this one with a different format.
int FuzzSnapshotReader(const std::uint8_t* data, std::size_t size, SnapshotFormat format);
