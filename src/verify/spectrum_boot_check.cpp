// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify/spectrum_boot_check.h"

#include <string>

#include "verify/boot_machine.h"

namespace quillfen {
namespace {

constexpr std::uint8_t kFirstBlockMarker = 0x01;
constexpr std::uint8_t kRomFirstByte = 0xF3;  // DI, the first byte of the Spectrum ROM

std::uint16_t Word(std::int32_t value) { return static_cast<std::uint16_t>(value & 0xFFFF); }
std::uint8_t Byte(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

/// The program counter the snapshot resumes at. An SNA keeps it on its stack, which lies in the
/// snapshot's RAM unless SP points into the ROM; then the machine's own ROM bytes count.
std::uint16_t ResumeAddress(const SnapshotState& snapshot, bool sna, const BootMachine& machine) {
  if (!sna) return Word(snapshot.PC);
  const std::uint16_t sp = Word(snapshot.SP);
  if (sp >= 0x4000 && sp <= 0xFFFE)
    return static_cast<std::uint16_t>(snapshot.Memory[sp - 0x4000u] |
                                      snapshot.Memory[sp - 0x4000u + 1] << 8);
  return machine.PeekWord(sp);
}

/// The interrupt mode the register block selects: IM 0, IM 1, and IM 2 for any other value.
int ExpectedInterruptMode(std::int32_t mode) { return mode == 0 || mode == 1 ? mode : 2; }

void CheckRefresh(std::uint8_t actual, const SnapshotState& snapshot, bool sna,
                  StateComparison& check, std::vector<std::string>& notes) {
  const std::uint8_t expected = Byte(snapshot.R);
  const auto one_higher = static_cast<std::uint8_t>((expected & 0x80) | ((expected + 1) & 0x7F));
  if (sna && actual == one_higher && actual != expected) {
    notes.push_back("R is " + HexByte(actual) + ", one higher than the snapshot's " +
                    HexByte(expected) + ", as the RETN ending leaves it");
    return;
  }
  check.CheckByte("R", actual, expected);
}

}  // namespace

std::size_t SpectrumStartBank(std::span<const std::uint8_t> image) {
  return !image.empty() && image[0] == kFirstBlockMarker ? 1 : 0;
}

VerifyResult VerifySpectrumImage(
    std::span<const std::uint8_t> image, const SnapshotState& snapshot, spectrum::SnapshotKind kind,
    const std::optional<Bytes>& internal_rom, std::optional<AddressRange> startup_code,
    const VerifyOptions& options,
    const std::function<void(BootMachine&, const VerifyResult&)>& on_resume) {
  if (snapshot.Memory.size() != kSnapshotRamLength)
    ThrowError("VerifySpectrumImage: the snapshot holds " + std::to_string(snapshot.Memory.size()) +
               " bytes of RAM");
  const bool sna = kind == spectrum::SnapshotKind::kSna;

  CartridgeSetup setup;
  setup.start_bank = SpectrumStartBank(image);
  setup.internal_rom_slot = true;
  setup.internal_rom = internal_rom ? *internal_rom : Bytes{kRomFirstByte};
  BootMachine machine(image, setup, options);
  // The register block locks the paging first and ends with the jump to the program, so the
  // first arrival at the program counter after the lock is the resumed snapshot.
  const bool arrived = machine.RunUntil([&](const BootMachine& m) {
    return m.PagingLocked() && m.PC() == ResumeAddress(snapshot, sna, m);
  });

  VerifyResult result;
  result.t_states = machine.TStates();
  result.success_text = "snapshot restored exactly";
  if (startup_code)
    result.success_text += " except " + std::to_string(startup_code->top - startup_code->low) +
                           " bytes of start-up code at " + HexWord(Word(startup_code->low)) + "-" +
                           HexWord(Word(startup_code->top - 1));
  if (!arrived) {
    result.failure = NeverArrived(
        "the snapshot's PC " + HexWord(ResumeAddress(snapshot, sna, machine)), machine);
    return result;
  }
  result.booted = true;

  StateComparison check("snapshot has");
  check.CheckRam(machine, 0x4000, snapshot.Memory, startup_code);
  const Z80Registers r = machine.Registers();
  check.CheckWord("AF", r.AF, Word(snapshot.AF));
  check.CheckWord("BC", r.BC, Word(snapshot.BC));
  check.CheckWord("DE", r.DE, Word(snapshot.DE));
  check.CheckWord("HL", r.HL, Word(snapshot.HL));
  check.CheckWord("AF'", r.AFAlt, Word(snapshot.AFAlt));
  check.CheckWord("BC'", r.BCAlt, Word(snapshot.BCAlt));
  check.CheckWord("DE'", r.DEAlt, Word(snapshot.DEAlt));
  check.CheckWord("HL'", r.HLAlt, Word(snapshot.HLAlt));
  check.CheckWord("IX", r.IX, Word(snapshot.IX));
  check.CheckWord("IY", r.IY, Word(snapshot.IY));
  // RETN has taken the program counter from the snapshot's stack.
  check.CheckWord("SP", r.SP, Word(snapshot.SP + (sna ? 2 : 0)));
  check.CheckByte("I", r.I, Byte(snapshot.I));
  CheckRefresh(r.R, snapshot, sna, check, result.notes);
  check.CheckNumber("interrupt mode", r.InterruptMode,
                    ExpectedInterruptMode(snapshot.InterruptMode));
  check.CheckNumber("IFF1", r.IFF1 ? 1 : 0, snapshot.InterruptsEnabled ? 1 : 0);
  check.CheckNumber("border", machine.BorderColour(), snapshot.BorderColour & 0x07);
  result.mismatches = check.Lines();
  if (on_resume) on_resume(machine, result);
  return result;
}

}  // namespace quillfen
