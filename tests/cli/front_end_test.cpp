// SPDX-License-Identifier: GPL-3.0-or-later
// Standard input and output, -q and -v, the progress of a batch, --keep-extension and the ROM
// search of the command line, with the real converters.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>

#include "cartridge/cartridge_maker.h"
#include "cli/cli.h"
#include "cli/progress_line.h"
#include "cli/standard_streams.h"
#include "support/rom_images.h"
#include "support/snapshot_files.h"
#include "support/szx_files.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"

namespace quillfen {
namespace {

using testing::MakeZX80Program;
using testing::MakeZX81Program;
using testing::ReadFileBytes;

struct Result {
  int status;
  std::string out, err;
  bool operator==(const Result&) const = default;
  friend std::ostream& operator<<(std::ostream& os, const Result& r) {
    return os << r.status << " out \"" << r.out.substr(0, 200) << "\" err \"" << r.err << "\"";
  }
};

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

class FrontEndTest : public ::testing::Test {
 protected:
  FrontEndTest() {
    roms_.Write("ZX81_ROM.bin", testing::MakeRomImage(3000, {{10, 0x40}}));
    roms_.Write("ZX80_ROM.bin", testing::MakeRomImage(4095, {{10, 0xFD}}));
    roms_.Write("SPECTRUM_ROM.bin", testing::MakeRomImage(14000, {{0, 0xF3}}));
  }
  // Runs the command line with `input` on standard input, in `output_dir_`, with the ROM images.
  Result Cli(std::vector<std::string> args, const std::string& input = "",
             CliTerminals terminals = {}) {
    args.insert(args.begin(), {"--rom-dir", roms_.path().string()});
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = RunCli(args, in, out, err, terminals);
    return {status, out.str(), err.str()};
  }
  std::string In(const std::string& name, const Bytes& data) {
    return inputs_.Write(name, data).string();
  }
  std::string Out(const std::string& name) const { return (outputs_ / name).string(); }

  testing::TempDir roms_, inputs_, outputs_;
};

TEST(StandardInputNameTest, TellsTheReaderTheKind) {
  Bytes szx_sized = {'Z', 'X', 'S', 'T'};
  szx_sized.resize(49179);  // the signature wins over the SNA length
  const std::pair<Machine, Bytes> cases[] = {
      {Machine::ZX80, Bytes(100)},          {Machine::ZX81, Bytes(49179)},
      {Machine::Spectrum, Bytes(49179)},    {Machine::Spectrum, Bytes(49178)},
      {Machine::Spectrum, Bytes(49180)},    {Machine::Spectrum, szx_sized},
      {Machine::Spectrum, {'Z', 'X', 'S'}}, {Machine::ZX81, {'Z', 'X', 'S', 'T'}}};
  std::vector<std::string> names;
  for (const auto& [machine, content] : cases) names.push_back(StandardInputName(machine, content));
  EXPECT_EQ(names, (std::vector<std::string>{"STDIN.O", "STDIN.P", "STDIN.SNA", "STDIN.Z80",
                                             "STDIN.Z80", "STDIN.SZX", "STDIN.Z80", "STDIN.P"}));
}

// Piped in and out, each machine's image is the one a file would give, and stdout holds nothing
// else.
TEST_F(FrontEndTest, StandardInputToStandardOutputGivesTheImageOfTheFile) {
  const std::tuple<std::string, std::string, Bytes> cases[] = {
      {"zx81", "game.p", MakeZX81Program(300)},
      {"zx80", "game.o", MakeZX80Program(500)},
      {"spectrum", "game.sna", testing::MakeSnaFile(testing::MakeBusySnapshot())},
      {"spectrum", "game.z80", testing::MakeZ80FileVersion1(testing::MakeBusySnapshot(), true)},
      {"spectrum", "game.szx", testing::MakeSzxFile(testing::MakeBusySnapshot())},
  };
  for (const auto& [machine, name, file] : cases) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Cli({"-o", Out("file.bin"), In(name, file)}).status, 0);
    const Result piped = Cli({"-m", machine, "-o", "-", "-"}, Text(file));
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, Text(ReadFileBytes(Out("file.bin"))));
    EXPECT_EQ(piped.err, "standard input -> standard output\n");
    // A file to standard output, and standard input to a file.
    EXPECT_EQ(Cli({"-q", "-o", "-", In(name, file)}), (Result{0, piped.out, ""}));
    const Result to_file = Cli({"-m", machine, "-o", Out("in.bin"), "-"}, Text(file));
    EXPECT_EQ(to_file.out, "standard input -> " + Out("in.bin") + "\n");
    EXPECT_EQ(Text(ReadFileBytes(Out("in.bin"))), piped.out);
  }
}

// Nothing reaches standard output unless the whole conversion succeeded.
TEST_F(FrontEndTest, StandardStreamsRefuseWhatCannotWork) {
  Result result = Cli({"-o", "-", In("game.p", MakeZX81Program(300))}, "", {true, false});
  EXPECT_EQ(result, (Result{2, "",
                            "quillfen-cli: -o - would write the image to the terminal; send "
                            "standard output to a file or a pipe (see quillfen-cli --help)\n"}));
  result = Cli({"-m", "zx81", "-o", "-", "-"}, "not a program");
  EXPECT_EQ(result, (Result{1, "", "standard input: truncated: 13 bytes, the system variables need 116\n"}));
  result = Cli({"-m", "zx81", "-o", "-", "-"}, std::string(kLargestReadableFile + 1, 'x'));
  EXPECT_EQ(result,
            (Result{1, "", "quillfen-cli: standard input holds more than 16777216 bytes\n"}));
  std::filesystem::remove(roms_ / "ZX81_ROM.bin");
  result = Cli({"-o", "-", In("game.p", MakeZX81Program(300))});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  // --info reads standard input too.
  result = Cli({"--info", "--json", "-m", "zx80", "-"}, Text(MakeZX80Program(500)));
  EXPECT_EQ(result.out.rfind(R"({"file":"standard input","machine":"ZX80","program_length":500,)"),
            0u);
}

// -q keeps only errors; -v adds what was chosen for each file, on stderr.
TEST_F(FrontEndTest, QuietAndVerbose) {
  const std::string good = In("good.p", MakeZX81Program(300)), bad = In("bad.p", Bytes(10, 0));
  const std::string o = In("game.o", MakeZX80Program(500));
  const std::string sna = In("game.sna", testing::MakeSnaFile(testing::MakeBusySnapshot()));
  const std::vector<std::string> batch = {"--output-dir", outputs_.path().string(), good, bad};
  EXPECT_EQ(Cli(batch, "", {false, false}).out, good + " -> " + Out("GOOD.bin") + "\n");
  std::vector<std::string> quiet = batch;
  quiet.insert(quiet.begin(), {"-q", "--verify", "--dwell", "1200000"});
  EXPECT_EQ(Cli(quiet), (Result{1, "", bad + ": truncated: 10 bytes, the system variables need 116\n"}));

  const std::pair<std::vector<std::string>, std::string> verbose[] = {
      {{"-r", "4K", good},
       "ZX81, 4K RAM, 32K cartridge, ROM " + (roms_ / "ZX81_ROM.bin").string() + ", image " +
           Out("x.bin")},
      {{"-s", "16K", o},
       "ZX80, 1K RAM, 16K cartridge, ROM " + (roms_ / "ZX80_ROM.bin").string() + ", image " +
           Out("x.bin")},
      {{"-r", "16K", o},
       "ZX80, 16K RAM, 32K cartridge, ROM " + (roms_ / "ZX80_ROM.bin").string() + ", image " +
           Out("x.bin")},
      {{sna},
       "Spectrum, 48K RAM, 64K cartridge, ROM " + (roms_ / "SPECTRUM_ROM.bin").string() +
           ", image " + Out("x.bin")},
      {{"-o", "-", sna},
       "Spectrum, 48K RAM, 64K cartridge, ROM " + (roms_ / "SPECTRUM_ROM.bin").string() +
           ", image standard output"},
  };
  for (auto [args, choices] : verbose) {
    if (args.front() != "-o") args.insert(args.begin(), {"-o", Out("x.bin")});
    args.insert(args.begin(), "-v");
    const Result result = Cli(args);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1), args.back() + ": " + choices + "\n");
  }
}

// On a terminal a batch of more than 3 files shows "[done/total] name", wiped before each
// message and at the end; never for 3 files, nor when stderr is not a terminal.
TEST_F(FrontEndTest, ProgressOfALongBatchOnATerminalOnly) {
  std::vector<std::string> files = {"--output-dir", outputs_.path().string()};
  for (const char* name : {"a.p", "b.p", "c.p"}) files.push_back(In(name, MakeZX81Program(300)));
  const CliTerminals terminal = {false, true};
  EXPECT_EQ(Cli(files, "", terminal).err, "");
  files.push_back(In("bad.p", Bytes(10, 0)));
  EXPECT_EQ(Cli(files, "", {true, false}).err, files.back() + ": truncated: 10 bytes, the system variables need 116\n");
  const Result shown = Cli(files, "", terminal);
  const std::string a = files[2], b = files[3], c = files[4], bad = files[5];
  const auto line = [](std::size_t done, const std::string& name) {
    return std::string("[") + std::to_string(done) + "/4] " + name;
  };
  const auto wipe = [](const std::string& line) {
    return std::string("\r") + std::string(line.size(), ' ') + "\r";
  };
  // Each report line on stdout wipes the line too: both streams may be the same terminal.
  std::string expected;
  for (std::size_t done = 0; done < 4; ++done) {
    const std::string shown_line = line(done, files[2 + done]);
    expected += '\r';
    expected += shown_line + wipe(shown_line);
  }
  EXPECT_EQ(shown.err, expected + bad + ": truncated: 10 bytes, the system variables need 116\n");
  EXPECT_EQ(shown.out, a + " -> " + Out("A.bin") + "\n" + b + " -> " + Out("B.bin") + "\n" + c +
                           " -> " + Out("C.bin") + "\n");
  EXPECT_EQ(shown.status, 1);
  EXPECT_EQ(Cli({"-q"}, "", terminal).status, 2);  // nothing to do, but no line either
}

TEST(ProgressLineTest, KeepsOnlyTheEndOfLongNamesAndBlanksWhatALongerLineLeft) {
  std::ostringstream terminal;
  ProgressLine progress(terminal, terminal);
  progress.Show(9, 10, std::string(50, 'a') + std::string(20, 'b'));
  const std::string long_line = "[9/10] ..." + std::string(40, 'a') + std::string(20, 'b');
  progress.Show(10, 10, "x");
  progress.Messages() << "one" << '\n';
  progress.Report() << "two\n";
  progress.Clear();  // nothing shown: nothing written
  EXPECT_EQ(terminal.str(), "\r" + long_line + "\r[10/10] x" +
                                std::string(long_line.size() - 9, ' ') + "\r" +
                                std::string(9, ' ') + "\rone\ntwo\n");
}

// GAME.SNA and GAME.Z80 convert side by side.
TEST_F(FrontEndTest, KeepExtensionConvertsFilesSharingABaseName) {
  const SnapshotState state = testing::MakeBusySnapshot();
  const std::string sna = In("GAME.SNA", testing::MakeSnaFile(state));
  const std::string z80 = In("GAME.Z80", testing::MakeZ80FileVersion1(state, true));
  const std::vector<std::string> args = {"--output-dir", outputs_.path().string(), sna, z80};
  EXPECT_EQ(Cli(args).status, 2);
  std::vector<std::string> keep = args;
  keep.push_back("--keep-extension");
  EXPECT_EQ(Cli(keep), (Result{0,
                               sna + " -> " + Out("GAME-SNA.bin") + "\n" + z80 + " -> " +
                                   Out("GAME-Z80.bin") + "\n",
                               ""}));
  EXPECT_EQ(ReadFileBytes(Out("GAME-SNA.bin")).size(), 65536u);
  EXPECT_EQ(ReadFileBytes(Out("GAME-Z80.bin")).size(), 65536u);
}

// Without --rom-dir the ROM images come from the data folders; a missing one names them all.
TEST_F(FrontEndTest, RomImagesFromTheDataFoldersWithoutRomDir) {
  testing::TempDir data_home;
  std::filesystem::create_directory(data_home / "quillfen");
  data_home.Write("quillfen/ZX81_ROM.bin", ReadFileBytes(roms_ / "ZX81_ROM.bin"));
  const std::string saved_home = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
  const std::string saved_dirs = getenv("XDG_DATA_DIRS") ? getenv("XDG_DATA_DIRS") : "";
  setenv("XDG_DATA_HOME", data_home.path().c_str(), 1);
  setenv("XDG_DATA_DIRS", "/nonexistent/a:/nonexistent/b", 1);
  const std::string game = In("game.p", MakeZX81Program(300));
  const std::string o = In("other.o", MakeZX80Program(300));
  std::ostringstream out, err;
  std::istringstream in;
  const std::vector<std::string> args = {"--output-dir", outputs_.path().string(), game, o};
  EXPECT_EQ(RunCli(args, in, out, err, {}), 1);
  const std::string executable_folder =
      std::filesystem::read_symlink("/proc/self/exe").parent_path();
  EXPECT_EQ(out.str(), game + " -> " + Out("GAME.bin") + "\n");
  EXPECT_EQ(err.str(), o +
                           ": Failed to read ZX80 ROM file (ZX80_ROM.bin): ZX80_ROM.bin is in "
                           "none of " +
                           executable_folder + ", " + data_home.path().string() +
                           "/quillfen, /nonexistent/a/quillfen, /nonexistent/b/quillfen "
                           "(--rom-dir DIR names the folder that holds it)\n");
  saved_home.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", saved_home.c_str(), 1);
  saved_dirs.empty() ? unsetenv("XDG_DATA_DIRS") : setenv("XDG_DATA_DIRS", saved_dirs.c_str(), 1);
}

}  // namespace
}  // namespace quillfen
