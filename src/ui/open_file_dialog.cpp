// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/open_file_dialog.h"

#include <QFileDialog>
#include <QRegularExpression>

#include "ui/busy_cursor.h"

namespace quillfen {

QStringList QtNameFilters(const QString& filter) {
  static const QRegularExpression kTrailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList name_filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    description.remove(kTrailingPatterns);  // Qt shows the patterns it is given in parentheses
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& pattern : QStringList(patterns)) {
      const QString lower = pattern.toLower();
      if (!patterns.contains(lower)) patterns.append(lower);
    }
    name_filters.append(description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                        QLatin1Char(')'));
  }
  return name_filters;
}

void ConfigureOpenFileDialog(QFileDialog& dialog, const DialogSettings& settings,
                             const QString& folder) {
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setWindowTitle(settings.title);
  dialog.setNameFilters(QtNameFilters(settings.filter));
  dialog.setDefaultSuffix(settings.default_extension);
  dialog.setDirectory(folder);
  dialog.selectFile(QString());
}

QString RunOpenFileDialog(QWidget* parent, const DialogSettings& settings) {
  QFileDialog dialog(parent);
  ConfigureOpenFileDialog(dialog, settings, settings.folder);
  // The busy cursor belongs to the window; the dialog shows the ordinary one.
  const CursorLift lift;
  if (dialog.exec() != QDialog::Accepted) return QString();
  return dialog.selectedFiles().value(0);
}

}  // namespace quillfen
