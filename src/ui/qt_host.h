// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include "cartridge/host.h"

namespace quillfen {

/// The converters' outside world in the window: Qt message boxes over the window, the ROM
/// folders (the executable's folder first), the image folder of ImageFolder for cartridge images,
/// and Qt's event loop.
class QtHost : public Host {
 public:
  /// The window the message boxes belong to and that RepaintWindow repaints.
  void SetWindow(QWidget* window) { window_ = window; }
  /// The program file chosen in the window, whose folder takes the cartridge images when the
  /// executable's folder cannot.
  void SetProgramFile(std::filesystem::path path) { program_file_ = std::move(path); }
  const std::filesystem::path& ProgramFile() const { return program_file_; }

  Answer AskCartridgeSize(const std::string& text) override;
  std::vector<std::filesystem::path> RomFolders() const override;
  std::filesystem::path OutputPath(const std::string& output_name) const override;
  void YieldToWindow() override;
  void RepaintWindow() override;

 private:
  void ShowErrorBox(const std::string& text, const std::string& detail) override;

  QPointer<QWidget> window_;
  std::filesystem::path program_file_;
};

}  // namespace quillfen
