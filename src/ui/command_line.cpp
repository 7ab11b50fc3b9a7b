// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/command_line.h"

#include <QCommandLineParser>

#include "inspection/machine.h"
#include "version.h"

namespace quillfen {
namespace {

// ".P, .81, .P81, .O, .80, .P80, .SNA, .Z80, .SZX": every extension the window reads.
QString ProgramFileExtensions() {
  QStringList extensions;
  for (const Machine machine : {Machine::ZX81, Machine::ZX80, Machine::Spectrum})
    for (const std::string_view extension : FactsOf(machine).extensions)
      if (!extension.empty())
        extensions.append(
            QLatin1Char('.') +
            QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size())));
  return extensions.join(QStringLiteral(", "));
}

struct WindowOptions {
  QCommandLineOption help;
  QCommandLineOption version;
};

WindowOptions DeclareOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral(
      "Turns a ZX80 or ZX81 program or a 48K ZX Spectrum snapshot into a ROM cartridge image for "
      "the ZX Interface 2."));
  parser.addPositionalArgument(
      QStringLiteral("file"),
      QStringLiteral("Program file to select at start (%1)").arg(ProgramFileExtensions()),
      QStringLiteral("[file]"));
  // Not addHelpOption: its --help-all promises Qt's own options, which only the window's
  // application knows, and this help is given before it exists.
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Displays this help."));
  parser.addOption(help);
  return {help, parser.addVersionOption()};
}

QString VersionText() {
  return QStringLiteral("quillfen %1\n").arg(QString::fromLatin1(kVersionText)) +
         QString::fromLatin1(kCopyrightAndLicenceText);
}

}  // namespace

std::optional<QString> CommandLineAnswer(const QStringList& arguments) {
  QCommandLineParser parser;
  const WindowOptions options = DeclareOptions(parser);
  (void)parser.parse(arguments);  // Qt's own options are not known here and are no error yet
  if (parser.isSet(options.help)) return parser.helpText();
  if (parser.isSet(options.version)) return VersionText();
  return std::nullopt;
}

std::optional<QString> WindowProgramFile(const QStringList& arguments, QString& error) {
  QCommandLineParser parser;
  (void)DeclareOptions(parser);
  if (!parser.parse(arguments)) {
    error = parser.errorText();
    return std::nullopt;
  }
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    error =
        QStringLiteral("Only one program file can be selected; %1 were named.").arg(files.size());
    return std::nullopt;
  }
  return files.value(0);
}

}  // namespace quillfen
