// SPDX-License-Identifier: GPL-3.0-or-later
// Dropping one program or snapshot file on the window, or naming it on the command line, picks
// its machine and selects it, as if it had been chosen in the file dialog.

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include "ui/main_window.h"

namespace quillfen {
namespace {

std::optional<Machine> MachineForPath(const QString& path) {
  return MachineForFileName(QFile::encodeName(QFileInfo(path).fileName()).toStdString());
}

}  // namespace

QString UI::DroppableFile(const QMimeData* data) const {
  // Not while a selection or a generation runs: both disable "...".
  if (data == nullptr || !cmdSelect->isEnabled() || !MachineType->isEnabled()) return QString();
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return QString();
  const QString path = urls.front().toLocalFile();
  if (!QFileInfo(path).isFile()) return QString();
  if (!MachineForPath(path)) return QString();
  return path;
}

void UI::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppableFile(event->mimeData()).isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

void UI::dropEvent(QDropEvent* event) {
  const QString path = DroppableFile(event->mimeData());
  if (path.isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  OpenProgramFile(path);
}

void UI::OpenProgramFile(const QString& path) {
  if (const std::optional<Machine> machine = MachineForPath(path)) {
    MachineType->setCurrentIndex(static_cast<int>(*machine));
    MachineType_Click();
  }
  // Absolute, so that the folder that may take the image is known whatever the current folder.
  const QString absolute = QFileInfo(path).absoluteFilePath();
  RunSelection([absolute] { return absolute; });
}

}  // namespace quillfen
