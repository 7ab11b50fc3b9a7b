#include "cli/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillfen {
namespace {

ParsedOptions Parse(const std::vector<std::string>& args) { return ParseOptions(args); }

TEST(ParseOptionsTest, LeavesEverySettingToTheProgramWhenOnlyFilesAreGiven) {
  const ParsedOptions parsed = Parse({"game.p", "dir/OTHER.SNA"});
  ASSERT_EQ(parsed.error, "");
  const CliOptions& options = parsed.options;
  EXPECT_EQ(options.files, (std::vector<std::string>{"game.p", "dir/OTHER.SNA"}));
  EXPECT_FALSE(options.machine);
  EXPECT_FALSE(options.ram);
  EXPECT_FALSE(options.auto_run);
  EXPECT_FALSE(options.size);
  EXPECT_FALSE(options.rom_dir);
  EXPECT_FALSE(options.output_file);
  EXPECT_FALSE(options.output_dir);
  EXPECT_FALSE(options.info || options.json || options.help || options.version);
}

TEST(ParseOptionsTest, TakesValuesInEverySpelling) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"-m", "zx80", "-r", "3k", "-s", "16k", "-o", "out.bin", "--rom-dir", "roms", "a.o"},
           {"--machine", "ZX80", "--ram", "3K", "--size", "16K", "--output", "out.bin", "--rom-dir",
            "roms", "a.o"},
           {"--machine=Zx80", "--ram=3K", "--size=16K", "--output=out.bin", "--rom-dir=roms",
            "a.o"},
           {"a.o", "-mzx80", "-r3K", "-s16K", "-oout.bin", "--rom-dir", "roms"},
       }) {
    SCOPED_TRACE(args[0] + " " + args[1]);
    const ParsedOptions parsed = Parse(args);
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.machine, Machine::ZX80);
    EXPECT_EQ(parsed.options.ram, "3K");  // kept in the window's spelling
    EXPECT_EQ(parsed.options.size, "16K");
    EXPECT_EQ(parsed.options.output_file, std::filesystem::path("out.bin"));
    EXPECT_EQ(parsed.options.rom_dir, std::filesystem::path("roms"));
    EXPECT_EQ(parsed.options.files, std::vector<std::string>{"a.o"});
  }
}

TEST(ParseOptionsTest, LastAutoRunChoiceWinsAndDoubleDashEndsOptions) {
  EXPECT_EQ(Parse({"--autorun", "--no-autorun", "a.p"}).options.auto_run, false);
  EXPECT_EQ(Parse({"--no-autorun", "--autorun", "a.p"}).options.auto_run, true);
  const ParsedOptions parsed = Parse({"--", "-r.p", "--info.p"});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.files, (std::vector<std::string>{"-r.p", "--info.p"}));
  EXPECT_FALSE(parsed.options.ram);
}

TEST(ParseOptionsTest, RefusesUnusableCommandLinesWithTheReason) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "no input file given"},
      {{"-r"}, "option -r needs a value"},
      {{"a.p", "--ram="}, "option --ram needs a value"},
      {{"-r", "2K", "a.p"}, "unknown RAM size \"2K\" (use 1K, 3K, 4K or 16K)"},
      {{"-r", "48K", "a.p"}, "unknown RAM size \"48K\" (use 1K, 3K, 4K or 16K)"},
      {{"-s", "8K", "a.p"}, "unknown cartridge size \"8K\" (use 16K, 32K, 48K or 64K)"},
      {{"-m", "c64", "a.p"}, "unknown machine \"c64\" (use zx80, zx81 or spectrum)"},
      {{"--frobnicate", "a.p"}, "unknown option --frobnicate"},
      {{"-x", "a.p"}, "unknown option -x"},
      {{"--info=yes", "a.p"}, "option --info takes no value"},
      {{"--autorun=1", "a.p"}, "option --autorun takes no value"},
      {{"-o", "x.bin", "a.p", "b.p"},
       "-o names the image of one input only; use --output-dir for several"},
      {{"-o", "x.bin", "--output-dir", "d", "a.p"}, "-o and --output-dir cannot be used together"},
      {{"--json", "a.p"}, "--json goes with --info"},
      {{"--info", "-r", "1K", "a.p"},
       "--info takes only -m, --rom-dir and --json besides the files"},
      {{"--info", "--output-dir", "d", "a.p"},
       "--info takes only -m, --rom-dir and --json besides the files"},
  };
  for (const auto& [args, error] : cases) {
    SCOPED_TRACE(testing::PrintToString(args));
    EXPECT_EQ(Parse(args).error, error);
  }
}

TEST(ParseOptionsTest, HelpAndVersionNeedNoFile) {
  EXPECT_EQ(Parse({"--help"}).error, "");
  EXPECT_TRUE(Parse({"-h"}).options.help);
  EXPECT_EQ(Parse({"--version"}).error, "");
  EXPECT_TRUE(Parse({"--version"}).options.version);
}

TEST(HelpTextTest, DocumentsEveryOption) {
  const std::string help = HelpText();
  for (const char* option :
       {"-m, --machine", "zx80|zx81|spectrum", "-r, --ram", "1K|3K|4K|16K", "--autorun",
        "--no-autorun", "-s, --size", "16K|32K|48K|64K", "--rom-dir", "-o, --output",
        "--output-dir", "--info", "--json", "-h, --help", "--version", "FILE..."}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace quillfen
