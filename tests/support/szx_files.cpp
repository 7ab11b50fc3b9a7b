// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/szx_files.h"

#include <cstring>
#include <memory>
#include <stdexcept>

namespace quillfen::testing {
namespace {

// Where bank `page` of a 48K machine lies in Memory, or -1 for a bank it does not have.
int OffsetOfPage(int page) {
  switch (page) {
    case 5:
      return 0x0000;
    case 2:
      return 0x4000;
    case 0:
      return 0x8000;
  }
  return -1;
}

}  // namespace

Bytes MakeSzxFile(const SnapshotState& state, libspectrum_machine machine,
                  std::initializer_list<int> pages,
                  const std::function<void(libspectrum_snap*)>& edit) {
  static const bool initialised = libspectrum_init() == LIBSPECTRUM_ERROR_NONE;
  if (!initialised) throw std::runtime_error("libspectrum_init failed");
  const std::unique_ptr<libspectrum_snap, decltype(&libspectrum_snap_free)> owner(
      libspectrum_snap_alloc(), libspectrum_snap_free);
  libspectrum_snap* snap = owner.get();
  libspectrum_snap_set_machine(snap, machine);
  libspectrum_snap_set_a(snap, static_cast<libspectrum_byte>(state.AF >> 8));
  libspectrum_snap_set_f(snap, static_cast<libspectrum_byte>(state.AF));
  libspectrum_snap_set_bc(snap, static_cast<libspectrum_word>(state.BC));
  libspectrum_snap_set_de(snap, static_cast<libspectrum_word>(state.DE));
  libspectrum_snap_set_hl(snap, static_cast<libspectrum_word>(state.HL));
  libspectrum_snap_set_a_(snap, static_cast<libspectrum_byte>(state.AFAlt >> 8));
  libspectrum_snap_set_f_(snap, static_cast<libspectrum_byte>(state.AFAlt));
  libspectrum_snap_set_bc_(snap, static_cast<libspectrum_word>(state.BCAlt));
  libspectrum_snap_set_de_(snap, static_cast<libspectrum_word>(state.DEAlt));
  libspectrum_snap_set_hl_(snap, static_cast<libspectrum_word>(state.HLAlt));
  libspectrum_snap_set_ix(snap, static_cast<libspectrum_word>(state.IX));
  libspectrum_snap_set_iy(snap, static_cast<libspectrum_word>(state.IY));
  libspectrum_snap_set_pc(snap, static_cast<libspectrum_word>(state.PC));
  libspectrum_snap_set_sp(snap, static_cast<libspectrum_word>(state.SP));
  libspectrum_snap_set_i(snap, static_cast<libspectrum_byte>(state.I));
  libspectrum_snap_set_r(snap, static_cast<libspectrum_byte>(state.R));
  libspectrum_snap_set_iff1(snap, state.InterruptsEnabled ? 1 : 0);
  libspectrum_snap_set_iff2(snap, state.InterruptsEnabled ? 1 : 0);
  libspectrum_snap_set_im(snap, static_cast<libspectrum_byte>(state.InterruptMode));
  libspectrum_snap_set_out_ula(snap, static_cast<libspectrum_byte>(state.BorderColour));
  for (const int page : pages) {
    // The snapshot owns its pages and frees them with libspectrum_free.
    auto* data = libspectrum_new0(libspectrum_byte, 0x4000);
    if (const int offset = OffsetOfPage(page); offset >= 0 && state.Memory.size() >= 0xC000u)
      std::memcpy(data, state.Memory.data() + offset, 0x4000);
    libspectrum_snap_set_pages(snap, page, data);
  }
  if (edit) edit(snap);
  libspectrum_byte* buffer = nullptr;
  size_t length = 0;
  int out_flags = 0;
  if (libspectrum_snap_write(&buffer, &length, &out_flags, snap, LIBSPECTRUM_ID_SNAPSHOT_SZX,
                             nullptr, 0) != LIBSPECTRUM_ERROR_NONE)
    throw std::runtime_error("libspectrum_snap_write failed");
  Bytes file(buffer, buffer + length);
  libspectrum_free(buffer);
  return file;
}

}  // namespace quillfen::testing
