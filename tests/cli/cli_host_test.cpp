#include "cli/cli_host.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

namespace quillfen {
namespace {

TEST(CliHostTest, ErrorsAreOneLineAfterTheFileName) {
  std::ostringstream err;
  CliHost host(err, "roms", "out", std::nullopt);
  host.BeginFile("games/game.p", Host::Answer::No);
  EXPECT_FALSE(host.ErrorShown());
  host.ShowError("Failed to read ZX81 ROM file (ZX81_ROM.bin)");
  host.ShowError("two\r\n\r\nlines\n");
  EXPECT_TRUE(host.ErrorShown());
  EXPECT_EQ(err.str(),
            "games/game.p: Failed to read ZX81 ROM file (ZX81_ROM.bin)\n"
            "games/game.p: two lines \n");
  host.BeginFile("next.p", Host::Answer::No);
  EXPECT_FALSE(host.ErrorShown());
}

TEST(CliHostTest, AnswersTheSizeQuestionAsToldForEachFile) {
  std::ostringstream err;
  CliHost host(err, "roms", "out", std::nullopt);
  EXPECT_EQ(host.AskCartridgeSize("Generate a 16K instead of a 32K ROM cartridge?"),
            Host::Answer::No);
  host.BeginFile("a.o", Host::Answer::Yes);
  EXPECT_EQ(host.AskCartridgeSize("Generate a 16K instead of a 32K ROM cartridge?"),
            Host::Answer::Yes);
  host.BeginFile("b.o", Host::Answer::No);
  EXPECT_EQ(host.AskCartridgeSize("Generate a 16K instead of a 32K ROM cartridge?"),
            Host::Answer::No);
  EXPECT_EQ(err.str(), "");  // the question itself is not shown
}

TEST(CliHostTest, FoldersAndOutputPath) {
  std::ostringstream err;
  CliHost in_folder(err, "roms", "images", std::nullopt);
  EXPECT_EQ(in_folder.RomFolder(), std::filesystem::path("roms"));
  EXPECT_EQ(in_folder.OutputPath("GAME.bin"), std::filesystem::path("images/GAME.bin"));
  CliHost to_file(err, "roms", "images", std::filesystem::path("x/my.rom"));
  EXPECT_EQ(to_file.OutputPath("GAME.bin"), std::filesystem::path("x/my.rom"));
}

TEST(CliHostTest, ExecutableFolderIsTheFolderOfTheRunningProgram) {
  char buffer[4096];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  ASSERT_GT(length, 0);
  EXPECT_EQ(
      CliHost::ExecutableFolder(),
      std::filesystem::path(std::string(buffer, static_cast<std::size_t>(length))).parent_path());
}

}  // namespace
}  // namespace quillfen
