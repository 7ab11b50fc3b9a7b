// SPDX-License-Identifier: GPL-3.0-or-later
// Times LoadTape on a tape of about five minutes at standard speed: a header, a short program
// and four 12 KB blocks that the program loads through the test ROM's standard loader (support/
// tape_files.h), on one core. The same tape instruction by instruction, without the waiting
// loops run in one go, shows what the skipping saves.
#include <benchmark/benchmark.h>

#include "support/tape_files.h"
#include "tape/tape_loader.h"

namespace quillfen::bench {
namespace {

using namespace quillfen::testing;

Bytes FiveMinuteTape() {
  constexpr std::uint16_t kBlockLength = 0x3000;
  const TestProgram program =
      MakeTestProgram({.standard_blocks = 4, .standard_length = kBlockLength});
  std::vector<Bytes> blocks = {
      TzxStandardBlock(TapeData(0x00, CodeHeader("bench", static_cast<std::uint16_t>(
                                                              program.code.size()),
                                                 kProgramStart))),
      TzxStandardBlock(TapeData(0xFF, program.code))};
  for (unsigned seed = 1; seed <= 4; ++seed)
    blocks.push_back(TzxStandardBlock(TapeData(0xFF, RandomBytes(kBlockLength, seed))));
  return MakeTzxFile(blocks);
}

void LoadFiveMinuteTape(benchmark::State& state, bool skip) {
  const Bytes tape = FiveMinuteTape();
  tape::TapeLoadOptions options;
  options.skip_waiting_loops = skip;
  tape::TapeLoadResult result;
  for (auto _ : state) {
    result = tape::LoadTape(tape, TheTestRom().image, options, {});
    benchmark::DoNotOptimize(result.state.Memory.data());
  }
  if (!result.Loaded() || result.state.Memory[TestRom::kMarkerAddress - 0x4000] != kMarkerLoaded)
    state.SkipWithError(("the tape did not load: " + result.failure.text).c_str());
  state.counters["tape_seconds"] =
      static_cast<double>(result.tape_length) / static_cast<double>(tape::kSpectrumClock);
  state.counters["spectrum_seconds"] =
      static_cast<double>(result.captured_at) / static_cast<double>(tape::kSpectrumClock);
}

BENCHMARK_CAPTURE(LoadFiveMinuteTape, skipping_waiting_loops, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(LoadFiveMinuteTape, instruction_by_instruction, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
}  // namespace quillfen::bench

BENCHMARK_MAIN();
