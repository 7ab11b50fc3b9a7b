// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a captured machine as a Z80 snapshot through libspectrum, so that it can be kept, read
// back by the Z80 reader and loaded by any emulator.
#include <libspectrum.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "cartridge/error.h"
#include "spectrum/libspectrum_session.h"
#include "spectrum/z80_format.h"

namespace quillfen {
namespace {

// The 128K bank numbers libspectrum gives the 48K machine's RAM, from 0x4000 up.
constexpr std::array<int, 3> kPagesFrom0x4000 = {5, 2, 0};

libspectrum_byte Low(std::int32_t word) { return static_cast<libspectrum_byte>(word & 0xFF); }
libspectrum_byte High(std::int32_t word) { return static_cast<libspectrum_byte>(word >> 8 & 0xFF); }
libspectrum_word Word(std::int32_t word) { return static_cast<libspectrum_word>(word & 0xFFFF); }

}  // namespace

Bytes WriteZ80Snapshot(const SnapshotState& state) {
  if (state.Memory.size() != kSnapshotRamLength)
    ThrowError("WriteZ80Snapshot: the snapshot holds " + std::to_string(state.Memory.size()) +
               " bytes of RAM, not 49152");
  EnsureLibspectrum();
  const SnapHandle snap(libspectrum_snap_alloc());
  libspectrum_snap* s = snap.get();
  libspectrum_snap_set_machine(s, LIBSPECTRUM_MACHINE_48);
  for (std::size_t i = 0; i < kPagesFrom0x4000.size(); ++i) {
    // The snapshot owns and frees its pages: they come from libspectrum's allocator.
    libspectrum_byte* page = libspectrum_new(libspectrum_byte, kZ80PageLength);
    std::memcpy(page, state.Memory.data() + i * kZ80PageLength, kZ80PageLength);
    libspectrum_snap_set_pages(s, kPagesFrom0x4000[i], page);
  }
  libspectrum_snap_set_a(s, High(state.AF));
  libspectrum_snap_set_f(s, Low(state.AF));
  libspectrum_snap_set_bc(s, Word(state.BC));
  libspectrum_snap_set_de(s, Word(state.DE));
  libspectrum_snap_set_hl(s, Word(state.HL));
  libspectrum_snap_set_ix(s, Word(state.IX));
  libspectrum_snap_set_iy(s, Word(state.IY));
  libspectrum_snap_set_a_(s, High(state.AFAlt));
  libspectrum_snap_set_f_(s, Low(state.AFAlt));
  libspectrum_snap_set_bc_(s, Word(state.BCAlt));
  libspectrum_snap_set_de_(s, Word(state.DEAlt));
  libspectrum_snap_set_hl_(s, Word(state.HLAlt));
  libspectrum_snap_set_pc(s, Word(state.PC));
  libspectrum_snap_set_sp(s, Word(state.SP));
  libspectrum_snap_set_i(s, Low(state.I));
  libspectrum_snap_set_r(s, Low(state.R));
  libspectrum_snap_set_im(s, Low(state.InterruptMode));
  libspectrum_snap_set_iff1(s, state.InterruptsEnabled ? 1 : 0);
  libspectrum_snap_set_iff2(s, state.InterruptsEnabled ? 1 : 0);
  libspectrum_snap_set_out_ula(s, static_cast<libspectrum_byte>(state.BorderColour & 0x07));

  libspectrum_byte* buffer = nullptr;
  std::size_t length = 0;
  int out_flags = 0;
  ClearLibspectrumError();
  const libspectrum_error error = libspectrum_snap_write(
      &buffer, &length, &out_flags, s, LIBSPECTRUM_ID_SNAPSHOT_Z80, nullptr, 0);
  const LibspectrumBuffer written(buffer);
  if (error != LIBSPECTRUM_ERROR_NONE || buffer == nullptr)
    ThrowError("libspectrum cannot write the Z80 snapshot: " + LastLibspectrumError());
  return Bytes(buffer, buffer + length);
}

}  // namespace quillfen
