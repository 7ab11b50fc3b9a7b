// SPDX-License-Identifier: GPL-3.0-or-later
// LoadSnapshot on arbitrary bytes under Z80 names.
#include "snapshot_reader_fuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzSnapshotReader(data, size, SnapshotFormat::kZ80);
}
