#include "cli/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/cli_host.h"
#include "support/rom_images.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"

namespace quillfen {
namespace {

using testing::MakeRomImage;
using testing::MakeZX80Program;
using testing::MakeZX81Program;
using testing::ReadFileBytes;
using testing::TempDir;

/// A 48K SNA snapshot: 27-byte header, then RAM 0x4000-0xFFFF. The RAM holds `fill` everywhere
/// except the stack word at SP = 0xFF00 (the program counter, 0x8123); with fill 0 the highest
/// zero run ends at a 0x01 byte at 0xD000, giving the unused area 0xD002-0xE3DF in page 2.
Bytes MakeSnapshot(std::uint8_t fill) {
  Bytes sna = {
      0x3F,                    // I
      0x11, 0x22, 0x33, 0x44,  // HL', DE'
      0x55, 0x66, 0x77, 0x88,  // BC', AF'
      0x01, 0x02, 0x03, 0x04,  // HL = 0x0201, DE = 0x0403
      0x05, 0x06, 0x3A, 0x5C,  // BC = 0x0605, IY = 0x5C3A
      0x07, 0x08,              // IX = 0x0807
      0x04,                    // interrupts enabled (bit 2)
      0x2A,                    // R
      0x44, 0x3A,              // AF: F = 0x44, A = 0x3A
      0x00, 0xFF,              // SP = 0xFF00
      0x01,                    // interrupt mode 1
      0x0D,                    // border 5 (low three bits)
  };
  Bytes ram(0xC000, fill);
  ram[0xFF00 - 0x4000] = 0x23;  // PC low, at the top of the stack
  ram[0xFF01 - 0x4000] = 0x81;  // PC high
  if (fill == 0) ram[0xD000 - 0x4000] = 0x01;
  sna.insert(sna.end(), ram.begin(), ram.end());
  return sna;
}

struct Result {
  int status;
  std::string out, err;
};

Result Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> Plus(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// Long enough for the slowest bank's work (the Spectrum screen clear and copies), short
// enough to keep each boot quick.
const std::vector<std::string> kQuickBoot = {"--dwell", "1200000", "--t-state-limit", "40000000"};

// Stand-in ROM images, each holding the byte its cartridge's start-up code waits for.
class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    roms_.Write("ZX81_ROM.bin", MakeRomImage(3000, {{10, 0x40}}));
    roms_.Write("ZX80_ROM.bin", MakeRomImage(4095, {{10, 0xFD}}));  // free space from 4097
    roms_.Write("SPECTRUM_ROM.bin", MakeRomImage(14000, {{0, 0xF3}}));
  }
  std::string In(const std::string& name, const Bytes& bytes) {
    return inputs_.Write(name, bytes).string();
  }
  std::string Out(const std::string& name) const { return (outputs_ / name).string(); }
  std::vector<std::string> Args(const std::vector<std::string>& args) const {
    return Plus({"--rom-dir", roms_.path().string(), "--output-dir", outputs_.path().string()},
                args);
  }

  TempDir roms_, inputs_, outputs_;
};

TEST(RunCliTest, VersionHelpAndHost) {
  EXPECT_EQ(Cli({"--version"}).out, "quillfen-cli 1.01\n");
  const Result help = Cli({"-h"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: quillfen-cli [options] FILE...\n", 0), 0u);
  // Messages are one line after the file name; ROM images are found beside the executable.
  std::ostringstream err;
  CliHost host(err, "roms", "out", std::nullopt);
  host.BeginFile("games/game.p", Host::Answer::No);
  host.ShowError("two\r\n\r\nlines\n");
  EXPECT_EQ(err.str(), "games/game.p: two lines \n");
  const auto self = std::filesystem::read_symlink("/proc/self/exe");
  EXPECT_EQ(CliHost::ExecutableFolder(), self.parent_path());
}

TEST_F(CliTest, ReaderRefusalsExitOneWithTheReasonAfterTheFileName) {
  const std::string empty = In("EMPTY.P", {});
  const std::string missing = (inputs_ / "missing.o").string();
  const std::string other = In("GAME.SNA", MakeSnapshot(0x55));
  const Result result = Cli(Args({missing, empty, "-m", "zx81", other}));
  EXPECT_EQ(result.status, 1);
  // -m zx81 applies to every file: the ZX81 reader takes only ZX81 extensions.
  EXPECT_EQ(result.err, missing + ": not a ZX81 file (.P, .81 or .P81)\n" + empty +
                            ": the file is empty\n" + other +
                            ": not a ZX81 file (.P, .81 or .P81)\n");
}

TEST_F(CliTest, OutputGoesToTheNamedFileOrToAFolderCreatedWhenMissing) {
  const std::string game = In("game.p", MakeZX81Program(300));
  const std::string folder = Out("new/images");
  Result result = Cli({"--rom-dir", roms_.path().string(), "--output-dir", folder, game});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, game + " -> " + folder + "/GAME.bin\n");
  EXPECT_EQ(ReadFileBytes(folder + "/GAME.bin").size(), 32768u);
  result = Cli({"--rom-dir", roms_.path().string(), "-o", Out("cart.rom"), game});
  EXPECT_EQ(result.out, game + " -> " + Out("cart.rom") + "\n");
  EXPECT_EQ(ReadFileBytes(Out("cart.rom")).size(), 32768u);
  result = Cli({"--output-dir", game, game});  // a file where the folder should be
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err.rfind("quillfen-cli: cannot create the folder " + game, 0), 0u);
}

TEST_F(CliTest, InfoShowsWhatTheWindowShows) {
  const std::string o = In("b.o", MakeZX80Program(12203));
  const std::string sna = In("c.sna", MakeSnapshot(0));
  Result result = Cli({"--info", "--rom-dir", roms_.path().string(), o, sna});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            o +
                "\n  machine: ZX80\n  program length: 12203 bytes\n"
                "  RAM sizes offered: 16K (selected: 16K)\n  auto-run: yes\n"
                "  16K cartridge with auto-run: not possible (the program does not fit in 16K)\n"
                "  16K cartridge without auto-run: possible\n" +
                sna +
                "\n  machine: Spectrum\n  RAM sizes offered: 48K (selected: 48K)\n"
                "  registers: AF=0x3A44 BC=0x0605 DE=0x0403 HL=0x0201 IX=0x0807 IY=0x5C3A "
                "AF'=0x8877 BC'=0x6655 DE'=0x4433 HL'=0x2211 SP=0xFF00 PC=0x8123 (on the stack) "
                "I=0x3F R=0x2A\n  interrupts: mode 1, enabled\n  border: 5\n"
                "  unused area: 0xD002-0xE3DF (5086 bytes, page 2)\n");
  const std::string p = In("a.p", MakeZX81Program(1011, 0x407D));  // starts by itself
  const std::string bad = In("a \"b\"\\c.p", Bytes(10, 0));
  result = Cli({"--info", "--json", "--rom-dir", roms_.path().string(), p, bad,
                In("d.sna", MakeSnapshot(0x55))});
  EXPECT_EQ(result.status, 1);  // a refused file does not stop the others
  const std::string zx81 = R"(","machine":"ZX81","program_length":1011,"ram_offered":["4K","16K"],)"
                           R"("ram_selected":"16K","ram_selectable":true,"auto_run":true,)"
                           R"("auto_run_fixed":true})";
  const std::string refused =
      R"(/a \"b\"\\c.p","machine":"ZX81","error":"not a valid ZX81 program"})";
  EXPECT_EQ(result.out.rfind(R"({"file":")" + p + zx81 + "\n{\"file\":\"" +
                                 inputs_.path().string() + refused + "\n",
                             0),
            0u)
      << result.out;
  // d.sna has no unused area: null rather than left out.
  EXPECT_NE(result.out.find(R"(,"unused_area":null})"), std::string::npos);
}

TEST_F(CliTest, VerifyBootsTheImageOfEachMachine) {
  struct Case {
    std::string name;
    Bytes input;
    std::vector<std::string> choices;  // given again to --verify-only
    std::string size;
    std::size_t bytes;
  };
  const Case cases[] = {
      {"game.p", MakeZX81Program(300), {"--autorun", "-r", "4K"}, "32K", 32768},
      {"game.81", MakeZX81Program(20000), {}, "32K", 32768},  // with a tail
      {"game.o", MakeZX80Program(500), {}, "16K", 16384},
      {"game.80", MakeZX80Program(2000), {"--no-autorun", "-r", "3K"}, "32K", 32768},
      {"game.sna", MakeSnapshot(0x55), {}, "64K", 65536},
      {"game.sna", MakeSnapshot(0), {}, "48K", 65536},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + " " + c.size);
    const std::string input = In(c.name, c.input);
    const std::string image = Out("GAME.bin");
    const Result result =
        Cli(Args(Plus(Plus({"--verify", "-s", c.size, input}, c.choices), kQuickBoot)));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.rfind(input + " -> " + image + "\n" + image + ": boots, ", 0), 0u)
        << result.out;
    EXPECT_EQ(ReadFileBytes(image).size(), c.bytes);
    // Checked again from the file, the layout taken from the image.
    const Result again = Cli(
        Plus(Plus({"--verify-only", image, "--source", input, "--rom-dir", roms_.path().string()},
                  c.choices),
             kQuickBoot));
    EXPECT_EQ(again.status, 0) << again.err;
  }
  EXPECT_EQ(ReadFileBytes(Out("GAME.bin"))[0x8000], 0xFF);  // the 48K image leaves bank 2 empty
}

// The check can fail: a changed byte, or an image checked against other choices, is named.
TEST_F(CliTest, VerifyOnlyNamesWhatDiffers) {
  // Writes the image of `input`, flips bit 0 of the byte `flip` into `pattern`, and checks it.
  auto check = [&](const std::string& input, const Bytes& pattern, std::ptrdiff_t flip,
                   const std::vector<std::string>& choices) {
    EXPECT_EQ(Cli(Args({input})).status, 0);
    Bytes image = ReadFileBytes(Out("GAME.bin"));
    const auto at = std::search(image.begin(), image.end(), pattern.begin(), pattern.end());
    if (!pattern.empty() && at != image.end()) at[flip] ^= 0x01;
    const std::string bad = inputs_.Write("BAD.bin", image).string();
    const Result result =
        Cli(Plus(Plus({"--verify-only", bad, "--source", input, "--rom-dir", roms_.path().string()},
                      choices),
                 kQuickBoot));
    EXPECT_EQ(result.status, 1);
    return result.out + result.err.substr(bad.size());
  };
  const std::string sna = In("game.sna", MakeSnapshot(0x55));
  EXPECT_EQ(check(sna, {0xFD, 0x21, 0x3A, 0x5C}, 3, {}),  // LD IY,0x5C3A in the register block
            ": FAILED: boots, but IY is 0x5D3A, snapshot has 0x5C3A (8.4 M T-states)\n");
  // The system variables for 1K: ERR_NR, FLAGS, ERR_SP 0x43FC, RAMTOP 0x4400, MODE.
  const std::string p = In("game.p", MakeZX81Program(300));
  EXPECT_EQ(check(p, {0xFF, 0x80, 0xFC, 0x43, 0x00, 0x44, 0x00}, 6, {})
                .rfind(": FAILED: boots, but RAM differs at 1 address, first 0x4006 (is 0x01, "
                       "expected 0x00)",
                       0),
            0u);
  // Unchanged, but checked as if made for 16K: the high bytes of ERR_SP and RAMTOP differ.
  EXPECT_EQ(check(p, {}, 0, {"-r", "16K"})
                .rfind(": FAILED: boots, but RAM differs at 2 addresses, "
                       "first 0x4003 (is 0x43, expected 0x7F); SP is 0x43FC, expected 0x7FFC",
                       0),
            0u);
}

TEST_F(CliTest, VerifyFailuresAndUnusableInputs) {
  const std::string sna = In("game.sna", MakeSnapshot(0x55));
  Result result = Cli(Args({"--verify", "--t-state-limit", "1000", sna}));  // cut short
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err.rfind(Out("GAME.bin") + ": FAILED: does not boot: never reached", 0), 0u);
  const std::string image = In("GAME.bin", Bytes(16, 0xFF));
  const std::string gone = (inputs_ / "gone.p").string();
  result = Cli({"--verify-only", image, "--source", sna, "-r", "16K"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, sna +
                            ": -r does not apply to a Spectrum snapshot: it always runs in 48K\n"
                            "quillfen-cli: nothing was checked (see quillfen-cli --help)\n");
  result = Cli({"--verify-only", image, "--source", gone});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, gone + ": no such file\n");
  result = Cli({"--verify-only", Out("none.bin"), "--source", sna});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, Out("none.bin") + ": the image cannot be read\n");
}

}  // namespace
}  // namespace quillfen
