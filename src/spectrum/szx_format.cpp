// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum/szx_format.h"

#include <libspectrum.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "cartridge/error.h"
#include "cartridge/load_failure.h"
#include "spectrum/libspectrum_session.h"

namespace quillfen {
namespace {

constexpr std::size_t kSzxPageLength = 0x4000;  // libspectrum holds every RAM page in 16 KB
// The 128K bank numbers an SZX file gives the 48K machine's RAM, from 0x4000 up.
constexpr std::array<int, 3> kPagesFrom0x4000 = {5, 2, 0};
constexpr std::uint8_t kBorderColourMask = 0x07;
constexpr std::string_view kSzxSignature = "ZXST";
constexpr char kOwnRomOnly[] = ": only snapshots running the Spectrum's own ROM can be converted";

std::string ErrorText(libspectrum_error error) {
  switch (error) {
    case LIBSPECTRUM_ERROR_CORRUPT:
      return "the file is corrupt";
    case LIBSPECTRUM_ERROR_UNKNOWN:
      return "it holds something unknown to it";
    case LIBSPECTRUM_ERROR_MEMORY:
      return "out of memory";
    case LIBSPECTRUM_ERROR_INVALID:
      return "invalid data";
    default:
      return "error " + std::to_string(error);
  }
}

// Refuses a snapshot that does not run a plain 48K Spectrum's ROM: another machine, a custom
// ROM, or the ROM of an interface paged in over it.
void CheckMachine(libspectrum_snap* snap) {
  const libspectrum_machine machine = libspectrum_snap_machine(snap);
  // The NTSC 48K differs in its frame timing only; its memory and ROM are the PAL machine's.
  if (machine != LIBSPECTRUM_MACHINE_48 && machine != LIBSPECTRUM_MACHINE_48_NTSC) {
    // The 128 by the name it was sold under; the others as libspectrum names them.
    const char* name =
        machine == LIBSPECTRUM_MACHINE_128 ? "Spectrum 128" : libspectrum_machine_name(machine);
    Refuse(LoadFailureKind::kNot48KSnapshot, std::string("SZX snapshot of a ") +
                                                 (name ? name : "machine unknown to libspectrum") +
                                                 ": only 48K snapshots can be converted");
  }
  if (libspectrum_snap_custom_rom(snap))
    Refuse(LoadFailureKind::kNot48KSnapshot, std::string("a custom ROM is in place") + kOwnRomOnly);
  struct PagedRom {
    int (*paged)(libspectrum_snap*);
    const char* name;
  };
  static constexpr PagedRom kPagedRoms[] = {
      {libspectrum_snap_interface1_paged, "Interface 1"},
      {libspectrum_snap_beta_paged, "Beta disk interface"},
      {libspectrum_snap_plusd_paged, "+D"},
      {libspectrum_snap_disciple_paged, "DISCiPLE"},
      {libspectrum_snap_opus_paged, "Opus Discovery"},
      {libspectrum_snap_didaktik80_paged, "Didaktik 80"},
      {libspectrum_snap_divide_paged, "DivIDE"},
      {libspectrum_snap_divmmc_paged, "DivMMC"},
      {libspectrum_snap_multiface_paged, "Multiface"},
      {libspectrum_snap_usource_paged, "uSource"},
      {libspectrum_snap_spectranet_paged, "Spectranet"},
  };
  for (const PagedRom& rom : kPagedRoms)
    if (rom.paged(snap))
      Refuse(LoadFailureKind::kNot48KSnapshot,
             "the " + std::string(rom.name) + " ROM is paged in" + kOwnRomOnly);
}

}  // namespace

void ParseSzxSnapshot(std::span<const std::uint8_t> file, SnapshotState& state) {
  // libspectrum unpacks a compressed (gzip, bzip2) file whatever type it is told to read, so a
  // small packed file could claim any amount of memory; a file that starts with the SZX signature
  // is never taken for one of those.
  if (file.size() < kSzxSignature.size() ||
      !std::equal(kSzxSignature.begin(), kSzxSignature.end(), file.begin()))
    Refuse(LoadFailureKind::kUnreadableFormat,
           "not an SZX file: it does not start with the signature ZXST");
  EnsureLibspectrum();
  const SnapHandle snap(libspectrum_snap_alloc());
  const libspectrum_error read = libspectrum_snap_read(snap.get(), file.data(), file.size(),
                                                       LIBSPECTRUM_ID_SNAPSHOT_SZX, nullptr);
  if (read != LIBSPECTRUM_ERROR_NONE && read != LIBSPECTRUM_ERROR_WARNING)
    Refuse(LoadFailureKind::kUnreadableFormat, "libspectrum cannot read it: " + ErrorText(read));
  CheckMachine(snap.get());

  // The whole RAM first: a snapshot refused for a missing page leaves the record as it was.
  Bytes memory;
  memory.reserve(kSnapshotRamLength);
  for (const int page : kPagesFrom0x4000) {
    const libspectrum_byte* data = libspectrum_snap_pages(snap.get(), page);
    if (data == nullptr)
      Refuse(LoadFailureKind::kIncompleteRam,
             "page " + std::to_string(page) + " is missing: the 48 KB of RAM are not all there");
    memory.insert(memory.end(), data, data + kSzxPageLength);
  }

  libspectrum_snap* s = snap.get();
  state.Memory = std::move(memory);
  state.AF = libspectrum_snap_a(s) << 8 | libspectrum_snap_f(s);
  state.BC = libspectrum_snap_bc(s);
  state.DE = libspectrum_snap_de(s);
  state.HL = libspectrum_snap_hl(s);
  state.IX = libspectrum_snap_ix(s);
  state.IY = libspectrum_snap_iy(s);
  state.AFAlt = libspectrum_snap_a_(s) << 8 | libspectrum_snap_f_(s);
  state.BCAlt = libspectrum_snap_bc_(s);
  state.DEAlt = libspectrum_snap_de_(s);
  state.HLAlt = libspectrum_snap_hl_(s);
  state.PC = libspectrum_snap_pc(s);
  state.SP = libspectrum_snap_sp(s);
  state.I = libspectrum_snap_i(s);
  state.R = libspectrum_snap_r(s);
  state.InterruptMode = libspectrum_snap_im(s);
  // IFF1 decides whether interrupts are taken; IFF2 only keeps it across an NMI.
  state.InterruptsEnabled = libspectrum_snap_iff1(s) != 0;
  state.BorderColour = static_cast<std::int16_t>(libspectrum_snap_out_ula(s) & kBorderColourMask);
}

}  // namespace quillfen
