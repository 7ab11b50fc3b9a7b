// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt_host.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>

#include "cartridge/rom_folders.h"
#include "ui/busy_cursor.h"
#include "ui/window_folders.h"

namespace quillfen {
namespace {

std::filesystem::path ExecutableFolder() {
  return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

}  // namespace

void QtHost::ShowErrorBox(const std::string& text, const std::string& detail) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"), QString::fromStdString(text),
                  QMessageBox::Ok, window_);
  if (!detail.empty()) box.setDetailedText(QString::fromStdString(detail));
  const CursorLift lift;  // the busy cursor is the window's, not the box's
  box.exec();
}

Host::Answer QtHost::AskCartridgeSize(const std::string& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Cartridge Size"),
                  QString::fromStdString(text),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, window_);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);  // closing the box answers Cancel
  const CursorLift lift;
  box.exec();
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

std::vector<std::filesystem::path> QtHost::RomFolders() const {
  return RomSearchFolders(ExecutableFolder(), DataFolderSettingsOfProcess());
}

std::filesystem::path QtHost::OutputPath(const std::string& output_name) const {
  return ImageFolder(ExecutableFolder(), program_file_) / output_name;
}

void QtHost::YieldToWindow() { QCoreApplication::processEvents(); }

void QtHost::RepaintWindow() {
  if (window_) window_->repaint();
}

}  // namespace quillfen
