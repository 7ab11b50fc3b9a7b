#include "cli/options.h"

#include <gtest/gtest.h>

#include "cli/cli.h"

namespace quillfen {
namespace {

TEST(ParseOptionsTest, TakesValuesInEverySpelling) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"-m", "zx80", "-r", "3k", "-s", "16k", "-o", "o.bin", "--dwell", "7", "--verify",
            "a.o"},
           {"--machine=Zx80", "--ram=3K", "--size=16K", "--output=o.bin", "--dwell=7", "--verify",
            "a.o"},
           {"a.o", "-mzx80", "-r3K", "-s16K", "-oo.bin", "--verify", "--dwell", "7"},
       }) {
    SCOPED_TRACE(args[0]);
    const ParsedOptions parsed = ParseOptions(args);
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.machine, Machine::ZX80);
    EXPECT_EQ(parsed.options.ram, "3K");  // kept in the window's spelling
    EXPECT_EQ(parsed.options.size, "16K");
    EXPECT_EQ(parsed.options.output_file, std::filesystem::path("o.bin"));
    EXPECT_EQ(parsed.options.dwell, 7u);
    EXPECT_EQ(parsed.options.files, std::vector<std::string>{"a.o"});
  }
  EXPECT_EQ(ParseOptions({"--autorun", "--no-autorun", "a.p"}).options.auto_run, false);
  const ParsedOptions ended = ParseOptions({"--", "-r.p", "--info.p"});
  EXPECT_EQ(ended.options.files, (std::vector<std::string>{"-r.p", "--info.p"}));
}

// Every unusable command line exits with 2 and one line saying why, before anything is read.
TEST(ParseOptionsTest, RefusesUnusableCommandLinesWithTheReason) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
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
      {{"--json", "a.p"}, "--json goes with --info"},
      {{"--info", "--verify", "a.p"},
       "--info takes only -m, --rom-dir and --json besides the files"},
      {{"--verify", "--dwell", "0", "a.p"},
       "option --dwell needs a positive whole number of T-states"},
      {{"--verify", "--t-state-limit", "9x", "a.p"},
       "option --t-state-limit needs a positive whole number of T-states"},
      {{"--dwell", "5", "a.p"}, "--dwell and --t-state-limit go with --verify or --verify-only"},
      {{"--source", "a.p", "a.p"}, "--source goes with --verify-only"},
      {{"--verify-only", "x.bin"},
       "--verify-only needs --source FILE, the program the image was made from"},
      {{"--verify-only", "x.bin", "--source", "a.p", "b.p"},
       "--verify-only checks one image; give its program with --source"},
      {{"--verify-only", "x.bin", "--source", "a.p", "-s", "32K"},
       "--verify-only takes only --source, -m, -r, --autorun, --no-autorun, --rom-dir, --dwell "
       "and --t-state-limit"},
  };
  for (const auto& [args, error] : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), 2);
    EXPECT_EQ(err.str(), "quillfen-cli: " + error + " (see quillfen-cli --help)\n");
    EXPECT_EQ(out.str(), "");
  }
}

TEST(HelpTextTest, DocumentsEveryOption) {
  EXPECT_EQ(ParseOptions({"--help"}).error, "");  // help and version need no file
  EXPECT_EQ(ParseOptions({"--version"}).error, "");
  const std::string help = HelpText();
  for (const char* option :
       {"-m, --machine", "zx80|zx81|spectrum", "-r, --ram",           "1K|3K|4K|16K",
        "--autorun",     "--no-autorun",       "-s, --size",          "16K|32K|48K|64K",
        "--rom-dir",     "-o, --output",       "--output-dir",        "--info",
        "--json",        "--verify ",          "--verify-only IMAGE", "--source FILE",
        "--dwell T",     "--t-state-limit",    "-h, --help",          "--version",
        "FILE..."}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace quillfen
