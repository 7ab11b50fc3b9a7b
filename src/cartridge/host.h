#pragma once

#include <filesystem>
#include <string>

namespace quillfen {

/// Everything a converter needs from outside the core. The window answers with Qt dialogs, the
/// command line with its options and stderr, the tests with scripted answers.
class Host {
 public:
  enum class Answer { Yes, No, Cancel };

  virtual ~Host() = default;

  /// Message box titled "Error" with an OK button only and no icon.
  virtual void ShowError(const std::string& text) = 0;

  /// Message box titled "Cartridge Size" with Yes, No and Cancel, the question icon and Yes as
  /// the default button. Closing the box answers Cancel.
  virtual Answer AskCartridgeSize(const std::string& text) = 0;

  /// The folder that holds ZX80_ROM.bin, ZX81_ROM.bin and SPECTRUM_ROM.bin: the executable's
  /// folder in the window.
  virtual std::filesystem::path RomFolder() const = 0;

  /// Where the cartridge image named `output_name` (GAME.bin) is written: the executable's folder
  /// in the window.
  virtual std::filesystem::path OutputPath(const std::string& output_name) const = 0;

  /// Lets the window process its pending events once (the snapshot decoder calls it after each
  /// expanded run so that the window stays responsive).
  virtual void YieldToWindow() = 0;

  /// The one call the snapshot loader makes on the window before a reader starts: a repaint.
  virtual void RepaintWindow() = 0;
};

}  // namespace quillfen
