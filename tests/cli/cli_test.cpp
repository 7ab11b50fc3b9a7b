#include "cli/cli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli_inputs.h"
#include "support/rom_images.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using testing::MakeRomImage;
using testing::MakeSelfStartingZX81Program;
using testing::MakeSnapshot;
using testing::MakeZX80Program;
using testing::MakeZX81Program;
using testing::ReadFileBytes;
using testing::TempDir;

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result Cli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

// A folder with stand-in ROM images, an input folder and an output folder.
class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    // Each holds the byte its cartridge's start-up code waits for.
    roms_.Write("ZX81_ROM.bin", MakeRomImage(3000, {{10, 0x40}}));
    roms_.Write("ZX80_ROM.bin", MakeRomImage(4095, {{10, 0xFD}}));  // free space from 4097
    roms_.Write("SPECTRUM_ROM.bin", MakeRomImage(14000, {{0, 0xF3}}));
  }

  std::string In(const std::string& name, const Bytes& bytes) {
    return inputs_.Write(name, bytes).string();
  }
  std::string Out(const std::string& name) const { return (outputs_.path() / name).string(); }

  std::vector<std::string> Args(std::vector<std::string> args) const {
    args.insert(args.begin(),
                {"--rom-dir", roms_.path().string(), "--output-dir", outputs_.path().string()});
    return args;
  }

  TempDir roms_;
  TempDir inputs_;
  TempDir outputs_;
};

TEST(RunCliTest, VersionAndHelpGoToStdout) {
  EXPECT_EQ(Cli({"--version"}).out, "quillfen-cli 1.01\n");
  EXPECT_EQ(Cli({"--version"}).status, 0);
  const Result help = Cli({"-h"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: quillfen-cli [options] FILE...\n", 0), 0u);
  EXPECT_EQ(help.err, "");
}

TEST(RunCliTest, UsageErrorsAreOneLineWithStatusTwo) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"--bogus", "a.p"},
                                             {"-r", "5K", "a.p"},
                                             {"-o", "x", "a.p", "b.p"},
                                             {"--json", "a.p"},
                                             {"notes.txt"},
                                             {"--info", "notes.txt"}}) {
    SCOPED_TRACE(::testing::PrintToString(args));
    const Result result = Cli(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(result.err.empty());
    // Each message is one line, telling the program or the file it concerns.
    std::istringstream lines(result.err);
    for (std::string line; std::getline(lines, line);)
      EXPECT_TRUE(line.rfind("quillfen-cli: ", 0) == 0 || line.rfind("notes.txt: ", 0) == 0)
          << line;
  }
  EXPECT_EQ(Cli({"--bogus", "a.p"}).err,
            "quillfen-cli: unknown option --bogus (see quillfen-cli --help)\n");
}

TEST_F(CliTest, ReaderRefusalsExitOneWithTheReasonAfterTheFileName) {
  const std::string empty = In("EMPTY.P", {});
  const std::string missing = (inputs_.path() / "missing.o").string();
  const std::string other = In("GAME.SNA", MakeSnapshot(0x55));
  const Result result = Cli(Args({missing, empty, "-m", "zx81", other}));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  // -m zx81 applies to every file: the ZX81 reader takes only ZX81 extensions.
  EXPECT_EQ(result.err, missing + ": not a ZX81 file (.P, .81 or .P81)\n" + empty +
                            ": the file is empty\n" + other +
                            ": not a ZX81 file (.P, .81 or .P81)\n");
  const Result folder = Cli(Args({"-m", "spectrum", inputs_.path().string() + "/dir.sna"}));
  EXPECT_EQ(folder.err, inputs_.path().string() + "/dir.sna: no such file\n");
}

TEST_F(CliTest, DuplicateImageNamesAreRefusedBeforeAnythingIsWritten) {
  const std::string sna = In("GAME.SNA", MakeSnapshot(0x55));
  const std::string z80 = In("game.z80", MakeSnapshot(0x55));  // content does not matter
  const std::string p = In("OTHER.P", MakeZX81Program(300));
  const Result result = Cli(Args({p, sna, z80}));
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, sna + " and " + z80 +
                            " would both write GAME.bin\n"
                            "quillfen-cli: nothing was written (see quillfen-cli --help)\n");
  EXPECT_TRUE(std::filesystem::is_empty(outputs_.path()));
}

TEST_F(CliTest, OutputFolderIsCreatedWhenMissingAndMustBeAFolder) {
  const std::string folder = (outputs_.path() / "new" / "images").string();
  const std::string missing = (inputs_.path() / "missing.p").string();
  Result result = Cli({"--output-dir", folder, missing});
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(result.err, missing + ": no such file\n");

  const std::string file = In("taken", {1});
  result = Cli({"--output-dir", file, missing});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err.rfind("quillfen-cli: cannot create the folder " + file, 0), 0u);
}

TEST_F(CliTest, OutputFolderIsCreatedAndHoldsTheImages) {
  const std::string folder = (outputs_.path() / "new" / "images").string();
  const std::string game = In("game.p", MakeZX81Program(300));
  const Result result = Cli({"--rom-dir", roms_.path().string(), "--output-dir", folder, game});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, game + " -> " + folder + "/GAME.bin\n");
  EXPECT_EQ(ReadFileBytes(folder + "/GAME.bin").size(), 32768u);
}

TEST_F(CliTest, OutputOptionNamesTheImage) {
  const std::string game = In("game.p", MakeZX81Program(300));
  const std::string image = Out("cartridge.rom");
  const Result result = Cli({"--rom-dir", roms_.path().string(), "-o", image, game});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, game + " -> " + image + "\n");
  EXPECT_EQ(ReadFileBytes(image).size(), 32768u);
}

TEST_F(CliTest, BatchWithAFailingFileInTheMiddleConvertsTheOthers) {
  const std::string first = In("first.p", MakeZX81Program(300));
  const std::string broken = In("broken.p", Bytes(115, 0));  // shorter than the system variables
  const std::string last = In("last.81", MakeSelfStartingZX81Program(2000));
  const Result result = Cli(Args({first, broken, last}));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            first + " -> " + Out("FIRST.bin") + "\n" + last + " -> " + Out("LAST.bin") + "\n");
  EXPECT_EQ(result.err, broken + ": not a valid ZX81 program\n");
  EXPECT_EQ(ReadFileBytes(Out("FIRST.bin")).size(), 32768u);
  EXPECT_EQ(ReadFileBytes(Out("LAST.bin")).size(), 32768u);
  EXPECT_FALSE(std::filesystem::exists(Out("BROKEN.bin")));
}

TEST_F(CliTest, MissingRomIsTheConvertersOwnMessage) {
  TempDir no_roms;
  const std::string game = In("GAME.P", MakeZX81Program(300));
  const Result result =
      Cli({"--rom-dir", no_roms.path().string(), "--output-dir", outputs_.path().string(), game});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, game + ": Failed to read ZX81 ROM file (ZX81_ROM.bin)\n");
}

TEST_F(CliTest, ZX80SixteenKOnlyWhenTheQuestionWouldBeAsked) {
  // Free space from 4097: with auto-run 16384 - 4097 - 85 = 12202 bytes fit.
  const std::string fits = In("FITS.O", MakeZX80Program(12202));
  const std::string too_long = In("LONG.O", MakeZX80Program(12203));
  Result result = Cli(Args({"-s", "16K", fits}));
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadFileBytes(Out("FITS.bin")).size(), 16384u);
  result = Cli(Args({"-s", "16K", too_long}));
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err.rfind(too_long + ": no 16K cartridge: the program does not fit in 16K\n", 0),
            0u);
  result = Cli(Args({fits}));  // the default answer is No
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadFileBytes(Out("FITS.bin")).size(), 32768u);
}

TEST_F(CliTest, SpectrumFortyEightKOnlyWithAnUnusedArea) {
  const std::string roomy = In("ROOMY.SNA", MakeSnapshot(0));
  const std::string full = In("FULL.SNA", MakeSnapshot(0x55));
  Result result = Cli(Args({"-s", "48K", full}));
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err.rfind(full + ": no 48K cartridge: no unused area was found\n", 0), 0u);
  result = Cli(Args({"-s", "48K", roomy, "-r", "16K"}));
  EXPECT_EQ(result.status, 2);  // a snapshot has no RAM choice
  result = Cli(Args({"-s", "48K", roomy}));
  ASSERT_EQ(result.status, 0) << result.err;
  const Bytes image = ReadFileBytes(Out("ROOMY.bin"));
  ASSERT_EQ(image.size(), 65536u);
  EXPECT_EQ(image[0x8000], 0xFF);  // the 48K cartridge leaves its third bank empty
}

TEST_F(CliTest, InfoJsonForEachMachine) {
  const std::string p = In("a.p", MakeSelfStartingZX81Program(1011));
  const std::string o = In("b.o", MakeZX80Program(12203));
  const std::string sna = In("c.sna", MakeSnapshot(0));
  const Result result = Cli({"--info", "--json", "--rom-dir", roms_.path().string(), p, o, sna});
  ASSERT_EQ(result.status, 0) << result.err;
  std::istringstream lines(result.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, R"({"file":")" + p +
                      R"(","machine":"ZX81","program_length":1011,"ram_offered":["4K","16K"],)"
                      R"("ram_selected":"16K","ram_selectable":true,"auto_run":true,)"
                      R"("auto_run_fixed":true})");
  std::getline(lines, line);
  EXPECT_EQ(line, R"({"file":")" + o +
                      R"(","machine":"ZX80","program_length":12203,"ram_offered":["16K"],)"
                      R"("ram_selected":"16K","ram_selectable":false,"auto_run":true,)"
                      R"("auto_run_fixed":false,"fits_16k_with_auto_run":false,)"
                      R"("fits_16k_without_auto_run":true})");
  std::getline(lines, line);
  EXPECT_EQ(line, R"({"file":")" + sna +
                      R"(","machine":"Spectrum","ram_offered":["48K"],"ram_selected":"48K",)"
                      R"("ram_selectable":false,"registers":{"AF":14916,"BC":1541,"DE":1027,)"
                      R"("HL":513,"IX":2055,"IY":23610,"AFAlt":34935,"BCAlt":26197,)"
                      R"("DEAlt":17459,"HLAlt":8721,"SP":65280,"PC":33059,"I":63,"R":42},)"
                      R"("pc_on_stack":true,"interrupt_mode":1,"interrupts_enabled":true,)"
                      R"("border":5,"unused_area":{"low":53250,"top":58336,"page":2}})");
  EXPECT_FALSE(std::getline(lines, line));
}

TEST_F(CliTest, InfoWithoutTheZX80RomSaysSo) {
  TempDir no_roms;
  const Result result =
      Cli({"--info", "--rom-dir", no_roms.path().string(), In("b.o", MakeZX80Program(500))});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("  16K cartridge with auto-run: unknown (no ZX80_ROM.bin)\n"),
            std::string::npos);
}

TEST_F(CliTest, InfoReportsARefusedFileAndGoesOn) {
  const std::string broken = In("broken.p", Bytes(10, 0));
  const Result result = Cli({"--info", "--json", broken, broken});
  EXPECT_EQ(result.status, 1);
  const std::string object = R"({"file":")" + broken + R"(","machine":"ZX81","error":")";
  EXPECT_EQ(result.out.rfind(object, 0), 0u);
  EXPECT_EQ(result.out.find(object, 1), result.out.find('\n') + 1);  // one object per file
}

}  // namespace
}  // namespace quillfen
