// SPDX-License-Identifier: GPL-3.0-or-later
// Resumed Spectrum cartridges run beside their snapshot: they agree where the layout keeps the
// program's world intact, and part, naming the place, where it does not.

#include <gtest/gtest.h>

#include <tuple>

#include "cartridge/bytes.h"
#include "cartridge/cartridge_maker.h"
#include "spectrum/spectrum_layout.h"
#include "support/program_snapshots.h"
#include "support/rom_images.h"
#include "verify/run_comparison.h"
#include "verify/spectrum_boot_check.h"
#include "verify/spectrum_run_proof.h"
#include "verify/verify_result.h"
#include "verify/verify_summary.h"

namespace quillfen {
namespace {

const Bytes kRom = testing::ProgramRom();
const VerifyOptions kOptions{.dwell_t_states = 600'000, .t_state_limit = 12'000'000};
constexpr std::uint64_t kFrames = 4;
constexpr int kLow = testing::kProgramAreaLow;
const Bytes kHaltLoop = testing::HaltLoop();

VerifyResult BuildAndRun(const SnapshotState& state, spectrum::SnapshotKind kind,
                         bool forty_eight_k) {
  CartridgeMaker maker;
  std::int32_t top = 0;
  std::int16_t page = 0;
  const std::int32_t low = spectrum::FindUnusedArea(state.Memory, top, page);
  EXPECT_EQ(low, kLow);
  const SpectrumRunSetup setup{
      .frames = kFrames,
      .rom = kRom,
      .startup_code = forty_eight_k ? std::optional(StartupCodeLeftBy48K(low, kind)) : std::nullopt,
      .forty_eight_k = forty_eight_k,
      .unused_area_found = low != 0};
  EXPECT_TRUE(forty_eight_k
                  ? spectrum::BuildSpectrumCartridge48K(maker, state, kind, low, top, page)
                  : spectrum::BuildSpectrumCartridge64K(maker, state, kind, kRom));
  return VerifySpectrumImageAndRun(maker.CartridgeImage(), state, kind, setup, kOptions);
}

TEST(RunProofTest, ProgramsThatLeaveTheLayoutsAloneRunAsTheSnapshotOnBoth) {
  // Name, program, interrupt mode, I.
  const std::tuple<const char*, Bytes, int, int> cases[] = {
      {"HALT loop in IM 1", kHaltLoop, 1, 0x3F},
      {"IM 2 with I = 0x38: its handler reached through 0xFFFF", kHaltLoop, 2, 0x38},
      {"sums the ROM below its spare area", testing::SumLoop(0x0000, 0x386E), 1, 0x3F},
      // Above the stage 2 the 48K layout leaves, the unused area holds its zeros again.
      {"sums the unused area above the start-up code",
       testing::SumLoop(kLow + 130, 0xE000 - kLow - 130), 1, 0x3F},
  };
  for (const auto& [name, program, interrupt_mode, i] : cases) {
    for (const auto kind : {spectrum::SnapshotKind::kZ80, spectrum::SnapshotKind::kSna}) {
      for (const bool forty_eight_k : {false, true}) {
        SCOPED_TRACE(std::string(name) + " " + std::string(spectrum::SnapshotKindName(kind)) +
                     (forty_eight_k ? " 48K" : " 64K"));
        const VerifyResult result =
            BuildAndRun(testing::ProgramSnapshot(program, interrupt_mode, i), kind, forty_eight_k);
        ASSERT_TRUE(result.run.has_value());
        EXPECT_TRUE(result.Passed()) << FormatVerifySummary("GAME.bin", result);
        EXPECT_GE(result.run->t_states, kFrames * FrameMachine::kFrameTStates);
      }
    }
  }
}

TEST(RunProofTest, ReadsOfWhatOneLayoutLeavesBehindAreNamedWithTheOtherLayout) {
  // Name, program, 48K layout, address of the read that parts the runs, its cause.
  const std::tuple<const char*, Bytes, bool, std::uint16_t, std::string> cases[] = {
      {"sums ROM 0x3800-0x3CFF", testing::SumLoop(0x3800, 0x500), false, 0x386E,
       "reads the ROM copy's spare area 0x386E-0x3CFF of the 64K layout; the 48K layout (-s 48K) "
       "uses the Spectrum's own ROM"},
      {"sums its zero area from low", testing::SumLoop(kLow, 0x200), true, kLow,
       "reads the start-up code left at 0xD001-0xD082 by the 48K layout; the 64K layout (-s 64K) "
       "leaves none"},
  };
  for (const auto& [name, program, forty_eight_k, address, cause] : cases) {
    SCOPED_TRACE(name);
    const SnapshotState state = testing::ProgramSnapshot(program, 1, 0x3F);
    const VerifyResult result = BuildAndRun(state, spectrum::SnapshotKind::kZ80, forty_eight_k);
    ASSERT_TRUE(result.run && result.run->divergence) << FormatVerifySummary("GAME.bin", result);
    EXPECT_EQ(result.run->divergence->read_address, address);
    EXPECT_EQ(result.run->divergence->cause, cause);
    EXPECT_FALSE(result.Passed());
    // The other layout carries the same program faithfully.
    EXPECT_TRUE(BuildAndRun(state, spectrum::SnapshotKind::kZ80, !forty_eight_k).Passed());
  }
}

TEST(RunProofTest, AWrongByteInAnImageIsNamedAtItsAddress) {
  // Address of the wrong byte as the program sees it, its offset in the 64K image (bank 0 goes
  // to 0x80ED on, bank 3 is the ROM copy), the report.
  const std::tuple<int, std::size_t, std::string> cases[] = {
      // The boot check sees RAM; the run compares RAM at the resume before the first step.
      {0x9010, 0x9010 - 0x80ED,
       "at the resume: RAM differs at 1 address, first 0x9010 (is 0xA1, snapshot has 0xFB)"},
      // Outside the spare area the ROM copy is compared by the program's own reads only.
      {0x1010, 3 * 0x4000 + 0x1010,
       "in frame 1, 795 T-states after the resume, at PC 0x800B (LD A,(HL)): reads 0xAE from "
       "0x1010 where the snapshot reads 0xF4"},
  };
  for (const auto& [address, offset, report] : cases) {
    const SnapshotState state =
        testing::ProgramSnapshot(testing::SumLoop(address - 0x10, 0x100, false));
    CartridgeMaker maker;
    ASSERT_TRUE(
        spectrum::BuildSpectrumCartridge64K(maker, state, spectrum::SnapshotKind::kZ80, kRom));
    Bytes image = maker.CartridgeImage();
    image.at(offset) ^= 0x5A;
    SpectrumRunSetup setup;
    setup.frames = kFrames;
    setup.rom = kRom;
    RunReport run;
    VerifySpectrumImage(image, state, spectrum::SnapshotKind::kZ80, kRom, std::nullopt, kOptions,
                        [&](BootMachine& machine, const VerifyResult&) {
                          run = RunSpectrumAgainstSnapshot(machine, state, setup);
                        });
    ASSERT_TRUE(run.divergence);
    EXPECT_EQ(DescribeDivergence(*run.divergence), report);
  }
}

// Two machines from the same registers and memory, but for MEMPTR.
struct MachinePair {
  std::unique_ptr<FrameMachine> a, b;
};

MachinePair Pair(const Bytes& program, std::uint16_t memptr_b) {
  std::vector<std::uint8_t> memory(FrameMachine::kMemorySize, 0);
  std::copy(kRom.begin(), kRom.end(), memory.begin());
  std::copy(program.begin(), program.end(), memory.begin() + 0x8000);
  Z80Registers r;
  r.PC = 0x8000;
  r.SP = 0x7F00;
  r.HL = 0x1234;
  r.InterruptMode = 1;
  r.IFF1 = r.IFF2 = true;
  const std::uint64_t resume = 3 * FrameMachine::kFrameTStates + 1000;
  MachinePair pair;
  pair.a = std::make_unique<FrameMachine>(r, 0x8000, memory, resume);
  pair.b = std::make_unique<FrameMachine>(r, memptr_b, memory, resume);
  return pair;
}

TEST(RunProofTest, LockstepFindsTheFirstDifferenceOfMemptr) {
  // Flags 3 and 5 of BIT n,(HL) come from MEMPTR's high byte: 0x80 gives neither, 0x28 both.
  MachinePair memptr = Pair(kHaltLoop, 0x2800);
  const RunReport report = CompareRuns(*memptr.a, *memptr.b, 2);
  ASSERT_TRUE(report.divergence);
  EXPECT_EQ(report.divergence->frame, 1u);
  EXPECT_EQ(report.divergence->t_states, 4u);  // after the CB prefix
  EXPECT_EQ(InstructionText(*report.divergence), "BIT 0,(HL)");
  EXPECT_EQ(report.divergence->difference.substr(0, 5), "AF is");
}

TEST(RunProofTest, OneFrameInterruptPerFrameWhileEnabled) {
  const std::pair<Bytes, int> cases[] = {{kHaltLoop, 5}, {{0xF3, 0x18, 0xFE}, 0}};  // DI; JR $
  for (const auto& [program, expected] : cases) {
    MachinePair pair = Pair(program, 0x8000);
    FrameMachine& m = *pair.a;
    int interrupts = 0;
    const std::uint64_t end = m.TStates() + 5 * FrameMachine::kFrameTStates;
    while (m.TStates() < end) {
      m.Step();
      interrupts += m.LastStepWasInterrupt() ? 1 : 0;
    }
    EXPECT_EQ(interrupts, expected);
  }
}

}  // namespace
}  // namespace quillfen
