// SPDX-License-Identifier: GPL-3.0-or-later
// Tapes given to quillfen-cli: loaded with the test ROM as SPECTRUM_ROM.bin, converted to the
// image the captured state gives as a Z80 snapshot, proved, shown by --info and refused with
// their reason.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "support/tape_files.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using testing::CodeHeader;
using testing::kProgramStart;
using testing::ReadFileBytes;
using testing::TapeData;
using testing::TempDir;

struct Result {
  int status;
  std::string out, err;
};

Result Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

const testing::TestProgram& Program() {
  static const testing::TestProgram program = testing::MakeTestProgram({});
  return program;
}

// The program's header and data blocks, as a TAP file and as a TZX file.
std::vector<std::pair<std::string, Bytes>> Tapes() {
  const std::vector<Bytes> blocks = {
      TapeData(0x00, CodeHeader("rocket", static_cast<std::uint16_t>(Program().code.size()),
                                kProgramStart)),
      TapeData(0xFF, Program().code)};
  return {{"GAME.TAP", testing::MakeTapFile(blocks)},
          {"GAME.TZX", testing::MakeTzxFile({testing::TzxStandardBlock(blocks[0]),
                                             testing::TzxStandardBlock(blocks[1])})}};
}

class TapeInputTest : public ::testing::Test {
 protected:
  TapeInputTest() { roms_.Write("SPECTRUM_ROM.bin", testing::TheTestRom().image); }
  std::string Roms() const { return roms_.path().string(); }

  TempDir roms_, files_, out_;
};

// The tape's image is byte for byte the image of its captured state saved as a Z80 snapshot,
// and it boots and runs as that state does.
TEST_F(TapeInputTest, ConvertsToTheImageOfTheCapturedStateAndProvesIt) {
  for (const auto& [name, file] : Tapes()) {
    SCOPED_TRACE(name);
    const std::string path = files_.Write(name, file).string();
    const std::string saved = (out_ / "CAPTURED.z80").string();
    const Result run =
        Cli({path, "--rom-dir", Roms(), "--output-dir", out_.path().string(), "--settle", "1",
             "--save-snapshot", saved, "--verify", "--run-frames", "20"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(path + " -> " + saved + " (captured state)"), std::string::npos);
    EXPECT_NE(run.out.find("GAME.bin: boots"), std::string::npos) << run.out;
    // The image proved later against its tape, loaded with the same settling time.
    const Result later = Cli({"--verify-only", (out_ / "GAME.bin").string(), "--source", path,
                              "--rom-dir", Roms(), "--settle", "1", "--run-frames", "20"});
    EXPECT_EQ(later.status, 0) << later.err;

    TempDir again;
    ASSERT_EQ(Cli({saved, "--rom-dir", Roms(), "--output-dir", again.path().string()}).status, 0);
    const Bytes image = ReadFileBytes(out_ / "GAME.bin");
    EXPECT_EQ(image.size(), 65536u);
    EXPECT_EQ(image, ReadFileBytes(again / "CAPTURED.bin"));
  }
}

TEST_F(TapeInputTest, InfoShowsTheBlocksAndWhereTheProgramWasCaptured) {
  const std::string path = files_.Write("GAME.TAP", Tapes()[0].second).string();
  const Result text = Cli({"--info", "--rom-dir", Roms(), path});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("  tape: 2 blocks, captured at PC=0x"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  block 1: Standard Speed Data \"rocket\"\n"), std::string::npos);

  // At the stop address the capture comes there, not after settling.
  const std::string loop = std::to_string(Program().loop);
  const Result json = Cli({"--info", "--json", "--rom-dir", Roms(), "--stop-at", loop, path});
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
TEST_F(TapeInputTest, RefusedTapesSayWhy) {
  TempDir no_roms;
  // Columns: file name, content, ROM folder, the message's start, the refusal kind.
  const std::tuple<std::string, Bytes, std::string, std::string, std::string> cases[] = {
      {"GAME.TAP", Tapes()[0].second, no_roms.path().string(),
       "a tape is loaded on an emulated Spectrum, which needs SPECTRUM_ROM.bin; no ROM folder "
       "holds it (searched: " +
           no_roms.path().string(),
       "no_spectrum_rom"},
      {"NOISE.TZX", Bytes{'n', 'o', 'i', 's', 'e'}, Roms(), "libspectrum", "unreadable_format"},
      {"EMPTY.TAP", Bytes{}, Roms(), "the file is empty", "empty_file"},
  };
  for (const auto& [name, file, rom_dir, reason, kind] : cases) {
    const std::string path = files_.Write(name, file).string();
    const Result text = Cli({path, "--rom-dir", rom_dir, "--output-dir", out_.path().string()});
    EXPECT_EQ(text.status, 1) << name;
    EXPECT_EQ(text.err.rfind(path + ": " + reason, 0), 0u) << text.err;
    const Result json = Cli({"--info", "--json", "--rom-dir", rom_dir, path});
    EXPECT_NE(json.out.find("\"refusal_kind\":\"" + kind + "\""), std::string::npos) << json.out;
  }
  EXPECT_FALSE(std::filesystem::exists(out_ / "GAME.bin"));
}

}  // namespace
}  // namespace quillfen
