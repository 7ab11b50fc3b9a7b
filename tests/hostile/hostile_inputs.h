#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "cartridge/bytes.h"
#include "inspection/converters.h"
#include "spectrum/snapshot_state.h"
#include "support/scripted_host.h"
#include "support/snapshot_files.h"
#include "support/temp_dir.h"

namespace quillfen::testing {

/// A snapshot whose RAM compresses to a few kilobytes (so every offset of its compressed files
/// can be visited) yet holds random stretches, lone 0xED bytes and runs.
inline SnapshotState SmallSnapshot() {
  std::mt19937 random(8);
  SnapshotState state = RandomSnapshot(random);
  for (std::size_t k = 0; k < state.Memory.size(); ++k)
    if (k % 4096 > 24) state.Memory[k] = k % 6000 < 3000 ? 0x00 : 0x5A;
  return state;
}

/// A folder, a scripted host on it and the three converters that read from and write to it.
class HostileInputTest : public ::testing::Test {
 protected:
  TempDir folder_;
  ScriptedHost host_{folder_.path()};
  MachineConverters converters_{host_};
};

}  // namespace quillfen::testing
