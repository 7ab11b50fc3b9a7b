// SPDX-License-Identifier: GPL-3.0-or-later
// Tapes loaded on the emulated Spectrum with the test ROM of support/tape_files.h: what lands in
// RAM, what the loaded program then does, when the capture happens and why tapes are refused.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/tape_files.h"
#include "tape/emulated_tape_capture.h"
#include "tape/tape_loader.h"

namespace quillfen::tape {
namespace {

using testing::CodeHeader;
using testing::kProgramStart;
using testing::kTurbo;
using testing::kTurboAddress;
using testing::MakeTapFile;
using testing::MakeTestProgram;
using testing::MakeTzxFile;
using testing::ProgramPlan;
using testing::RandomBytes;
using testing::TapeData;
using testing::TestProgram;
using testing::TestRom;
using testing::TheTestRom;
using testing::TzxStandardBlock;
using testing::TzxTurboBlock;

constexpr std::uint64_t kFrame = 69888;

TapeLoadResult Load(const Bytes& tape, const TapeLoadOptions& options = {},
                    const TapeProgressCallback& progress = {}) {
  return LoadTape(tape, TheTestRom().image, options, progress);
}

std::uint8_t At(const TapeLoadResult& r, std::uint16_t address) {
  return r.state.Memory.at(address - 0x4000u);
}
Bytes Range(const TapeLoadResult& r, std::uint16_t address, std::size_t length) {
  const auto from = r.state.Memory.begin() + (address - 0x4000);
  return Bytes(from, from + static_cast<std::ptrdiff_t>(length));
}
std::uint16_t Frames(const TapeLoadResult& r) {
  return static_cast<std::uint16_t>(At(r, TestRom::kFramesAddress) |
                                    At(r, TestRom::kFramesAddress + 1) << 8);
}

/// The header and the CODE block of `program`, as standard blocks.
std::vector<Bytes> ProgramBlocks(const TestProgram& program) {
  return {TapeData(0x00, CodeHeader("quillfen", static_cast<std::uint16_t>(program.code.size()),
                                    kProgramStart)),
          TapeData(0xFF, program.code)};
}
Bytes ProgramTzx(const TestProgram& program, const std::vector<Bytes>& more_blocks) {
  std::vector<Bytes> blocks;
  for (const Bytes& data : ProgramBlocks(program)) blocks.push_back(TzxStandardBlock(data, 500));
  blocks.insert(blocks.end(), more_blocks.begin(), more_blocks.end());
  return MakeTzxFile(blocks);
}

Bytes PlainTap() { return MakeTapFile(ProgramBlocks(MakeTestProgram({}))); }

const Bytes kTurboData = RandomBytes(300, 1);
const Bytes kBulkData[2] = {RandomBytes(200, 2), RandomBytes(200, 3)};

// A TAP file, and a TZX file whose program loads a turbo block after its header and code.
const ProgramPlan kPlans[] = {{}, {.turbo_length = 300}};
Bytes TapeOf(const ProgramPlan& plan) {
  const TestProgram program = MakeTestProgram(plan);
  if (plan.turbo_length == 0) return MakeTapFile(ProgramBlocks(program));
  return ProgramTzx(program, {TzxTurboBlock(TapeData(0xFF, kTurboData), kTurbo, 100)});
}

TEST(TapeLoading, EachTapeLoadsItsBlocksAndTheProgramRunsOn) {
  for (const ProgramPlan& plan : kPlans) {
    SCOPED_TRACE(plan.turbo_length);
    const TestProgram program = MakeTestProgram(plan);
    const TapeLoadResult r = Load(TapeOf(plan));
    ASSERT_TRUE(r.Loaded()) << r.failure.text;
    EXPECT_EQ(Range(r, kProgramStart, program.code.size()), program.code);
    if (plan.turbo_length != 0) {
      EXPECT_EQ(Range(r, kTurboAddress, 300), kTurboData);
    }
    // The program ran to its loop: marker, border, IM 1 with interrupts on, counting frames.
    EXPECT_EQ(At(r, TestRom::kMarkerAddress), testing::kMarkerLoaded);
    EXPECT_EQ(r.state.BorderColour, testing::kProgramBorder);
    EXPECT_TRUE(r.state.InterruptsEnabled && r.state.InterruptMode == 1);
    EXPECT_TRUE(r.captured_pc == program.loop || r.captured_pc < 0x0040) << r.captured_pc;
    EXPECT_FALSE(r.stopped_at_address);
    // Captured the settling time after the tape's end, frames counted since the program began.
    EXPECT_GE(r.captured_at, r.tape_start + r.tape_length + 2 * kSpectrumClock);
    EXPECT_LT(r.captured_at, r.tape_start + r.tape_length + 2 * kSpectrumClock + 30);
    EXPECT_GE(Frames(r), 100u);
    EXPECT_LE(Frames(r), 100u + 50 + 2);  // and during the last block's pause
  }
}

// All a capture leaves, for comparing two of them.
auto Machine(const TapeLoadResult& r) {
  const SnapshotState& s = r.state;
  return std::tuple(r.Loaded(), r.captured_at, r.captured_pc, s.Memory, s.AF, s.BC, s.DE, s.HL,
                    s.IX, s.IY, s.AFAlt, s.BCAlt, s.DEAlt, s.HLAlt, s.PC, s.SP, s.I, s.R,
                    s.InterruptMode, s.InterruptsEnabled, s.BorderColour);
}
void ExpectSameCapture(const TapeLoadResult& a, const TapeLoadResult& b) {
  ASSERT_TRUE(a.Loaded()) << a.failure.text;
  EXPECT_EQ(Machine(a), Machine(b));
}

// Running the edge-waiting loops in one go must leave the very machine that running them
// instruction by instruction does, also when the capture falls inside a loop.
TEST(TapeLoading, SkippingTheWaitingLoopsLeavesTheSameMachine) {
  TapeLoadOptions skip, step;
  step.skip_waiting_loops = false;
  for (const ProgramPlan& plan : kPlans)
    ExpectSameCapture(Load(TapeOf(plan), skip), Load(TapeOf(plan), step));
  // The program waits for a third block that never comes, in the sampling loop and the delay
  // loop, when the capture comes at these times after the tape has ended.
  const TestProgram waiting = MakeTestProgram({.standard_blocks = 3, .standard_length = 200});
  const Bytes tape = ProgramTzx(waiting, {TzxStandardBlock(TapeData(0xFF, kBulkData[0]), 100),
                                          TzxStandardBlock(TapeData(0xFF, kBulkData[1]), 0)});
  for (const std::uint64_t settle : {0, 1000, 5001, 20000}) {
    SCOPED_TRACE(settle);
    skip.settle_t_states = step.settle_t_states = settle;
    ExpectSameCapture(Load(tape, skip), Load(tape, step));
  }
}

TEST(TapeLoading, CapturesAtTheStopAddress) {
  const TestProgram program = MakeTestProgram({});
  const Bytes tap = MakeTapFile(ProgramBlocks(program));
  // The address, and whether the program has loaded by the time it is reached.
  for (const auto& [address, loaded] :
       {std::pair{program.loop, true}, {TheTestRom().standard_loader, false}}) {
    SCOPED_TRACE(address);
    TapeLoadOptions options;
    options.stop_address = address;
    const TapeLoadResult r = Load(tap, options);
    ASSERT_TRUE(r.Loaded()) << r.failure.text;
    EXPECT_TRUE(r.stopped_at_address);
    EXPECT_EQ(r.captured_pc, address);
    EXPECT_LT(r.captured_at, r.tape_start + r.tape_length);
    EXPECT_EQ(Range(r, kProgramStart, program.code.size()) == program.code, loaded);
  }
}

TEST(TapeLoading, SettlingTimeCountsFromTheTapesEnd) {
  const Bytes tap = PlainTap();
  TapeLoadOptions options;
  options.settle_t_states = kSpectrumClock;
  const TapeLoadResult one = Load(tap, options);
  options.settle_t_states = 3 * kSpectrumClock;
  const TapeLoadResult three = Load(tap, options);
  ASSERT_TRUE(one.Loaded() && three.Loaded());
  const std::uint64_t apart = three.captured_at - one.captured_at;
  EXPECT_GE(apart + 30, 2 * kSpectrumClock);
  EXPECT_LE(apart, 2 * kSpectrumClock + 30);
  EXPECT_NEAR(Frames(three) - Frames(one), 2 * kSpectrumClock / kFrame, 1);
}

// A "stop the tape" block plays on as if PLAY were pressed again, but one that stops the tape
// only on a 48K Spectrum ends it: what follows, here a tone repeated for ever, never plays.
TEST(TapeLoading, TheTapeEndsWhereA48KSpectrumStopsIt) {
  const Bytes stop_the_tape = {0x20, 0, 0};
  const Bytes stop_if_48k = {0x2A, 0, 0, 0, 0};
  const Bytes tone = testing::TzxPureTone(2168, 100);
  const TestProgram program = MakeTestProgram({});
  const TapeLoadResult r =
      Load(ProgramTzx(program, {stop_the_tape, tone, stop_if_48k, tone, testing::TzxJump(-1)}));
  ASSERT_TRUE(r.Loaded()) << r.failure.text;
  EXPECT_EQ(At(r, TestRom::kMarkerAddress), testing::kMarkerLoaded);
  ASSERT_EQ(r.blocks.size(), 7u);
  EXPECT_NE(r.blocks[3].start, kNever);
  EXPECT_EQ(r.blocks[5].start, kNever);
  EXPECT_LT(r.tape_length, 30 * kSpectrumClock);
}

TEST(TapeLoading, ProgressFollowsTheTape) {
  std::vector<TapeProgress> seen;
  std::string last_name;
  const TapeLoadResult r = Load(PlainTap(), {}, [&](const TapeProgress& p) {
    seen.push_back(p);
    last_name = p.block_name;
  });
  ASSERT_TRUE(r.Loaded());
  ASSERT_GE(seen.size(), 5u);  // the tape plays for several seconds
  for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_GT(seen[i].position, seen[i - 1].position);
  EXPECT_EQ(seen.back().position, r.tape_length);  // the last report: the tape has ended
  EXPECT_EQ(last_name, r.blocks[1].description);   // the nameless CODE block
}

struct RefusalCase {
  std::string name;
  Bytes tape;
  std::string file_name;             // "" unless the name should mislead
  std::uint64_t limit_t_states = 0;  // 0: the default limit
  LoadFailureKind kind;
  std::string text;  // the start of the reason
};

std::vector<RefusalCase> RefusalCases() {
  const Bytes paging = MakeTapFile(ProgramBlocks(MakeTestProgram({.page_128k = true})));
  // A pilot tone that a jump back to it repeats for ever.
  const Bytes endless = MakeTzxFile({testing::TzxPureTone(2168, 1000), testing::TzxJump(-1)});
  Bytes truncated = ProgramTzx(MakeTestProgram({}), {});
  truncated.resize(truncated.size() - 5);
  const Bytes comment_only = MakeTzxFile({{0x30, 3, 'a', 'b', 'c'}});
  Bytes bad_checksum = PlainTap();
  bad_checksum.back() ^= 0x01;
  // An empty gzip stream: packed files are refused before libspectrum unpacks them.
  const Bytes gzip = {0x1F, 0x8B, 0x08, 0, 0, 0, 0, 0, 0, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  using K = LoadFailureKind;
  return {
      {"128K paging", paging, "", 0, K::kNot48KProgram,
       "a 128K program: it pages memory through port 0x7FFD (value 16"},
      {"a block with a bad checksum", bad_checksum, "", 0, K::kTapeNotLoaded,
       "the tape did not load: the Spectrum reported \"R Tape loading error\" "},
      {"endless tape", endless, "", 30 * kSpectrumClock, K::kLoadTimeout,
       "the tape had not finished loading after 30.0 s of Spectrum time"},
      {"truncated TZX", truncated, "", 0, K::kUnreadableFormat,
       "libspectrum cannot read the tape: "},
      {"empty file", {}, "", 0, K::kEmptyFile, "the tape is empty"},
      {"TZX without blocks", MakeTzxFile({}), "", 0, K::kEmptyFile, "the tape holds no blocks"},
      {"TZX with a comment only", comment_only, "", 0, K::kEmptyFile, "the tape holds no signal"},
      {"a snapshot", Bytes(49179, 0), "game.sna", 0, K::kUnreadableFormat, "not a tape file"},
      {"gzip-packed tape", gzip, "", 0, K::kUnreadableFormat, "a compressed file: unpack it"},
  };
}

TEST(TapeLoading, RefusesSayingWhy) {
  for (const RefusalCase& c : RefusalCases()) {
    SCOPED_TRACE(c.name);
    TapeLoadOptions options;
    options.file_name = c.file_name;
    if (c.limit_t_states != 0) options.limit_t_states = c.limit_t_states;
    const TapeLoadResult r = Load(c.tape, options);
    EXPECT_EQ(r.failure.kind, c.kind) << r.failure.text;
    EXPECT_EQ(r.failure.text.substr(0, c.text.size()), c.text);
  }
  // The report says where the tape stood: in the CODE block, which follows the named header.
  const TapeLoadResult bad = Load(RefusalCases()[1].tape);
  EXPECT_NE(bad.failure.text.find(" s into the tape, in block 2"), std::string::npos)
      << bad.failure.text;
  const TapeLoadResult short_rom = LoadTape(PlainTap(), Bytes(8192, 0), {}, {});
  EXPECT_EQ(short_rom.failure.kind, LoadFailureKind::kWrongFileLength);

  // A ROM that only scans the keyboard, in one burst of 8 reads a frame as the Spectrum's does,
  // never loads: its reads of port 0xFE must not pass for a loader's.
  Bytes scanning_rom(16384, 0x00);
  const Bytes start = {0xF3, 0x31, 0x00, 0x00, 0xED, 0x56, 0xFB, 0xC3, 0x00, 0x01};  // IM 1, EI
  const Bytes idle = {0x76, 0x18, 0xFD};  // HALT, JR back to it
  const Bytes scan = {0x01, 0xFE, 0xFE, 0xED, 0x78, 0xCB, 0x00, 0x38, 0xFA, 0xFB, 0xC9};
  std::copy(start.begin(), start.end(), scanning_rom.begin());
  std::copy(idle.begin(), idle.end(), scanning_rom.begin() + 0x0100);
  std::copy(scan.begin(), scan.end(), scanning_rom.begin() + 0x0038);
  const TapeLoadResult unheard = LoadTape(PlainTap(), scanning_rom, {}, {});
  EXPECT_EQ(unheard.failure.kind, LoadFailureKind::kTapeNotLoaded);
  EXPECT_EQ(unheard.failure.text,
            "the tape did not load: the Spectrum never read it (is SPECTRUM_ROM.bin a 48K "
            "Spectrum ROM?)");
}

// A tape captured again (same file, ROM and name) is taken from what was kept, not played again;
// anything that may change the capture plays it, and a refused tape is never kept.
TEST(TapeLoading, TheCaptureKeepsWhatATapeLeft) {
  EmulatedTapeCapture capture({}, {});
  const Bytes tap = PlainTap();
  const Bytes& rom = TheTestRom().image;
  const CapturedTape first = capture.Capture(tap, rom, "GAME.TAP");
  const CapturedTape again = capture.Capture(tap, rom, "GAME.TAP");
  EXPECT_EQ(capture.TapesPlayed(), 1u);
  EXPECT_EQ(again.state.Memory, first.state.Memory);
  EXPECT_EQ(again.pc, first.pc);

  Bytes other_rom = rom;
  other_rom.back() ^= 0xFF;
  capture.Capture(tap, other_rom, "GAME.TAP");
  capture.Capture(tap, rom, "OTHER.TAP");
  capture.Capture(ProgramTzx(MakeTestProgram({}), {}), rom, "GAME.TAP");  // another file
  EXPECT_EQ(capture.TapesPlayed(), 4u);

  Bytes bad_checksum = tap;
  bad_checksum.back() ^= 0x01;
  for (int i = 0; i < 2; ++i)
    EXPECT_THROW(capture.Capture(bad_checksum, rom, "GAME.TAP"), LoadRefusal);
  EXPECT_EQ(capture.TapesPlayed(), 6u);
}

}  // namespace
}  // namespace quillfen::tape
