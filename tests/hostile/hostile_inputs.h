// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <span>
#include <string>

#include "inspection/converters.h"
#include "spectrum/z80_format.h"
#include "support/scripted_host.h"
#include "support/snapshot_files.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"

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

/// ReadZ80Snapshot with a host that asks nothing.
inline bool ReadZ80(std::span<const std::uint8_t> file, SnapshotState& state) {
  ScriptedHost host("/nonexistent");
  return ReadZ80Snapshot(file, state, host);
}

/// A folder, a host on it and the three converters that read from and write to it; files of
/// each kind: P (ZX81 program), O (ZX80 program), SNA and Z80 (snapshots).
class HostileInputTest : public ::testing::Test {
 protected:
  static constexpr const char* kKinds[] = {"P", "O", "SNA", "Z80"};

  static Bytes ValidFile(const std::string& kind) {
    if (kind == "P") return MakeZX81Program(200, 0x407D);
    if (kind == "O") return MakeZX80Program(200);
    if (kind == "SNA") return MakeSnaFile(SmallSnapshot());
    return MakeZ80FileVersion1(SmallSnapshot(), true);
  }

  /// Reads `path` with the reader of `kind`, whatever the path's name.
  bool Load(const std::string& kind, const std::filesystem::path& path) {
    if (kind == "P") return converters_.LoadZX81Program(path);
    if (kind == "O") return converters_.LoadZX80Program(path);
    return converters_.LoadSnapshot(path);
  }

  TempDir folder_;
  ScriptedHost host_{folder_.path()};
  MachineConverters converters_{host_};
};

}  // namespace quillfen::testing
