// SPDX-License-Identifier: GPL-3.0-or-later
#include <exception>
#include <optional>
#include <span>

#include "cartridge/bank_layout.h"
#include "cartridge/converter_files.h"
#include "cartridge/file_names.h"
#include "cartridge/rom_free_space.h"
#include "zx81/zx81_layout.h"
#include "zx81/zx81_processing.h"
#include "zx81/zx81_program_file.h"
#include "zx81/zx81_startup_code.h"

// Building the 32K ZX81 cartridge: bank 0 holds the start-up code, the decoration, the system
// variables, the program head and the RAM code; bank 1 the ZX81 ROM image and any program tail.
namespace quillfen {
namespace {

constexpr const char* kRomReadFailed = "Failed to read ZX81 ROM file (ZX81_ROM.bin)";
constexpr const char* kProgramTooLarge = "Program is too large";
constexpr const char* kRomInsertFailed = "Failed to insert ZX81 ROM data";
constexpr const char* kRomContent = "the ZX81 ROM followed by free space filled with 0xFF";

// The RAM code waits until address 0x000A reads 0x40 before it enters bank 1: a ROM image
// without it would leave the machine waiting for ever.
constexpr RomMark kRomWaitMark = {0x000A, 0x40};

// The free space of a ROM image is searched from its last byte down to this offset.
constexpr std::int32_t kLowestFreeSpaceSearch = 8191;

}  // namespace

bool ZX81Processing::GenerateZX81Cartridge(const std::string& file_name, std::int32_t& ram_size,
                                           std::int16_t auto_run) {
  if (!zx81::IsZX81Extension(ExtensionOf(file_name))) return false;
  ApplyZX81AutoRun(auto_run);
  ram_size += 16384;
  const std::optional<std::filesystem::path> rom_path =
      ReadRomImageFile(host_, std::string(zx81::kMachine.rom_file_name), kRomReadFailed, zx81_rom_);
  if (!rom_path) return false;
  zx81_rom_path_ = *rom_path;
  zx81_rom_end_ = FindZX81RomEnd();
  if (!BuildZX81Cartridge(ram_size)) return false;
  return WriteCartridgeImageFile(host_, maker_, file_name);
}

void ZX81Processing::ApplyZX81AutoRun(std::int16_t auto_run) {
  const bool program_auto_runs = ZX81ProgramAutoRuns();  // asked whatever auto_run says
  if (auto_run == 1 && !program_auto_runs) AddAutoRun();
}

// Makes the ZX81 ROM run the program from its first line: NXTLIN := 0x407D. A program whose
// program area is empty has no line to run and is left alone.
void ZX81Processing::AddAutoRun() {
  const bool has_program_area = zx81_program_.size() > zx81::kProgramAreaOffset;
  if (has_program_area && zx81_program_[zx81::kProgramAreaOffset] == zx81::kNewLine) return;
  if (zx81_program_.size() < zx81::kNxtLinOffset + 2)
    ThrowError("AddAutoRun: a program image of " + std::to_string(zx81_program_.size()) +
               " bytes holds no NXTLIN");
  zx81_program_[zx81::kNxtLinOffset] = zx81::kFirstProgramLine & 0xFF;
  zx81_program_[zx81::kNxtLinOffset + 1] = zx81::kFirstProgramLine >> 8;
}

std::int32_t ZX81Processing::FindZX81RomEnd(std::span<const std::uint8_t> rom) {
  return FindRomFreeSpace(rom, kLowestFreeSpaceSearch);
}

bool ZX81Processing::BuildZX81Cartridge(std::int32_t& ramtop) {
  try {
    const std::string rom_fault =
        RomImageFault(zx81_rom_, zx81_rom_path_, kRomContent, kRomWaitMark);
    if (!rom_fault.empty()) {
      host_.ShowError(kRomInsertFailed, rom_fault);
      return false;
    }
    const Bytes program = zx81_program_;
    const auto length = static_cast<std::int32_t>(program.size());
    if (length > kZX81BankZeroRoom + ZX81BankOneRoom(zx81_rom_end_)) {
      host_.ShowError(kProgramTooLarge);
      return false;
    }
    if (length > kZX81LongestProgramBelowRamTop) ramtop += 16384;

    const BankZeroLayout layout = PlanZX81Cartridge(length, zx81_rom_end_);
    const auto head = std::span(program).first(static_cast<std::size_t>(layout.head));
    const auto tail = std::span(program).subspan(head.size());
    const std::optional<std::int32_t> tail_copy_routine =
        tail.empty() ? std::nullopt : std::optional(zx81_rom_end_);

    maker_.Clear();
    EmitTwoBankStartupCode(maker_, layout, zx81::kImageStart + layout.head);
    EmitDecorationRows(maker_, layout.decoration);
    ExpectNextAddress(maker_, layout.copy_from, "BuildZX81Cartridge", "system variable block");
    zx81::EmitSystemVariables(maker_, ramtop);
    maker_.AppendBytes(head);
    zx81::EmitSecondCodeBlock(maker_, ramtop, tail_copy_routine);
    PadToBankEnd(maker_, kBankSize, "BuildZX81Cartridge");

    AppendRomBank(maker_, zx81_rom_, zx81_rom_end_, tail, [&](CartridgeMaker& out) {
      zx81::EmitTailCopyRoutine(out, zx81_rom_end_, layout.head, static_cast<int>(tail.size()));
    });
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quillfen
