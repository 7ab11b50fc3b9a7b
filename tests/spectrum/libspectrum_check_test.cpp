// Our readers against libspectrum, an independent implementation of the same formats: snapshots
// written by libspectrum are read by our readers, and files made by our test builders are read
// by both; every register and every RAM byte must agree.
#include <gtest/gtest.h>
#include <libspectrum.h>

#include <memory>
#include <optional>

#include "spectrum/sna_format.h"
#include "spectrum/z80_format.h"
#include "support/scripted_host.h"
#include "support/snapshot_files.h"

namespace quillfen {
namespace {

using testing::MakeSnaFile;
using testing::MakeZ80FilePaged;
using testing::MakeZ80FileVersion1;
using testing::ScriptedHost;
using testing::SnapshotRegisterDifferences;

constexpr int kSnapshotCount = 200;
constexpr std::size_t kPageLength = 0x4000;
// libspectrum's RAM pages of a 48K machine at 0x4000, 0x8000 and 0xC000.
constexpr int kLibspectrumPages[] = {5, 2, 0};

struct SnapDeleter {
  void operator()(libspectrum_snap* snap) const { libspectrum_snap_free(snap); }
};
using Snap = std::unique_ptr<libspectrum_snap, SnapDeleter>;

void InitialiseLibspectrumOnce() {
  static const bool initialised = libspectrum_init() == LIBSPECTRUM_ERROR_NONE;
  ASSERT_TRUE(initialised);
}

Snap ToLibspectrum(const SnapshotState& state) {
  Snap snap(libspectrum_snap_alloc());
  libspectrum_snap* s = snap.get();
  libspectrum_snap_set_machine(s, LIBSPECTRUM_MACHINE_48);
  libspectrum_snap_set_a(s, static_cast<libspectrum_byte>(state.AF >> 8));
  libspectrum_snap_set_f(s, static_cast<libspectrum_byte>(state.AF & 0xFF));
  libspectrum_snap_set_bc(s, static_cast<libspectrum_word>(state.BC));
  libspectrum_snap_set_de(s, static_cast<libspectrum_word>(state.DE));
  libspectrum_snap_set_hl(s, static_cast<libspectrum_word>(state.HL));
  libspectrum_snap_set_a_(s, static_cast<libspectrum_byte>(state.AFAlt >> 8));
  libspectrum_snap_set_f_(s, static_cast<libspectrum_byte>(state.AFAlt & 0xFF));
  libspectrum_snap_set_bc_(s, static_cast<libspectrum_word>(state.BCAlt));
  libspectrum_snap_set_de_(s, static_cast<libspectrum_word>(state.DEAlt));
  libspectrum_snap_set_hl_(s, static_cast<libspectrum_word>(state.HLAlt));
  libspectrum_snap_set_ix(s, static_cast<libspectrum_word>(state.IX));
  libspectrum_snap_set_iy(s, static_cast<libspectrum_word>(state.IY));
  libspectrum_snap_set_i(s, static_cast<libspectrum_byte>(state.I));
  libspectrum_snap_set_r(s, static_cast<libspectrum_byte>(state.R));
  libspectrum_snap_set_sp(s, static_cast<libspectrum_word>(state.SP));
  libspectrum_snap_set_pc(s, static_cast<libspectrum_word>(state.PC));
  libspectrum_snap_set_iff1(s, state.InterruptsEnabled ? 1 : 0);
  libspectrum_snap_set_iff2(s, state.InterruptsEnabled ? 1 : 0);
  libspectrum_snap_set_im(s, static_cast<libspectrum_byte>(state.InterruptMode));
  libspectrum_snap_set_out_ula(s, static_cast<libspectrum_byte>(state.BorderColour));
  for (std::size_t slot = 0; slot < 3; ++slot) {
    auto* page = static_cast<libspectrum_byte*>(libspectrum_malloc(kPageLength));
    std::copy_n(state.Memory.begin() + slot * kPageLength, kPageLength, page);
    libspectrum_snap_set_pages(s, kLibspectrumPages[slot], page);
  }
  return snap;
}

SnapshotState FromLibspectrum(libspectrum_snap* s) {
  SnapshotState state;
  state.AF = libspectrum_snap_a(s) << 8 | libspectrum_snap_f(s);
  state.BC = libspectrum_snap_bc(s);
  state.DE = libspectrum_snap_de(s);
  state.HL = libspectrum_snap_hl(s);
  state.AFAlt = libspectrum_snap_a_(s) << 8 | libspectrum_snap_f_(s);
  state.BCAlt = libspectrum_snap_bc_(s);
  state.DEAlt = libspectrum_snap_de_(s);
  state.HLAlt = libspectrum_snap_hl_(s);
  state.IX = libspectrum_snap_ix(s);
  state.IY = libspectrum_snap_iy(s);
  state.I = libspectrum_snap_i(s);
  state.R = libspectrum_snap_r(s);
  state.SP = libspectrum_snap_sp(s);
  state.PC = libspectrum_snap_pc(s);
  state.InterruptsEnabled = libspectrum_snap_iff1(s) != 0;
  state.InterruptMode = libspectrum_snap_im(s);
  state.BorderColour = static_cast<std::int16_t>(libspectrum_snap_out_ula(s) & 0x07);
  for (const int page : kLibspectrumPages) {
    const libspectrum_byte* data = libspectrum_snap_pages(s, page);
    if (data == nullptr) return state;  // Memory then shows the missing page by its length
    state.Memory.insert(state.Memory.end(), data, data + kPageLength);
  }
  return state;
}

Bytes WriteWithLibspectrum(const SnapshotState& state, libspectrum_id_t type, int flags) {
  const Snap snap = ToLibspectrum(state);
  libspectrum_byte* buffer = nullptr;
  size_t length = 0;
  int out_flags = 0;
  EXPECT_EQ(libspectrum_snap_write(&buffer, &length, &out_flags, snap.get(), type, nullptr, flags),
            LIBSPECTRUM_ERROR_NONE);
  EXPECT_EQ(out_flags & LIBSPECTRUM_FLAG_SNAPSHOT_MAJOR_INFO_LOSS, 0);
  Bytes file(buffer, buffer + length);
  libspectrum_free(buffer);
  return file;
}

std::optional<SnapshotState> ReadWithLibspectrum(const Bytes& file, libspectrum_id_t type) {
  Snap snap(libspectrum_snap_alloc());
  if (libspectrum_snap_read(snap.get(), file.data(), file.size(), type, nullptr) !=
      LIBSPECTRUM_ERROR_NONE)
    return std::nullopt;
  EXPECT_EQ(libspectrum_snap_machine(snap.get()), LIBSPECTRUM_MACHINE_48);
  return FromLibspectrum(snap.get());
}

// What the SNA format holds for a running machine: PC pushed onto its stack.
SnapshotState WithPcOnTheStack(SnapshotState state) {
  state.SP -= 2;
  state.Memory[state.SP - 0x4000] = static_cast<std::uint8_t>(state.PC & 0xFF);
  state.Memory[state.SP - 0x4000 + 1] = static_cast<std::uint8_t>(state.PC >> 8);
  return state;
}

// A random snapshot; every fourth one ends each 16 KB page in a lone 0xED.
SnapshotState NextSnapshot(std::mt19937& random, int index) {
  SnapshotState state = testing::RandomSnapshot(random);
  if (index % 4 == 0) {
    for (const std::size_t last : {0x3FFF, 0x7FFF, 0xBFFF}) {
      state.Memory[last - 1] = 0x00;
      state.Memory[last] = 0xED;
    }
  }
  return state;
}

void ExpectSame(const SnapshotState& actual, const SnapshotState& expected, const char* what,
                int index) {
  EXPECT_EQ(SnapshotRegisterDifferences(actual, expected), "") << what << ", snapshot " << index;
  EXPECT_TRUE(actual.Memory == expected.Memory) << what << ", snapshot " << index;
}

TEST(LibspectrumCheckTest, OurReadersReadWhatLibspectrumWrites) {
  InitialiseLibspectrumOnce();
  std::mt19937 random(2024);
  ScriptedHost host("/nonexistent");
  constexpr std::int32_t kUnsetPc = 0x1234;
  for (int index = 0; index < kSnapshotCount; ++index) {
    const SnapshotState original = NextSnapshot(random, index);

    SnapshotState sna;
    sna.PC = kUnsetPc;  // an SNA file holds PC on the stack only
    ASSERT_TRUE(
        ReadSnaSnapshot(WriteWithLibspectrum(original, LIBSPECTRUM_ID_SNAPSHOT_SNA, 0), sna));
    SnapshotState expected_sna = WithPcOnTheStack(original);
    expected_sna.PC = kUnsetPc;
    ExpectSame(sna, expected_sna, "SNA", index);

    for (const int flags : {0, LIBSPECTRUM_FLAG_SNAPSHOT_NO_COMPRESSION}) {
      SnapshotState z80;
      const Bytes file = WriteWithLibspectrum(original, LIBSPECTRUM_ID_SNAPSHOT_Z80, flags);
      ASSERT_TRUE(ReadZ80Snapshot(file, z80, host)) << "snapshot " << index;
      ExpectSame(z80, original, flags ? "Z80 uncompressed" : "Z80 compressed", index);
    }
  }
}

TEST(LibspectrumCheckTest, LibspectrumReadsWhatOurReadersRead) {
  InitialiseLibspectrumOnce();
  std::mt19937 random(1982);
  ScriptedHost host("/nonexistent");
  for (int index = 0; index < kSnapshotCount; ++index) {
    const SnapshotState original = NextSnapshot(random, index);

    SnapshotState ours;
    const Bytes sna = MakeSnaFile(WithPcOnTheStack(original));
    ASSERT_TRUE(ReadSnaSnapshot(sna, ours));
    const auto theirs_sna = ReadWithLibspectrum(sna, LIBSPECTRUM_ID_SNAPSHOT_SNA);
    ASSERT_TRUE(theirs_sna.has_value());
    // libspectrum pops PC off the stack; the record keeps the stack as the file holds it.
    SnapshotState popped = ours;
    popped.PC = WordAt(ours.Memory, static_cast<std::size_t>(ours.SP - 0x4000));
    popped.SP += 2;
    ExpectSame(*theirs_sna, popped, "SNA", index);
    EXPECT_EQ(popped.PC, original.PC);

    std::vector<int> order = {8, 4, 5};
    std::shuffle(order.begin(), order.end(), random);
    const bool compressed = index % 2 == 0;
    const std::pair<const char*, Bytes> files[] = {
        {"version 1 raw", MakeZ80FileVersion1(original, false)},
        {"version 1 compressed", MakeZ80FileVersion1(original, true)},
        {"version 2", MakeZ80FilePaged(original, 23, compressed, order)},
        {"version 3, L = 54", MakeZ80FilePaged(original, 54, !compressed, order)},
        {"version 3, L = 55", MakeZ80FilePaged(original, 55, compressed, order)},
    };
    for (const auto& [what, file] : files) {
      SnapshotState z80;
      ASSERT_TRUE(ReadZ80Snapshot(file, z80, host)) << what << ", snapshot " << index;
      const auto theirs = ReadWithLibspectrum(file, LIBSPECTRUM_ID_SNAPSHOT_Z80);
      ASSERT_TRUE(theirs.has_value()) << what << ", snapshot " << index;
      ExpectSame(z80, *theirs, what, index);
      ExpectSame(z80, original, what, index);
    }
  }
}

}  // namespace
}  // namespace quillfen
