#include <gtest/gtest.h>

#include <string>

#include "cartridge/cartridge_maker.h"
#include "cartridge/error.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/zx81_files.h"
#include "zx81/zx81_processing.h"

namespace quillfen {
namespace {

using testing::MakeZX81P81File;
using testing::MakeZX81Program;
using testing::ScriptedHost;
using testing::StoreWord;
using testing::TempDir;

class ZX81ProgramTest : public ::testing::Test {
 protected:
  bool Load(const std::string& name, const Bytes& content) {
    return zx81_.LoadZX81Program(folder_.Write(name, content));
  }

  TempDir folder_;
  ScriptedHost host_{folder_.path()};
  CartridgeMaker maker_;
  ZX81Processing zx81_{host_, maker_};
};

TEST_F(ZX81ProgramTest, LoadsEveryZX81ExtensionInEitherCase) {
  const Bytes image = MakeZX81Program(300);
  const Bytes named = MakeZX81P81File({0x2C, 0x26, 0xB2}, image);
  for (const auto& [name, file] : {std::pair{"GAME.P", image},
                                   {"game.p", image},
                                   {"Game.81", image},
                                   {"GAME.P81", named},
                                   {"game.p81", named}}) {
    EXPECT_TRUE(Load(name, file)) << name;
    EXPECT_EQ(zx81_.ZX81Program(), image) << name;
    EXPECT_EQ(zx81_.ZX81ProgramLength(), 300) << name;
  }
}

TEST_F(ZX81ProgramTest, RefusesOtherExtensionsWithoutTouchingTheImage) {
  ASSERT_TRUE(Load("FIRST.P", MakeZX81Program(200)));
  for (const std::string name : {"GAME.P82", "GAME", "GAME.O", "GAME.P.TXT", "GAME."})
    EXPECT_FALSE(Load(name, MakeZX81Program(300))) << name;
  EXPECT_EQ(zx81_.ZX81Program(), MakeZX81Program(200));
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(ZX81ProgramTest, RefusesMissingEmptyAndFolderPaths) {
  EXPECT_FALSE(zx81_.LoadZX81Program(folder_ / "MISSING.P"));
  EXPECT_FALSE(Load("EMPTY.P", {}));
  std::filesystem::create_directory(folder_ / "FOLDER.P");
  EXPECT_FALSE(zx81_.LoadZX81Program(folder_ / "FOLDER.P"));
}

TEST_F(ZX81ProgramTest, SkipsTheNameOfAP81FileOnly) {
  const Bytes image = MakeZX81Program(200);
  // A three-character name whose last byte has bit 7 set: 0x2C 0x26 0xA6.
  ASSERT_TRUE(Load("GAME.P81", MakeZX81P81File({0x2C, 0x26, 0xA6}, image)));
  EXPECT_EQ(zx81_.ZX81Program(), image);

  // The same image in a .P file loads as it is, even when its first byte has bit 7 set.
  Bytes marked = image;
  marked[0] = 0x80;
  ASSERT_TRUE(Load("GAME.P", marked));
  EXPECT_EQ(zx81_.ZX81Program(), marked);

  // In a .P81 file without a name, that first byte is taken as the name: the image is short.
  EXPECT_FALSE(Load("GAME.P81", image));
}

TEST_F(ZX81ProgramTest, RefusesAP81FileWhoseNameNeverEnds) {
  EXPECT_FALSE(Load("GAME.P81", Bytes(500, 0x26)));  // no byte of 128 or more at all
  // A name of 32767 bytes is the longest accepted; one byte more is refused.
  Bytes longest(32766, 0x26);
  longest.push_back(0xA6);
  EXPECT_TRUE(Load("LONG.P81", MakeZX81P81File(longest, MakeZX81Program(200))));
  Bytes too_long(32767, 0x26);
  too_long.push_back(0xA6);
  EXPECT_FALSE(Load("LONG.P81", MakeZX81P81File(too_long, MakeZX81Program(200))));
}

TEST_F(ZX81ProgramTest, TrimsBytesBeyondELine) {
  Bytes file = MakeZX81Program(400);
  const Bytes image = file;
  file.insert(file.end(), 200, 0x55);
  ASSERT_TRUE(Load("GAME.P", file));
  EXPECT_EQ(zx81_.ZX81Program(), image);
  EXPECT_EQ(zx81_.ZX81ProgramLength(), 400);
}

TEST_F(ZX81ProgramTest, HoldsTheSystemVariablesAndTheDeclaredLength) {
  EXPECT_FALSE(Load("GAME.P", MakeZX81Program(115)));  // one byte short of the system variables
  EXPECT_TRUE(Load("GAME.P", MakeZX81Program(116)));   // an empty program area
  EXPECT_EQ(zx81_.ZX81ProgramLength(), 116);

  Bytes short_of_e_line = MakeZX81Program(300);
  StoreWord(short_of_e_line, 11, 0x4009 + 301);  // E_LINE one byte beyond the file
  EXPECT_FALSE(Load("GAME.P", short_of_e_line));
}

TEST_F(ZX81ProgramTest, ELineWithinTheSystemVariablesGivesAnUnusableProgram) {
  Bytes image = MakeZX81Program(300);
  StoreWord(image, 11, 0x4009 + 115);  // E_LINE = 0x407C
  ASSERT_TRUE(Load("GAME.P", image));
  EXPECT_EQ(zx81_.ZX81Program().size(), 115u);
  EXPECT_EQ(zx81_.ZX81ProgramLength(), 0);

  StoreWord(image, 11, 0x4009);  // a declared length of 0: nothing is left, not even NXTLIN
  ASSERT_TRUE(Load("GAME.P", image));
  EXPECT_EQ(zx81_.ZX81ProgramLength(), 0);
  EXPECT_THROW((void)zx81_.ZX81ProgramAutoRuns(), Error);
}

TEST_F(ZX81ProgramTest, RefusesELineBelowTheImage) {
  Bytes image = MakeZX81Program(300);
  StoreWord(image, 11, 0x4008);
  EXPECT_FALSE(Load("GAME.P", image));
  StoreWord(image, 11, 0x0000);
  EXPECT_FALSE(Load("GAME.P", image));
}

TEST_F(ZX81ProgramTest, AutoRunsWhenNxtLinAddressesALineWaitingToRun) {
  struct Case {
    std::uint16_t nxtlin;
    bool auto_runs;
    const char* what;
  };
  Bytes image = MakeZX81Program(300);
  image[116] = 0x00;  // first line number, high byte
  image[200] = 0x76;  // a newline, as at the start of the display file
  for (const Case& c :
       {Case{0x0000, false, "no line to run"}, Case{0x407D, true, "the first program line"},
        Case{0x4009 + 200, false, "a newline byte"}, Case{0x4009 + 201, true, "the byte behind it"},
        Case{0x4009 + 300, true, "just beyond the image"},
        Case{0xFFFF, true, "far beyond the image"}}) {
    StoreWord(image, 32, c.nxtlin);
    ASSERT_TRUE(Load("GAME.P", image)) << c.what;
    EXPECT_EQ(zx81_.ZX81ProgramAutoRuns(), c.auto_runs) << c.what;
  }
}

TEST_F(ZX81ProgramTest, NxtLinIntoTheSystemVariablesAndBelowIsAnError) {
  for (const std::uint16_t nxtlin : {0x0001, 0x4000, 0x4008}) {
    ASSERT_TRUE(Load("GAME.P", MakeZX81Program(300, nxtlin)));
    EXPECT_THROW((void)zx81_.ZX81ProgramAutoRuns(), Error) << nxtlin;
  }
  ASSERT_TRUE(Load("GAME.P", MakeZX81Program(300, 0x4009)));  // VERSN, 0x00: a line
  EXPECT_TRUE(zx81_.ZX81ProgramAutoRuns());
}

}  // namespace
}  // namespace quillfen
