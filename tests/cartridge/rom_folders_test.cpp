// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/rom_folders.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace quillfen {
namespace {

using Folders = std::vector<std::filesystem::path>;

TEST(RomSearchFoldersTest, ExecutableFolderThenDataHomeThenDataDirs) {
  const Folders defaults = {"/opt/q/bin", "/home/u/.local/share/quillfen",
                            "/usr/local/share/quillfen", "/usr/share/quillfen"};
  // Columns: $HOME, $XDG_DATA_HOME, $XDG_DATA_DIRS; the folders searched.
  const std::pair<DataFolderSettings, Folders> cases[] = {
      {{"/home/u", "", ""}, defaults},
      {{"/home/u", "/data", "/a:/b/"},
       {"/opt/q/bin", "/data/quillfen", "/a/quillfen", "/b/quillfen"}},
      // Relative paths are ignored; a list of nothing but relative ones counts as unset.
      {{"/home/u", "data", "a:/b::c"},
       {"/opt/q/bin", "/home/u/.local/share/quillfen", "/b/quillfen"}},
      {{"/home/u", "", "a:b"}, defaults},
      // No home: no data home folder.
      {{"", "", "/x"}, {"/opt/q/bin", "/x/quillfen"}},
      // A folder named twice, however it is spelt, is searched once.
      {{"/home/u", "/usr/share/", "/usr//share:/opt/q/bin/..:/usr/share"},
       {"/opt/q/bin", "/usr/share/quillfen", "/opt/q/quillfen"}},
  };
  for (const auto& [settings, folders] : cases) {
    EXPECT_EQ(RomSearchFolders("/opt/q/bin/", settings), folders)
        << settings.home << " " << settings.xdg_data_home << " " << settings.xdg_data_dirs;
  }
}

TEST(FindRomFileTest, TakesTheFirstFolderHoldingTheFileAsARegularFile) {
  testing::TempDir first, second, third;
  std::filesystem::create_directory(first / "ZX81_ROM.bin");  // a folder is not a ROM image
  second.Write("ZX81_ROM.bin", {1});
  third.Write("ZX81_ROM.bin", {2});
  std::filesystem::create_symlink(second / "ZX81_ROM.bin", first / "ZX80_ROM.bin");
  const Folders folders = {first.path(), "/nonexistent", second.path(), third.path()};
  EXPECT_EQ(FindRomFile(folders, "ZX81_ROM.bin"), second / "ZX81_ROM.bin");
  EXPECT_EQ(FindRomFile(folders, "ZX80_ROM.bin"), first / "ZX80_ROM.bin");  // a link counts
  EXPECT_EQ(FindRomFile(folders, "SPECTRUM_ROM.bin"), std::nullopt);
  const std::filesystem::path relative =
      second.path().lexically_relative(std::filesystem::current_path());
  EXPECT_EQ(FindRomFile({relative}, "ZX81_ROM.bin"),
            std::filesystem::current_path() / relative / "ZX81_ROM.bin");  // named in full
}

}  // namespace
}  // namespace quillfen
