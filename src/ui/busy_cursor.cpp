// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/busy_cursor.h"

#include <QApplication>

namespace quillfen {

void BusyCursor::SetBusy() {
  if (busy_) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  busy_ = true;
}

void BusyCursor::SetDefault() {
  if (!busy_) return;
  QApplication::restoreOverrideCursor();
  busy_ = false;
}

CursorLift::CursorLift() {
  while (const QCursor* cursor = QApplication::overrideCursor()) {
    lifted_.push_back(*cursor);
    QApplication::restoreOverrideCursor();
  }
}

CursorLift::~CursorLift() {
  for (auto cursor = lifted_.rbegin(); cursor != lifted_.rend(); ++cursor)
    QApplication::setOverrideCursor(*cursor);
}

}  // namespace quillfen
