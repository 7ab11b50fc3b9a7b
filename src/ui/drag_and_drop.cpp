// Dropping one program or snapshot file on the window picks its machine and selects it, as if
// it had been chosen in the file dialog.

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

QString UI::DroppableFile(const QMimeData* data) const {
  // Not while a selection or a generation runs: both disable "...".
  if (data == nullptr || !cmdSelect->isEnabled() || !MachineType->isEnabled()) return QString();
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return QString();
  const QString path = urls.front().toLocalFile();
  if (!QFileInfo(path).isFile()) return QString();
  if (!MachineForFileName(QFile::encodeName(QFileInfo(path).fileName()).toStdString()))
    return QString();
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
  DropProgram(path);
}

void UI::DropProgram(const QString& path) {
  const auto machine =
      MachineForFileName(QFile::encodeName(QFileInfo(path).fileName()).toStdString());
  if (!machine) return;
  MachineType->setCurrentIndex(static_cast<int>(*machine));
  MachineType_Click();
  RunSelection([path] { return path; });
}

}  // namespace quillfen
