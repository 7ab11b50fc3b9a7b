// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/conversion.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "support/rom_images.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

// ZX80 and ZX81 converters that record every call. Generating fails for the bare upper-case
// names "B.P" (with a message), "C.P" (without) and "D.P" (by throwing); reading "e.p" fails.
class FakeConverters : public MachineConverters {
 public:
  explicit FakeConverters(Host& host) : MachineConverters(host), host_(host) {}

  std::int32_t length = 500;  // of every program read
  bool auto_runs = false;     // ZX81: the program starts by itself
  std::vector<std::string> loads;
  std::vector<std::tuple<std::string, std::int32_t, std::int16_t, Host::Answer>> calls;  // entry

  bool LoadZX80Program(const std::filesystem::path& path) override { return Load(path); }
  std::int16_t ZX80ProgramLength() override { return static_cast<std::int16_t>(length); }
  bool LoadZX81Program(const std::filesystem::path& path) override { return Load(path); }
  bool ZX81ProgramAutoRuns() override { return auto_runs; }
  std::int32_t ZX81ProgramLength() override { return length; }
  quillfen::LoadFailure LastLoadFailure(quillfen::Machine) const override {
    return {LoadFailureKind::kUnreadableFile, "cannot be read: no such file"};
  }
  bool GenerateZX80Cartridge(const std::string& name, std::int32_t& ram, std::int16_t a) override {
    return Generate("ZX80", name, ram, a);
  }
  bool GenerateZX81Cartridge(const std::string& name, std::int32_t& ram, std::int16_t a) override {
    return Generate("ZX81", name, ram, a);
  }

 private:
  bool Load(const std::filesystem::path& path) {
    loads.push_back(path.string());
    return path != "e.p";
  }
  bool Generate(const std::string& entry, const std::string& name, std::int32_t ram_size,
                std::int16_t auto_run) {
    calls.emplace_back(entry, ram_size, auto_run, host_.AskCartridgeSize("16K?"));
    if (name == "D.P") throw std::runtime_error("ByteAt: offset 9 past the end");
    if (name == "B.P") host_.ShowError("Program is\r\n\r\ntoo large");  // shown as one line
    return name != "B.P" && name != "C.P";
  }
  Host& host_;
};

class ConversionTest : public ::testing::Test {
 protected:
  ConversionTest() : host_(err_, {roms_.path()}, out_dir_.path(), std::nullopt), fake_(host_) {
    roms_.Write("ZX80_ROM.bin", testing::MakeRomImage(4095));
  }

  // Plans and runs the command line `args`; returns the exit status (2 for usage errors).
  int Run(const std::vector<std::string>& args) {
    const CliOptions options = ParseOptions(args).options;
    ConversionPlan plan = PlanConversions(options, fake_, {options.rom_dir.value_or(roms_.path())});
    for (const std::string& error : plan.usage_errors) usage_ += error + "\n";
    return plan.usage_errors.empty() ? RunConversions(plan, fake_, host_, out_, err_) : 2;
  }
  std::string OutPath(const std::string& name) { return (out_dir_.path() / name).string(); }

  testing::TempDir roms_, out_dir_;
  std::ostringstream out_, err_;
  std::string usage_;
  CliHost host_;
  FakeConverters fake_;
};

// What is left out is settled as the window settles it after inspecting the program.
TEST_F(ConversionTest, HandsTheConverterTheWindowsChoices) {
  using A = Host::Answer;
  // A 16K cartridge holds 16384 - 4097 - 85 = 12202 bytes with auto-run. Columns: arguments,
  // length, starts by itself; then the entry point called, RAM size, auto-run, size answer.
  const std::tuple<std::vector<std::string>, std::int32_t, bool, std::string, std::int32_t,
                   std::int16_t, A>
      cases[] = {
          {{"dir/game.p"}, 1010, false, "ZX81", 1024, 0, A::No},  // lowest band: 1K
          {{"GAME.81", "--autorun"}, 1011, false, "ZX81", 16384, 1, A::No},
          {{"--no-autorun", "-r", "4K", "G.P81"}, 500, true, "ZX81", 4096, 1, A::No},
          {{"GAME.O"}, 2000, false, "ZX80", 16384, 1, A::No},
          {{"--no-autorun", "-r", "3K", "G.80"}, 2000, false, "ZX80", 3072, 0, A::No},
          {{"-m", "zx80", "GAME.P"}, 500, false, "ZX80", 1024, 1, A::No},
          {{"-s", "16K", "GAME.O"}, 12202, false, "ZX80", 16384, 1, A::Yes},
          {{"-s", "16K", "--no-autorun", "GAME.O"}, 12203, false, "ZX80", 16384, 0, A::Yes},
          {{"-s", "16K", "--rom-dir", "none", "GAME.O"}, 20000, false, "ZX80", 16384, 1, A::Yes},
      };  // the last, without the ROM image, leaves the question to the converter
  for (const auto& [args, length, auto_runs, entry, ram, auto_run, answer] : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    fake_.length = length;
    fake_.auto_runs = auto_runs;
    fake_.calls.clear();
    ASSERT_EQ(Run(args), 0) << usage_;
    ASSERT_EQ(fake_.calls.size(), 1u);
    EXPECT_EQ(fake_.calls[0], std::tie(entry, ram, auto_run, answer));
  }
  EXPECT_EQ(fake_.loads.front(), "dir/game.p");  // opened as given
  EXPECT_EQ(out_.str().rfind("dir/game.p -> " + OutPath("GAME.bin") + "\n", 0), 0u);
}

TEST_F(ConversionTest, UsageErrorsStopTheBatchBeforeAnythingIsWritten) {
  // clang-format off
  const std::vector<std::tuple<std::vector<std::string>, std::int32_t, std::string>> cases = {
      {{"-r", "1K", "GAME.P", "b.o"}, 2000,
       "GAME.P: RAM size 1K is not offered for this 2000-byte ZX81 program; it fits in 4K or 16K\n"
       "b.o: RAM size 1K is not offered for this 2000-byte ZX80 program; it fits in 3K or 16K\n"},
      {{"-s", "16K", "GAME.O"}, 12203,
       "GAME.O: no 16K cartridge: the program does not fit in 16K\n"},
      {{"-s", "48K", "GAME.O", "G.P"}, 500, "GAME.O: a ZX80 cartridge is 16K or 32K, not 48K\n"
                                               "G.P: a ZX81 cartridge is always 32K, not 48K\n"},
      {{"GAME.SNA", "x.p", "dir/game.z80"}, 500,
       "GAME.SNA and dir/game.z80 would both write GAME.bin "
       "(--keep-extension names them GAME-SNA.bin and GAME-Z80.bin)\n"},
      {{"--keep-extension", "a/game.p", "x.p", "b/GAME.P"}, 500,
       "a/game.p and b/GAME.P would both write GAME-P.bin\n"},
  };
  // clang-format on
  for (const auto& [args, length, usage] : cases) {
    usage_.clear();
    fake_.length = length;
    EXPECT_EQ(Run(args), 2);
    EXPECT_EQ(usage_, usage);
  }
  EXPECT_TRUE(fake_.calls.empty());
}

TEST_F(ConversionTest, BatchGoesOnAfterAFailureAndReportsEachFileOnItsOwnLine) {
  // "dir/P" has the extension "P" by the whole-name rule, but no image name can be made.
  EXPECT_EQ(Run({"a.p", "b.p", "c.p", "d.p", "e.p", "dir/P", "f.p"}), 1);
  EXPECT_EQ(out_.str(), "a.p -> " + OutPath("A.bin") + "\nf.p -> " + OutPath("F.bin") + "\n");
  // clang-format off
  EXPECT_EQ(err_.str(), "b.p: Program is too large\n"
                        "c.p: no cartridge image was written (building it or writing " +
                            OutPath("C.bin") + " failed)\n"
                        "d.p: ByteAt: offset 9 past the end\n"
                        "e.p: cannot be read: no such file\n"
                        "dir/P: no image name can be made from a file name without \".\"\n");
  // clang-format on
}

TEST_F(ConversionTest, ReadsAProgramAgainWhenALaterInputReplacedIt) {
  ASSERT_EQ(Run({"a.p", "b.o", "g.p"}), 0);
  // Inspection reads all three; g.p replaced a.p in the ZX81 module, which reads each again.
  EXPECT_EQ(fake_.loads, (std::vector<std::string>{"a.p", "b.o", "g.p", "a.p", "g.p"}));
}

}  // namespace
}  // namespace quillfen
