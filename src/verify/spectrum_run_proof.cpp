// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify/spectrum_run_proof.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "spectrum/spectrum_startup_code.h"
#include "verify/run_comparison.h"
#include "verify/spectrum_boot_check.h"

namespace quillfen {
namespace {

// The 64K layout's ROM copy holds stage 3 and RAM bytes here, where the Spectrum ROM is spare.
constexpr AddressRange kRomCopySpareArea{0x386E, 0x3D00};

std::uint16_t Word(std::int32_t value) { return static_cast<std::uint16_t>(value & 0xFFFF); }

std::string Range(const AddressRange& range) {
  return HexWord(static_cast<std::uint32_t>(range.low)) + "-" +
         HexWord(static_cast<std::uint32_t>(range.top - 1));
}

std::string CauseOf(std::uint16_t address, const SpectrumRunSetup& setup) {
  if (setup.startup_code && setup.startup_code->Contains(address))
    return "reads the start-up code left at " + Range(*setup.startup_code) +
           " by the 48K layout; the 64K layout (-s 64K) leaves none";
  if (!setup.forty_eight_k && kRomCopySpareArea.Contains(address)) {
    std::string cause =
        "reads the ROM copy's spare area " + Range(kRomCopySpareArea) + " of the 64K layout";
    if (setup.unused_area_found) cause += "; the 48K layout (-s 48K) uses the Spectrum's own ROM";
    return cause;
  }
  return "";
}

/// The snapshot's registers as the program sees them once resumed (an SNA has popped its PC),
/// with what the start-up code cannot set exactly taken from the cartridge: R, and the
/// interrupt state it sets through instructions.
Z80Registers ReferenceRegisters(const SnapshotState& s, const Z80Registers& cartridge) {
  Z80Registers r = cartridge;
  r.AF = Word(s.AF);
  r.BC = Word(s.BC);
  r.DE = Word(s.DE);
  r.HL = Word(s.HL);
  r.AFAlt = Word(s.AFAlt);
  r.BCAlt = Word(s.BCAlt);
  r.DEAlt = Word(s.DEAlt);
  r.HLAlt = Word(s.HLAlt);
  r.IX = Word(s.IX);
  r.IY = Word(s.IY);
  // The boot check stopped at the resume address and has compared SP with the snapshot's.
  r.PC = cartridge.PC;
  r.SP = cartridge.SP;
  return r;
}

}  // namespace

AddressRange StartupCodeLeftBy48K(std::int32_t low, spectrum::SnapshotKind kind) {
  return {low, low + spectrum::Stage2Length48K(kind)};
}

RunReport RunSpectrumAgainstSnapshot(BootMachine& resumed, const SnapshotState& snapshot,
                                     const SpectrumRunSetup& setup) {
  RunReport report;
  report.frames = setup.frames;
  if (!setup.rom) {
    report.unavailable =
        "SPECTRUM_ROM.bin, the ROM of the machine to compare with, cannot be read "
        "(--run-frames 0 checks the boot alone)";
    return report;
  }
  const Z80Registers at_resume = resumed.Registers();
  const std::uint64_t t_states = resumed.TStates();

  // The cartridge keeps what it presents now: the ROM copy (64K) or the Spectrum's own ROM.
  std::vector<std::uint8_t> cartridge_memory(FrameMachine::kMemorySize);
  for (std::size_t a = 0; a < cartridge_memory.size(); ++a)
    cartridge_memory[a] = resumed.Peek(static_cast<std::uint16_t>(a));
  std::vector<std::uint8_t> reference_memory(FrameMachine::kMemorySize, 0xFF);
  std::copy_n(setup.rom->begin(), std::min<std::size_t>(setup.rom->size(), FrameMachine::kRamStart),
              reference_memory.begin());
  std::copy(snapshot.Memory.begin(), snapshot.Memory.end(),
            reference_memory.begin() + FrameMachine::kRamStart);

  auto cartridge =
      std::make_unique<FrameMachine>(resumed.HandOverProcessor(), cartridge_memory, t_states);
  // Both ways of resuming, JP nn and RETN, leave the address jumped to in MEMPTR.
  auto reference = std::make_unique<FrameMachine>(ReferenceRegisters(snapshot, at_resume),
                                                  at_resume.PC, reference_memory, t_states);
  RamAllowance allowance;
  allowance.area = setup.startup_code;
  report = CompareRuns(*cartridge, *reference, setup.frames, allowance);
  if (report.divergence && report.divergence->read_address)
    report.divergence->cause = CauseOf(*report.divergence->read_address, setup);
  return report;
}

VerifyResult VerifySpectrumImageAndRun(std::span<const std::uint8_t> image,
                                       const SnapshotState& snapshot, spectrum::SnapshotKind kind,
                                       const SpectrumRunSetup& setup,
                                       const VerifyOptions& options) {
  const std::optional<Bytes> boot_rom = setup.rom;
  std::optional<RunReport> run;
  VerifyResult result =
      VerifySpectrumImage(image, snapshot, kind, boot_rom, setup.startup_code, options,
                          [&](BootMachine& machine, const VerifyResult& booted) {
                            if (setup.frames > 0 && booted.Passed())
                              run = RunSpectrumAgainstSnapshot(machine, snapshot, setup);
                          });
  result.run = run;
  return result;
}

}  // namespace quillfen
