// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <string_view>

class QFileDialog;
class QWidget;

namespace quillfen {

/// The settings of the open-file dialog for the selected machine.
struct DialogSettings {
  QString title;
  QString default_extension;  // "P81", added when the typed name has none
  QString filter;             // "description|patterns|...", patterns separated by ";"
  QString folder;             // where it opens; set just before it runs
};

/// The filter text as Qt name filters, one per description: "All ZX81 Programs (*.P81;*.P;*.81)"
/// with "*.P81;*.P;*.81" becomes "All ZX81 Programs (*.P81 *.P *.81 *.p81 *.p)". The lower-case
/// patterns are added because file names on this system distinguish case.
QStringList QtNameFilters(const QString& filter);

/// A machine fact's text (plain ASCII) as a QString.
inline QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

/// Sets `dialog` up to pick one existing file: the title, filter and default extension of
/// `settings`, opening in `folder` with an empty name field, in Qt's own (not the desktop's)
/// dialog so that it behaves the same everywhere.
void ConfigureOpenFileDialog(QFileDialog& dialog, const DialogSettings& settings,
                             const QString& folder);

/// Runs the dialog modally over `parent`, opening in the folder of `settings`. The chosen path
/// exactly as chosen, or an empty string when the user cancelled.
QString RunOpenFileDialog(QWidget* parent, const DialogSettings& settings);

}  // namespace quillfen
