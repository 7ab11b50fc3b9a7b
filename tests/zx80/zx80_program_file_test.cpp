#include <gtest/gtest.h>

#include "cartridge/cartridge_maker.h"
#include "cartridge/error.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/zx80_files.h"
#include "zx80/zx80_processing.h"

namespace quillfen {
namespace {

using testing::MakeZX80Program;
using testing::MakeZX80ProgramWithELine;

class ZX80ProgramFileTest : public ::testing::Test {
 protected:
  testing::TempDir dir_;
  testing::ScriptedHost host_{dir_.path()};
  CartridgeMaker maker_;
  ZX80Processing zx80_{host_, maker_};
};

TEST_F(ZX80ProgramFileTest, TheThreeExtensionsReadAlikeInAnyCase) {
  const Bytes file = MakeZX80Program(500);
  for (const char* name : {"GAME.O", "GAME.80", "GAME.P80", "game.o", "Game.p80", "a.b.80"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(zx80_.LoadZX80Program(dir_.Write(name, file)));
    EXPECT_EQ(zx80_.ZX80Program(), file);  // no prefix is removed
    EXPECT_EQ(zx80_.ZX80ProgramLength(), 500);
  }
}

TEST_F(ZX80ProgramFileTest, RefusesOtherExtensionsAndMissingFilesWithoutTouchingTheProgram) {
  const Bytes loaded = MakeZX80Program(300);
  ASSERT_TRUE(zx80_.LoadZX80Program(dir_.Write("KEEP.O", loaded)));
  for (const char* name : {"GAME.P", "GAME.81", "GAME.P81", "GAME.O.SNA", "GAME", "O"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(zx80_.LoadZX80Program(dir_.Write(name, MakeZX80Program(200))));
  }
  EXPECT_FALSE(zx80_.LoadZX80Program(dir_ / "MISSING.O"));
  EXPECT_EQ(zx80_.ZX80Program(), loaded);
}

TEST_F(ZX80ProgramFileTest, BytesBeyondELineAreDropped) {
  const Bytes file = MakeZX80Program(1000, 100);
  ASSERT_TRUE(zx80_.LoadZX80Program(dir_.Write("GAME.O", file)));
  EXPECT_EQ(zx80_.ZX80Program(), Bytes(file.begin(), file.begin() + 1000));
  EXPECT_EQ(zx80_.ZX80ProgramLength(), 1000);
}

TEST_F(ZX80ProgramFileTest, NeedsTheSystemVariablesAndTheDeclaredLength) {
  // 39 bytes cannot hold the system variables, whatever E_LINE says.
  EXPECT_FALSE(zx80_.LoadZX80Program(dir_.Write("A.O", MakeZX80ProgramWithELine(0x4027, 39))));
  // 40 bytes ending exactly at E_LINE 0x4028.
  ASSERT_TRUE(zx80_.LoadZX80Program(dir_.Write("B.O", MakeZX80ProgramWithELine(0x4028, 40))));
  EXPECT_EQ(zx80_.ZX80ProgramLength(), 40);
  // One byte short of E_LINE.
  EXPECT_FALSE(zx80_.LoadZX80Program(dir_.Write("C.O", MakeZX80ProgramWithELine(0x4029, 40))));
  EXPECT_FALSE(zx80_.LoadZX80Program(dir_.Write("D.O", Bytes{})));
}

TEST_F(ZX80ProgramFileTest, ELineMustFitSixteenSignedBits) {
  ASSERT_TRUE(zx80_.LoadZX80Program(dir_.Write("A.O", MakeZX80ProgramWithELine(0x7FFF, 16383))));
  EXPECT_EQ(zx80_.ZX80ProgramLength(), 16383);
  EXPECT_EQ(zx80_.ZX80Program().size(), 16383u);

  // 0x8000 is refused even when the file is long enough; the untrimmed image stays behind and
  // asking its length raises the error to the caller.
  EXPECT_FALSE(zx80_.LoadZX80Program(dir_.Write("B.O", MakeZX80ProgramWithELine(0x8000, 20000))));
  EXPECT_THROW((void)zx80_.ZX80ProgramLength(), Error);
  EXPECT_FALSE(zx80_.LoadZX80Program(dir_.Write("C.O", MakeZX80ProgramWithELine(0xFFFF, 40))));
}

TEST_F(ZX80ProgramFileTest, ELineBelowTheSystemVariables) {
  // Below 0x4000 nothing can be trimmed: refused.
  EXPECT_FALSE(zx80_.LoadZX80Program(dir_.Write("A.O", MakeZX80ProgramWithELine(0x3FFF, 100))));
  // 0x4000 to 0x4027 loads and is cut short, but the program counts as unusable (length 0).
  ASSERT_TRUE(zx80_.LoadZX80Program(dir_.Write("B.O", MakeZX80ProgramWithELine(0x4010, 100))));
  EXPECT_EQ(zx80_.ZX80Program().size(), 16u);
  EXPECT_EQ(zx80_.ZX80ProgramLength(), 0);
}

}  // namespace
}  // namespace quillfen
