#pragma once

#include <QPointer>
#include <QWidget>

#include "cartridge/host.h"

namespace quillfen {

/// The converters' outside world in the window: Qt message boxes over the window, the ROM
/// folders (the executable's folder first), the executable's folder for cartridge images, and
/// Qt's event loop.
class QtHost : public Host {
 public:
  /// The window the message boxes belong to and that RepaintWindow repaints.
  void SetWindow(QWidget* window) { window_ = window; }

  Answer AskCartridgeSize(const std::string& text) override;
  std::vector<std::filesystem::path> RomFolders() const override;
  std::filesystem::path OutputPath(const std::string& output_name) const override;
  void YieldToWindow() override;
  void RepaintWindow() override;

 private:
  void ShowErrorBox(const std::string& text, const std::string& detail) override;

  QPointer<QWidget> window_;
};

}  // namespace quillfen
