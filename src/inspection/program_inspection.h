// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "inspection/converters.h"
#include "inspection/machine.h"
#include "inspection/ram_offer.h"
#include "spectrum/snapshot_state.h"

namespace quillfen {

/// A run of unused (zero) snapshot bytes, low to top - 1, inside RAM page `page` (0 to 2), where
/// the 48K cartridge keeps its loader.
struct UnusedArea {
  std::int32_t low = 0;
  std::int32_t top = 0;
  std::int16_t page = 0;
};

/// What a program offers once its file has been picked and read: what the window shows and what
/// the command line checks its options against.
struct ProgramInspection {
  Machine machine = Machine::ZX81;
  /// Why the program cannot be converted (its reader refused it), or "" when it was accepted.
  std::string refusal;
  LoadFailureKind refusal_kind = LoadFailureKind::kNone;
  /// The refusal came from an error raised while inspecting the program that was read (a
  /// NXTLIN outside the image, a length that does not fit): the window then drops the name shown.
  bool raised = false;

  // ZX80 and ZX81.
  std::int32_t program_length = 0;
  RamOffer ram_offer;
  bool auto_run_ticked = false;   // the auto-run box as inspection leaves it
  bool auto_run_fixed = false;    // a ZX81 program that starts by itself: the box is disabled
  bool auto_run_enabled = false;  // the box can be used (ZX80, ZX81 not starting by itself)
  /// Inspection sets the tick from the program (ZX81); otherwise the box keeps the tick the
  /// machine change (or the user) gave it.
  bool auto_run_tick_from_program = false;

  // ZX80: where the free space of ZX80_ROM.bin begins, and whether the 16K cartridge question
  // would be asked with and without auto-run; all empty when ZX80_ROM.bin cannot be read.
  std::optional<std::int32_t> zx80_rom_end;
  std::optional<bool> fits_16k_with_auto_run;
  std::optional<bool> fits_16k_without_auto_run;

  // Spectrum: the registers (Memory left empty), the program counter of an SNA snapshot read
  // from the top of its stack, and the unused area.
  SnapshotState registers;
  bool is_sna = false;                      // the program counter is on the stack
  std::optional<std::int32_t> pc_on_stack;  // empty when SP does not address RAM
  std::optional<UnusedArea> unused_area;

  // Spectrum tapes: the blocks the tape holds and where the loaded program was captured.
  bool from_tape = false;
  std::vector<TapeBlockName> tape_blocks;
  std::int32_t captured_pc = 0;
  bool stopped_at_address = false;  // at the stop address, not after the settle time
};

/// Reads the file at `path` with `machine`'s reader and inspects it, for the window and the
/// command line alike. The
/// reader's module keeps the loaded program for a following generation. ZX80_ROM.bin is read from
/// the first of `rom_folders` that holds it. Never throws: a reader's error becomes the refusal.
ProgramInspection InspectProgram(Converters& converters, Machine machine,
                                 const std::filesystem::path& path,
                                 const std::vector<std::filesystem::path>& rom_folders);

/// Whether a 16K ZX80 cartridge holds a program of `program_length` bytes with `auto_run` behind
/// a ROM image whose free space begins at `rom_end`: then the 16K question is asked.
bool ZX80FitsIn16K(std::int32_t program_length, std::int32_t rom_end, std::int16_t auto_run);

}  // namespace quillfen
