// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quillfen {

/// Everything a converter needs from outside the core. The window answers with Qt dialogs, the
/// command line with its options and stderr, the tests with scripted answers.
class Host {
 public:
  enum class Answer { Yes, No, Cancel };

  virtual ~Host() = default;

  /// Message box titled "Error" with an OK button only and no icon. `detail`, when not empty,
  /// says why (the folders searched, the size found, the system's reason a write failed): the
  /// window shows it as the box's detailed text.
  void ShowError(const std::string& text, const std::string& detail = {}) {
    ShowErrorBox(text, detail);
  }

  /// ShowError for a ROM image file that none of `searched` holds; the detail lists them. The
  /// command line overrides it to name its --rom-dir option too.
  virtual void ShowRomNotFound(const std::string& text, const std::string& file_name,
                               const std::vector<std::filesystem::path>& searched);

  /// Message box titled "Cartridge Size" with Yes, No and Cancel, the question icon and Yes as
  /// the default button. Closing the box answers Cancel.
  virtual Answer AskCartridgeSize(const std::string& text) = 0;

  /// The folders searched, in order, for ZX80_ROM.bin, ZX81_ROM.bin and SPECTRUM_ROM.bin; the
  /// first folder holding the file is the one read (see RomSearchFolders).
  virtual std::vector<std::filesystem::path> RomFolders() const = 0;

  /// Where the cartridge image named `output_name` (GAME.bin) is written: the executable's folder
  /// in the window.
  virtual std::filesystem::path OutputPath(const std::string& output_name) const = 0;

  /// Lets the window process its pending events once (the snapshot decoder calls it after each
  /// expanded run so that the window stays responsive).
  virtual void YieldToWindow() = 0;

  /// The one call the snapshot loader makes on the window before a reader starts: a repaint.
  virtual void RepaintWindow() = 0;

 private:
  /// Shows one ShowError message.
  virtual void ShowErrorBox(const std::string& text, const std::string& detail) = 0;
};

}  // namespace quillfen
