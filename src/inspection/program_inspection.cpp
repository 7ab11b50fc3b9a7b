// SPDX-License-Identifier: GPL-3.0-or-later
#include "inspection/program_inspection.h"

#include <exception>

#include "cartridge/cartridge_maker.h"
#include "cartridge/error.h"
#include "cartridge/file_names.h"
#include "cartridge/rom_folders.h"
#include "spectrum/spectrum_layout.h"
#include "zx80/zx80_processing.h"

namespace quillfen {
namespace {

void InspectZX80(Converters& converters, const std::vector<std::filesystem::path>& rom_folders,
                 ProgramInspection& result) {
  const std::int16_t length = converters.ZX80ProgramLength();
  if (length <= 0) {
    result.refusal = "no program after the system variables";
    result.refusal_kind = LoadFailureKind::kELineOutOfRange;
    return;
  }
  result.program_length = length;
  result.ram_offer = ZX80RamOffer(length);
  result.auto_run_ticked = true;  // the machine change ticks it and inspection leaves it
  result.auto_run_enabled = true;
  Bytes rom;
  const std::optional<std::filesystem::path> rom_path =
      FindRomFile(rom_folders, std::string(FactsOf(Machine::ZX80).rom_file_name));
  if (rom_path && ReadWholeFile(rom, *rom_path)) {
    const std::int32_t rom_end = ZX80Processing::FindZX80RomEnd(rom);
    result.zx80_rom_end = rom_end;
    result.fits_16k_with_auto_run = ZX80FitsIn16K(length, rom_end, 1);
    result.fits_16k_without_auto_run = ZX80FitsIn16K(length, rom_end, 0);
  }
}

void InspectZX81(Converters& converters, ProgramInspection& result) {
  result.auto_run_ticked = converters.ZX81ProgramAutoRuns();
  result.auto_run_fixed = result.auto_run_ticked;
  result.auto_run_enabled = !result.auto_run_fixed;
  result.auto_run_tick_from_program = true;
  const std::int32_t length = converters.ZX81ProgramLength();
  // The RAM offer and the generation take the length in 16 bits.
  if (length > 32767 || length < -32768)
    ThrowError("program length " + std::to_string(length) + " is out of range");
  if (length <= 0) {
    result.refusal = "no program after the system variables";
    result.refusal_kind = LoadFailureKind::kELineOutOfRange;
    return;
  }
  result.program_length = length;
  result.ram_offer = ZX81RamOffer(static_cast<std::int16_t>(length));
}

void InspectSnapshot(Converters& converters, ProgramInspection& result) {
  const SnapshotState& state = converters.Snapshot();
  result.ram_offer = SpectrumRamOffer();
  result.registers = state;
  result.registers.Memory.clear();
  // An SNA snapshot resumes by a return: its program counter is the word at the top of the stack.
  result.is_sna = converters.SnapshotKindLoaded() == spectrum::SnapshotKind::kSna;
  if (result.is_sna && state.SP >= 0x4000 && state.SP <= 0xFFFE)
    result.pc_on_stack = WordAt(state.Memory, static_cast<std::size_t>(state.SP - 0x4000));
  std::int32_t top = 0;
  std::int16_t page = 0;
  const std::int32_t low = spectrum::FindUnusedArea(state.Memory, top, page);
  if (low != 0) result.unused_area = UnusedArea{low, top, page};
  if (const LoadedTape* tape = converters.TapeLoaded()) {
    result.from_tape = true;
    result.tape_blocks = tape->blocks;
    result.captured_pc = tape->pc;
    result.stopped_at_address = tape->stopped_at_address;
  }
}

}  // namespace

bool ZX80FitsIn16K(std::int32_t program_length, std::int32_t rom_end, std::int16_t auto_run) {
  return ZX80Processing::FitsIn16K(program_length, rom_end, auto_run);
}

ProgramInspection InspectProgram(Converters& converters, Machine machine,
                                 const std::filesystem::path& path,
                                 const std::vector<std::filesystem::path>& rom_folders) {
  ProgramInspection result;
  result.machine = machine;
  try {
    bool loaded = false;
    switch (machine) {
      case Machine::ZX80:
        loaded = converters.LoadZX80Program(path);
        break;
      case Machine::ZX81:
        loaded = converters.LoadZX81Program(path);
        break;
      case Machine::Spectrum:
        loaded = converters.LoadSnapshot(path);
        break;
    }
    if (!loaded) {
      const LoadFailure failure = converters.LastLoadFailure(machine);
      result.refusal = failure.text.empty() ? "refused by the reader" : failure.text;
      result.refusal_kind = failure.kind;
      return result;
    }
    switch (machine) {
      case Machine::ZX80:
        InspectZX80(converters, rom_folders, result);
        break;
      case Machine::ZX81:
        InspectZX81(converters, result);
        break;
      case Machine::Spectrum:
        InspectSnapshot(converters, result);
        break;
    }
  } catch (const std::exception& error) {
    result.refusal = OneLine(error.what());
    result.refusal_kind = LoadFailureKind::kFault;
    result.raised = true;
  }
  return result;
}

}  // namespace quillfen
