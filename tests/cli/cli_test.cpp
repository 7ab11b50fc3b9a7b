// SPDX-License-Identifier: GPL-3.0-or-later
// quillfen-cli as run with the real converters: command line, streams, --info, --verify, tapes.
#include "cli/cli.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "cartridge/cartridge_maker.h"
#include "cli/options.h"
#include "cli/progress_line.h"
#include "cli/standard_streams.h"
#include "support/program_snapshots.h"
#include "support/rom_images.h"
#include "support/snapshot_files.h"
#include "support/szx_files.h"
#include "support/tape_files.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"

namespace quillfen {
namespace {

using testing::MakeZX80Program;
using testing::MakeZX81Program;
using testing::ReadFileBytes;
using Args = std::vector<std::string>;

struct Result {
  int status;
  std::string out, err;
  bool operator==(const Result&) const = default;
  friend std::ostream& operator<<(std::ostream& os, const Result& r) {
    return os << r.status << " out \"" << r.out.substr(0, 200) << "\" err \"" << r.err << "\"";
  }
};

// Runs `args` followed by each of `more`, with `input` on standard input.
Result Cli(Args args, const std::vector<Args>& more = {}, const std::string& input = "",
           CliTerminals terminals = {}) {
  for (const auto& part : more) args.insert(args.end(), part.begin(), part.end());
  std::istringstream in(input);
  std::ostringstream out, err;
  const int status = RunCli(args, in, out, err, terminals);
  return {status, out.str(), err.str()};
}

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(ParseOptionsTest, TakesValuesInEverySpelling) {
  // Separate, attached and "=" values, in any case, options after the file.
  const ParsedOptions parsed =
      ParseOptions({"a.o", "-m", "Zx80", "--ram=3k", "-s16k", "--output", "o.bin", "--dwell=7",
                    "--verify", "--run-frames=0", "-j3"});
  const CliOptions& o = parsed.options;  // RAM and size kept in the window's spelling
  EXPECT_TRUE(parsed.error.empty() && o.machine == Machine::ZX80 && o.ram == "3K" &&
              o.size == "16K" && o.output_file == "o.bin" && o.dwell == 7u && o.verify &&
              o.run_frames == 0u && o.jobs == 3u && o.files == Args{"a.o"});
  EXPECT_EQ(ParseOptions({"--autorun", "--no-autorun", "a.p"}).options.auto_run, false);
  EXPECT_EQ(ParseOptions({"--", "-r.p", "--info.p"}).options.files, (Args{"-r.p", "--info.p"}));
}

// Every unusable command line exits with 2 and one line saying why, before anything is read.
TEST(ParseOptionsTest, RefusesUnusableCommandLinesWithTheReason) {
  const std::string tape_only =
      "--settle, --stop-at and --save-snapshot go with a tape (.TAP, .TZX, .PZX or .CSW)";
  const std::string verify_only_takes =
      "--verify-only takes only --source, -m, -r, --autorun, --no-autorun, --rom-dir, --dwell, "
      "--t-state-limit, --run-frames, --settle, --stop-at and --json";
  const std::string info_takes =
      "--info takes only -m, --rom-dir, --settle, --stop-at and --json besides the files";
  const std::vector<std::pair<Args, std::string>> cases = {
      {{}, "no input file given"},
      {{"a.p", "--ram="}, "option --ram needs a value"},
      {{"-r", "48K", "a.p"}, "unknown RAM size \"48K\" (use 1K, 3K, 4K or 16K)"},
      {{"-s", "8K", "a.p"}, "unknown cartridge size \"8K\" (use 16K, 32K, 48K or 64K)"},
      {{"-m", "c64", "a.p"}, "unknown machine \"c64\" (use zx80, zx81 or spectrum)"},
      {{"-x", "a.p"}, "unknown option -x"},
      {{"--verify=yes", "a.p"}, "option --verify takes no value"},
      {{"-o", "x", "a.p", "b.p"},
       "-o names the image of one input only; use --output-dir for several"},
      {{"-o", "x", "--output-dir", "d", "a.p"}, "-o and --output-dir cannot be used together"},
      {{"--json", "a.p"}, "--json goes with --info, --verify or --verify-only"},
      {{"--run-frames", "5", "a.p"}, "--run-frames goes with --verify or --verify-only"},
      {{"--verify", "--run-frames", "9x", "a.p"},
       "option --run-frames needs a whole number of frames from 0 to 1000000"},
      {{"--verify", "-j", "0", "a.p"}, "option -j needs a number of checks from 1 to 256"},
      {{"-j2", "a.p"}, "-j goes with --verify"},
      {{"--info", "--verify", "a.p"}, info_takes},
      {{"--info", "--save-snapshot", "s.z80", "a.tap"}, info_takes},
      {{"--verify", "--dwell", "0", "a.p"},
       "option --dwell needs a positive whole number of T-states"},
      {{"--dwell", "5", "a.p"}, "--dwell and --t-state-limit go with --verify or --verify-only"},
      {{"--source", "a.p", "a.p"}, "--source goes with --verify-only"},
      {{"--verify-only", "x.bin"},
       "--verify-only needs --source FILE, the program the image was made from"},
      {{"--verify-only", "x.bin", "--source", "a.p", "b.p"},
       "--verify-only checks one image; give its program with --source"},
      {{"--verify-only", "x.bin", "--source", "a.p", "-s", "32K"}, verify_only_takes},
      {{"--verify-only", "x.bin", "--source", "a.tap", "--save-snapshot", "a.z80"},
       verify_only_takes},
      {{"--verify-only", "x.bin", "--source", "a.z80", "--settle", "1"}, tape_only},
      {{"-q", "-v", "a.p"}, "-q and -v cannot be used together"},
      {{"-m", "zx81", "-o", "x", "-", "-"}, "standard input (-) can be read only once"},
      {{"-o", "x", "-"}, "standard input (-) needs -m zx80, -m zx81 or -m spectrum"},
      {{"-m", "zx81", "-"},
       "standard input (-) has no name for its image; give -o FILE, or -o - for standard output"},
      {{"--settle", "1", "a.sna"}, tape_only},
      {{"--save-snapshot", "s.z80", "a.tap", "b.tzx"},
       "--save-snapshot keeps the state captured from one tape; give a single tape"},
      {{"-m", "spectrum", "-o", "x.bin", "--stop-at", "0x8000", "-"},
       "tapes are not read from standard input; give the tape's file name"},
      {{"--stop-at", "0x10000", "a.tap"},
       "option --stop-at needs an address from 0 to 65535 (0x8000 or 32768)"},
      {{"--settle", "-1", "a.tap"}, "option --settle needs a number of seconds from 0 to 600"},
  };
  for (const auto& [args, error] : cases)
    EXPECT_EQ(Cli(args),
              (Result{2, "", "quillfen-cli: " + error + " (see quillfen-cli --help)\n"}));
}

// Help and version need no file and exit with 0.
TEST(RunCliTest, VersionAndHelp) {
  const Result version = Cli({"--version"}), help = Cli({"-h"});
  EXPECT_EQ(std::tie(version.status, help.status), std::make_tuple(0, 0));
  EXPECT_EQ(version.out.rfind("quillfen-cli 1.01\nCopyright (C) 2026", 0), 0u);
  EXPECT_EQ(help.out.rfind("usage: quillfen-cli [options] FILE...\n", 0), 0u);
}

TEST(StandardInputNameTest, TellsTheReaderTheKind) {
  Bytes szx_sized = {'Z', 'X', 'S', 'T'};
  szx_sized.resize(49179);  // the signature wins over the SNA length
  const std::pair<Machine, Bytes> cases[] = {
      {Machine::ZX80, Bytes(100)},         {Machine::ZX81, Bytes(49179)},
      {Machine::Spectrum, Bytes(49179)},   {Machine::Spectrum, Bytes(49178)},
      {Machine::Spectrum, Bytes(49180)},   {Machine::Spectrum, szx_sized},
      {Machine::Spectrum, {'Z', 'X', 'S'}}};
  Args names;
  for (const auto& [machine, content] : cases) names.push_back(StandardInputName(machine, content));
  EXPECT_EQ(names, (Args{"STDIN.O", "STDIN.P", "STDIN.SNA", "STDIN.Z80", "STDIN.Z80", "STDIN.SZX",
                         "STDIN.Z80"}));
}

TEST(ProgressLineTest, KeepsOnlyTheEndOfLongNamesAndBlanksWhatALongerLineLeft) {
  std::ostringstream terminal;
  ProgressLine progress(terminal, terminal);
  progress.Show(9, 10, std::string(50, 'a') + std::string(20, 'b'));
  const std::string long_line = "[9/10] ..." + std::string(40, 'a') + std::string(20, 'b');
  progress.Show(10, 10, "x");
  progress.Show(10, 10, "");  // one shorter: one blank
  progress.Messages() << "one" << '\n';
  progress.Report() << "two\n";
  progress.Clear();  // nothing shown: nothing written
  EXPECT_EQ(terminal.str(), "\r" + long_line + "\r[10/10] x" +
                                std::string(long_line.size() - 9, ' ') + "\r[10/10]  \r" +
                                std::string(8, ' ') + "\rone\ntwo\n");
}

// 48K of `fill`, PC 0x8123 in its register and at SP; fill 0 leaves 0xD002-0xE3DF unused.
SnapshotState MakeSnapshotState(std::uint8_t fill) {
  // clang-format off
  SnapshotState s{.Memory = Bytes(kSnapshotRamLength, fill), .AF = 0x3A44, .BC = 0x0605,
                  .DE = 0x0403, .HL = 0x0201, .IX = 0x0807, .IY = 0x5C3A, .AFAlt = 0x8877,
                  .BCAlt = 0x6655, .DEAlt = 0x4433, .HLAlt = 0x2211, .PC = 0x8123,
                  .SP = 0xFF00, .I = 0x3F, .R = 0x2A, .InterruptMode = 1,
                  .InterruptsEnabled = true, .BorderColour = 5};
  // clang-format on
  std::ranges::copy(Bytes{0x23, 0x81}, s.Memory.begin() + (0xFF00 - 0x4000));  // PC
  if (fill == 0) s.Memory[0xD000 - 0x4000] = 0x01;
  return s;
}

Bytes MakeSnapshot(std::uint8_t fill) { return testing::MakeSnaFile(MakeSnapshotState(fill)); }

// The boot alone, long enough for the slowest bank's work (the Spectrum screen clear and copies).
const Args kQuickBoot = {"--dwell", "1200000", "--t-state-limit", "40000000", "--run-frames", "0"};

// Stand-in ROM images, each holding the byte its cartridge's start-up code waits for.
class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    roms_.Write("ZX81_ROM.bin", testing::MakeRomImage(3000, {{10, 0x40}}));
    roms_.Write("ZX80_ROM.bin", testing::MakeRomImage(4095, {{10, 0xFD}}));  // free space from 4097
    roms_.Write("SPECTRUM_ROM.bin", testing::MakeRomImage(14000, {{0, 0xF3}}));
  }
  // Cli with the ROM images' folder.
  Result Run(Args args, const std::vector<Args>& more = {}, const std::string& input = "",
             CliTerminals terminals = {}) const {
    args.insert(args.begin(), {"--rom-dir", roms_.path().string()});
    return Cli(args, more, input, terminals);
  }
  std::string In(const std::string& name, const Bytes& data) {
    return inputs_.Write(name, data).string();
  }
  std::string Out(const std::string& name) const { return (outputs_ / name).string(); }
  // Boots `image` against `source`, settled with `choices`, as --verify-only does.
  Result VerifyOnly(const std::string& image, const std::string& source,
                    const Args& choices = {}) const {
    return Run({"--verify-only", image, "--source", source}, {choices, kQuickBoot});
  }

  testing::TempDir roms_, inputs_, outputs_;
  const Args dirs_ = {"--output-dir", outputs_.path().string()};
};

// Without --rom-dir the ROM images come from the data folders; a missing one names them all.
TEST_F(CliTest, RomImagesFromTheDataFoldersWithoutRomDir) {
  testing::TempDir data_home;
  std::filesystem::create_directory(data_home / "quillfen");
  data_home.Write("quillfen/ZX81_ROM.bin", ReadFileBytes(roms_ / "ZX81_ROM.bin"));
  const std::string saved_home = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
  const std::string saved_dirs = getenv("XDG_DATA_DIRS") ? getenv("XDG_DATA_DIRS") : "";
  setenv("XDG_DATA_HOME", data_home.path().c_str(), 1);
  setenv("XDG_DATA_DIRS", "/nonexistent/a:/nonexistent/b", 1);
  const std::string game = In("game.p", MakeZX81Program(300)), o = In("o.o", MakeZX80Program(300));
  const std::string executable_folder =
      std::filesystem::read_symlink("/proc/self/exe").parent_path();
  EXPECT_EQ(Cli(dirs_, {{game, o}}),
            (Result{1, game + " -> " + Out("GAME.bin") + "\n",
                    o +
                        ": Failed to read ZX80 ROM file (ZX80_ROM.bin): ZX80_ROM.bin is in none "
                        "of " +
                        executable_folder + ", " + data_home.path().string() +
                        "/quillfen, /nonexistent/a/quillfen, /nonexistent/b/quillfen (--rom-dir "
                        "DIR names the folder that holds it)\n"}));
  saved_home.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", saved_home.c_str(), 1);
  saved_dirs.empty() ? unsetenv("XDG_DATA_DIRS") : setenv("XDG_DATA_DIRS", saved_dirs.c_str(), 1);
}

// Piped in and out, the image is the one the file gives, and stdout holds nothing else.
TEST_F(CliTest, StandardInputToStandardOutputGivesTheImageOfTheFile) {
  const std::tuple<std::string, std::string, Bytes> cases[] = {
      {"zx81", "game.p", MakeZX81Program(300)},
      {"spectrum", "game.szx", testing::MakeSzxFile(testing::MakeBusySnapshot())},
  };
  for (const auto& [machine, name, file] : cases) {
    SCOPED_TRACE(name);
    const std::string input = In(name, file);
    ASSERT_EQ(Run({"-o", Out("file.bin"), input}),
              (Result{0, input + " -> " + Out("file.bin") + "\n", ""}));
    const Result piped = Run({"-m", machine, "-o", "-", "-"}, {}, Text(file));
    EXPECT_EQ(piped, (Result{0, Text(ReadFileBytes(Out("file.bin"))),
                             "standard input -> standard output\n"}));
    // A file to standard output, and standard input to a file.
    EXPECT_EQ(Run({"-q", "-o", "-", input}), (Result{0, piped.out, ""}));
    const Result to_file = Run({"-m", machine, "-o", Out("in.bin"), "-"}, {}, Text(file));
    EXPECT_EQ(to_file.out, "standard input -> " + Out("in.bin") + "\n");
    EXPECT_EQ(Text(ReadFileBytes(Out("in.bin"))), piped.out);
  }
}

// Nothing reaches standard output unless the whole conversion succeeded.
TEST_F(CliTest, StandardStreamsRefuseWhatCannotWork) {
  const std::string game = In("game.p", MakeZX81Program(300));
  EXPECT_EQ(Run({"-o", "-", game}, {}, "", {true, false}),
            (Result{2, "",
                    "quillfen-cli: -o - would write the image to the terminal; send standard "
                    "output to a file or a pipe (see quillfen-cli --help)\n"}));
  EXPECT_EQ(
      Run({"-m", "zx81", "-o", "-", "-"}, {}, "not a program"),
      (Result{1, "", "standard input: truncated: 13 bytes, the system variables need 116\n"}));
  EXPECT_EQ(Run({"-m", "zx81", "-o", "-", "-"}, {}, std::string(kLargestReadableFile + 1, 'x')),
            (Result{1, "", "quillfen-cli: standard input holds more than 16777216 bytes\n"}));
  std::filesystem::remove(roms_ / "ZX81_ROM.bin");
  const Result no_rom = Run({"-o", "-", game});
  EXPECT_EQ(std::tie(no_rom.status, no_rom.out), std::make_tuple(1, ""));
  // --info reads standard input too.
  EXPECT_EQ(Run({"--info", "--json", "-m", "zx80", "-"}, {}, Text(MakeZX80Program(500)))
                .out.rfind(R"({"file":"standard input","machine":"ZX80","program_length":500,)"),
            0u);
}

// -q keeps only errors; -v adds what was chosen for each file, on stderr.
TEST_F(CliTest, QuietAndVerbose) {
  const std::string good = In("good.p", MakeZX81Program(300)), bad = In("bad.p", Bytes(10, 0));
  const std::string o = In("game.o", MakeZX80Program(500));
  const std::string sna = In("game.sna", testing::MakeSnaFile(testing::MakeBusySnapshot()));
  EXPECT_EQ(Run({"-q", "--verify", "--dwell", "1200000"}, {dirs_, {good, bad}}),
            (Result{1, "", bad + ": truncated: 10 bytes, the system variables need 116\n"}));
  const auto chose = [&](const std::string& what, const char* rom, const std::string& image) {
    return what + " cartridge, ROM " + (roms_ / rom).string() + ", image " + image;
  };
  const std::pair<Args, std::string> verbose[] = {
      {{"-r", "4K", good}, chose("ZX81, 4K RAM, 32K", "ZX81_ROM.bin", Out("x.bin"))},
      {{"-s", "16K", o}, chose("ZX80, 1K RAM, 16K", "ZX80_ROM.bin", Out("x.bin"))},
      {{"-o", "-", sna}, chose("Spectrum, 48K RAM, 64K", "SPECTRUM_ROM.bin", "standard output")},
  };
  for (auto [args, choices] : verbose) {
    if (args.front() != "-o") args.insert(args.begin(), {"-o", Out("x.bin")});
    const Result result = Run({"-v"}, {args});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1), args.back() + ": " + choices + "\n");
  }
}

// Only a batch of more than 3 files on a terminal shows "[done/total] name", wiped before output.
TEST_F(CliTest, ProgressOfALongBatchOnATerminalOnly) {
  Args files = dirs_;
  for (const char* name : {"a.p", "b.p", "c.p"}) files.push_back(In(name, MakeZX81Program(300)));
  const CliTerminals terminal = {false, true};
  EXPECT_EQ(Run(files, {}, "", terminal).err, "");
  files.push_back(In("bad.p", Bytes(10, 0)));
  const std::string refused =
      files.back() + ": truncated: 10 bytes, the system variables need 116\n";
  EXPECT_EQ(Run(files, {}, "", {true, false}).err, refused);
  // Each report line on stdout wipes the line too: both streams may be the same terminal.
  std::string progress;
  for (std::size_t done = 0; done < 4; ++done) {
    const std::string line = "[" + std::to_string(done) + "/4] " + files[2 + done];
    progress += "\r" + line + "\r" + std::string(line.size(), ' ') + "\r";
  }
  EXPECT_EQ(Run(files, {}, "", terminal),
            (Result{1,
                    files[2] + " -> " + Out("A.bin") + "\n" + files[3] + " -> " + Out("B.bin") +
                        "\n" + files[4] + " -> " + Out("C.bin") + "\n",
                    progress + refused}));
}

// Each image goes where the plan named it, whatever the converter asks, in a new --output-dir.
TEST_F(CliTest, KeepExtensionConvertsFilesSharingABaseName) {
  const SnapshotState state = testing::MakeBusySnapshot();
  const std::string sna = In("GAME.SNA", testing::MakeSnaFile(state));
  const std::string z80 = In("GAME.Z80", testing::MakeZ80FileVersion1(state, true));
  const std::string dir = Out("new/images/");
  EXPECT_EQ(
      Run({"--keep-extension", sna, z80, "--output-dir", dir}),
      (Result{0, sna + " -> " + dir + "GAME-SNA.bin\n" + z80 + " -> " + dir + "GAME-Z80.bin\n",
              ""}));
  EXPECT_EQ(ReadFileBytes(dir + "GAME-SNA.bin").size(), 65536u);
  EXPECT_EQ(ReadFileBytes(dir + "GAME-Z80.bin").size(), 65536u);
}

// One file of each machine, and a refused one, with every field the window would show.
TEST_F(CliTest, InfoJsonShowsWhatTheWindowShows) {
  const std::string kSpectrum =  // the snapshot's bytes, in decimal
      R"("machine":"Spectrum","ram_offered":["48K"],"ram_selected":"48K","ram_selectable":false,)"
      R"("registers":{"AF":14916,"BC":1541,"DE":1027,"HL":513,"IX":2055,"IY":23610,)"
      R"("AFAlt":34935,"BCAlt":26197,"DEAlt":17459,"HLAlt":8721,"SP":65280,"PC":33059,)"
      R"("I":63,"R":42},"pc_on_stack":true,"interrupt_mode":1,"interrupts_enabled":true,)"
      R"("border":5,"unused_area":)";
  const std::tuple<std::string, Bytes, int, std::string> cases[] = {
      {"a.p", MakeZX81Program(1011, 0x407D), 0,  // starts by itself: auto-run fixed
       R"("machine":"ZX81","program_length":1011,"ram_offered":["4K","16K"],"ram_selected":"16K",)"
       R"("ram_selectable":true,"auto_run":true,"auto_run_fixed":true)"},
      {"b.o", MakeZX80Program(12203), 0,  // one byte too many for 16K with auto-run
       R"("machine":"ZX80","program_length":12203,"ram_offered":["16K"],"ram_selected":"16K",)"
       R"("ram_selectable":false,"auto_run":true,"auto_run_fixed":false,)"
       R"("fits_16k_with_auto_run":false,"fits_16k_without_auto_run":true)"},
      {"c.sna", MakeSnapshot(0), 0,
       kSpectrum + R"({"low":53250,"top":58336,"page":2})"},  // 0xD002-0xE3DF
      {"d.sna", MakeSnapshot(0x55), 0, kSpectrum + "null"},
      // PC in its register, not on the stack.
      {"e.szx", testing::MakeSzxFile(MakeSnapshotState(0x55)), 0,
       std::regex_replace(kSpectrum, std::regex("\"pc_on_stack\":true"), "\"pc_on_stack\":false") +
           "null"},
      {"a \"b\"\\c.p", Bytes(10, 0), 1,
       R"("machine":"ZX81","error":"truncated: 10 bytes, the system variables need 116",)"
       R"("refusal_kind":"truncated")"},
  };
  for (const auto& [name, bytes, status, fields] : cases) {
    const std::string file = In(name, bytes);
    const Result result = Run({"--info", "--json", file});
    EXPECT_EQ(result.status, status);
    EXPECT_EQ(result.out, R"({"file":")" + (inputs_.path().string() + "/") +
                              (name.find('"') != std::string::npos ? R"(a \"b\"\\c.p)" : name) +
                              "\"," + fields + "}\n");
  }
}

TEST_F(CliTest, VerifyBootsTheImageOfEachMachine) {
  // Columns: input, the choices (given again to --verify-only), -s, the image's length.
  using Case = std::tuple<std::string, Bytes, Args, std::string, std::size_t>;
  const Case cases[] = {
      {"game.p", MakeZX81Program(300), {"--autorun", "-r", "4K"}, "32K", 32768},
      {"game.o", MakeZX80Program(500), {}, "16K", 16384},
      {"game.80", MakeZX80Program(2000), {"--no-autorun", "-r", "3K"}, "32K", 32768},
      {"game.sna", MakeSnapshot(0), {}, "48K", 65536},  // bank 2 left empty; 64K: run test
  };
  const std::string image = Out("GAME.bin");
  for (const auto& [name, bytes, choices, size, length] : cases) {
    SCOPED_TRACE(name + " " + size);
    const std::string input = In(name, bytes);
    const Result result = Run(dirs_, {{"--verify", "-s", size, input}, choices, kQuickBoot});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.rfind(input + " -> " + image + "\n" + image + ": boots, ", 0), 0u);
    EXPECT_EQ(ReadFileBytes(image).size(), length);
    // Checked again from the file, the layout taken from the image.
    EXPECT_EQ(VerifyOnly(image, input, choices).status, 0);
  }
  EXPECT_EQ(ReadFileBytes(image)[0x8000], 0xFF);
}

// The check can fail: a changed byte is named; an image that cannot be read fails.
TEST_F(CliTest, VerifyFailsNamingWhatDiffers) {
  const std::string sna = In("g.sna", MakeSnapshot(0x55));
  ASSERT_EQ(Run(dirs_, {{sna}}).status, 0);
  Bytes image = ReadFileBytes(Out("G.bin"));
  const Bytes ld_iy = {0xFD, 0x21, 0x3A, 0x5C};  // LD IY,0x5C3A in the register block
  const auto at = std::search(image.begin(), image.end(), ld_iy.begin(), ld_iy.end());
  ASSERT_NE(at, image.end());
  at[3] ^= 0x01;
  const std::string bad = inputs_.Write("BAD.bin", image).string();
  const Result failed = VerifyOnly(bad, sna);
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.err, bad +
                            ": FAILED: boots, but IY is 0x5D3A, snapshot has 0x5C3A (8.4 M "
                            "T-states)\n");
  // An image that cannot be read, or of the wrong length.
  EXPECT_EQ(Cli({"--verify-only", Out("none.bin"), "--source", sna}),
            (Result{1, "", Out("none.bin") + ": the image cannot be read\n"}));
  const std::string short_image = inputs_.Write("SHORT.bin", Bytes(16384, 0xFF)).string();
  EXPECT_EQ(Cli({"--verify-only", short_image, "--source", sna}),
            (Result{1, "",
                    short_image + ": holds 16384 bytes, not a Spectrum cartridge image (49152 or "
                                  "65536 bytes)\n"}));
  // Choices a snapshot cannot take: a 48K cartridge with no unused area, any RAM size.
  const Result no_48k = Run(dirs_, {{"-s", "48K", sna}}), ram = Run(dirs_, {{"-r", "16K", sna}});
  EXPECT_EQ(std::tie(no_48k.status, ram.status), std::make_tuple(2, 2));
  EXPECT_EQ(no_48k.err.rfind(sna + ": no 48K cartridge: no unused area was found\n", 0), 0u);
  EXPECT_EQ(
      ram.err.rfind(sna + ": -r does not apply to a Spectrum snapshot: it always runs in 48K\n", 0),
      0u);
}

// The batch's checks run at once and report in input order: agreeing runs on stdout, else stderr.
TEST_F(CliTest, VerifyRunsEachSnapshotBesideItselfAndReportsInInputOrder) {
  using testing::ProgramSnapshot;
  using testing::SumLoop;
  roms_.Write("SPECTRUM_ROM.bin", testing::ProgramRom());
  const std::string ram =
      In("ram.z80", testing::MakeZ80FileVersion1(ProgramSnapshot(SumLoop(0x9100, 0x400)), false));
  const std::string rom = In("rom.z80", testing::MakeZ80FileVersion1(
                                            ProgramSnapshot(SumLoop(0x3800, 0x500, false)), true));
  const std::string halt =
      In("halt.sna", testing::MakeSnaFile(ProgramSnapshot(testing::HaltLoop())));
  const Args boot = {"--dwell", "1200000", "--t-state-limit", "40000000", "--run-frames", "3"};
  Result result = Run(dirs_, {{"--verify", "-j", "2", ram, rom, halt}, boot});
  EXPECT_EQ(result.status, 1);
  // The T-states are the boot's, up to the resume.
  const std::string runs = ", runs as the snapshot for 3 frames (8.4 M T-states)";
  EXPECT_EQ(result.out, ram + " -> " + Out("RAM.bin") + "\n" + rom + " -> " + Out("ROM.bin") +
                            "\n" + halt + " -> " + Out("HALT.bin") + "\n" + Out("RAM.bin") +
                            ": boots, snapshot restored exactly" + runs + "\n" + Out("HALT.bin") +
                            ": boots, snapshot restored exactly" + runs +
                            "; R is 0x86, one higher than the snapshot's 0x85, as the RETN "
                            "ending leaves it\n");
  const std::string parts = Out("ROM.bin") +
                            ": FAILED: boots, snapshot restored exactly, but does not run as the "
                            "snapshot: in frame 1, ";
  ASSERT_EQ(result.err.rfind(parts, 0), 0u) << result.err;

  result = Run({"--verify-only", Out("ROM.bin"), "--source", rom, "--json"}, {boot});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(
      result.out.rfind(R"({"image":")" + Out("ROM.bin") + R"(","passed":false,"booted":true,)", 0),
      0u)
      << result.out;
  EXPECT_NE(result.out.find(R"("address":"0x386E","cause":"reads the ROM copy's spare area )"),
            std::string::npos);
  EXPECT_EQ(result.err, "");
}

// Tapes, loaded with the test ROM as SPECTRUM_ROM.bin.
class TapeTest : public CliTest {
 protected:
  TapeTest() { roms_.Write("SPECTRUM_ROM.bin", testing::TheTestRom().image); }
  static const testing::TestProgram& Program() {
    static const testing::TestProgram program = testing::MakeTestProgram({});
    return program;
  }
  // The program's header and data blocks as a TAP file; the tape readers are tested with TZX.
  static Bytes Tap() {
    const auto length = static_cast<std::uint16_t>(Program().code.size());
    return testing::MakeTapFile(
        {testing::TapeData(0x00, testing::CodeHeader("rocket", length, testing::kProgramStart)),
         testing::TapeData(0xFF, Program().code)});
  }
};

// The tape's image is byte for byte that of its captured state saved as a Z80 snapshot.
TEST_F(TapeTest, ConvertsToTheImageOfTheCapturedStateAndProvesIt) {
  const std::string tape = In("GAME.TAP", Tap()), saved = Out("CAPTURED.z80");
  const Result run = Run(
      dirs_, {{tape, "--settle", "1", "--save-snapshot", saved, "--verify", "--run-frames", "20"}});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(tape + " -> " + saved + " (captured state)"), std::string::npos);
  EXPECT_NE(run.out.find("GAME.bin: boots"), std::string::npos) << run.out;
  // The image proved later against its tape, loaded with the same settling time.
  const Result later = Run(
      {"--verify-only", Out("GAME.bin"), "--source", tape, "--settle", "1", "--run-frames", "20"});
  EXPECT_EQ(later.status, 0) << later.err;
  ASSERT_EQ(Run({"-o", Out("again.bin"), saved}).status, 0);
  EXPECT_EQ(ReadFileBytes(Out("GAME.bin")), ReadFileBytes(Out("again.bin")));
}

TEST_F(TapeTest, InfoShowsTheBlocksAndWhereTheProgramWasCaptured) {
  const std::string tape = In("GAME.TAP", Tap());
  const Result text = Run({"--info", tape});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("  block 1: Standard Speed Data \"rocket\"\n"), std::string::npos);
  // At the stop address the capture comes there, not after settling.
  const std::string loop = std::to_string(Program().loop);
  const Result json = Run({"--info", "--json", "--stop-at", loop, tape});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_NE(json.out.find("\"tape\":{\"blocks\":[{\"description\":\"Standard Speed Data\","
                          "\"name\":\"rocket\"},{\"description\":\"Standard Speed Data\","
                          "\"name\":\"\"}],\"captured_pc\":" +
                          loop + ",\"stopped_at_address\":true}"),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"PC\":" + loop), std::string::npos);
}

// Each refusal names its reason in the text and its kind in JSON.
TEST_F(TapeTest, RefusedTapesSayWhy) {
  testing::TempDir no_roms;
  const std::string none = no_roms.path().string(), roms = roms_.path().string();
  // Columns: file name, content, ROM folder, the message's start, the refusal kind.
  const std::tuple<std::string, Bytes, std::string, std::string, std::string> cases[] = {
      {"GAME.TAP", Tap(), none,
       "a tape is loaded on an emulated Spectrum, which needs SPECTRUM_ROM.bin; no ROM folder "
       "holds it (searched: " +
           none,
       "no_spectrum_rom"},
      {"NOISE.TZX", Bytes{'n', 'o', 'i', 's', 'e'}, roms, "libspectrum", "unreadable_format"},
  };
  for (const auto& [name, file, rom_dir, reason, kind] : cases) {
    const std::string tape = In(name, file);
    const Result text = Cli({tape, "--rom-dir", rom_dir}, {dirs_});
    EXPECT_EQ(text.status, 1) << name;
    EXPECT_EQ(text.err.rfind(tape + ": " + reason, 0), 0u) << text.err;
    const Result json = Cli({"--info", "--json", "--rom-dir", rom_dir, tape});
    EXPECT_NE(json.out.find("\"refusal_kind\":\"" + kind + "\""), std::string::npos) << json.out;
  }
  EXPECT_FALSE(std::filesystem::exists(Out("GAME.bin")));
}

}  // namespace
}  // namespace quillfen
