// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace quillfen {

/// The text `quillfen --help` or `quillfen --version` (also -h, -v) prints on stdout, when
/// `arguments` (the program's name first) ask for one. Other arguments, Qt's own options such
/// as -platform among them, are left for WindowProgramFile. Needs a QCoreApplication.
std::optional<QString> CommandLineAnswer(const QStringList& arguments);

/// The program file that `arguments` name once Qt has taken its own options out: an empty
/// string when none is named; nothing, with `error` set to the line to print, for an unknown
/// option or more than one file.
std::optional<QString> WindowProgramFile(const QStringList& arguments, QString& error);

}  // namespace quillfen
