// SPDX-License-Identifier: GPL-3.0-or-later
// The window's command line: --help and --version answered before any window, one program
// file to select, usage errors.

#include "ui/command_line.h"

#include <QCoreApplication>
#include <QTest>
#include <optional>

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void helpAndVersionAnswered() {
    for (const QStringList& arguments :
         {QStringList{"quillfen", "--version"}, QStringList{"quillfen", "-v", "GAME.P"},
          // Qt's own options are still among the arguments at this point.
          QStringList{"quillfen", "-platform", "offscreen", "--version"}}) {
      const std::optional<QString> answer = quillfen::CommandLineAnswer(arguments);
      QVERIFY2(answer.has_value(), qPrintable(arguments.join(' ')));
      // The licence lines are the command line's too, checked word for word in tests/cli.
      QVERIFY(answer->startsWith("quillfen 1.01\nCopyright (C) 2026 the Quillfen developers\n"));
      QVERIFY(answer->endsWith("\nThere is NO WARRANTY, to the extent permitted by law.\n"));
    }
    for (const char* option : {"--help", "-h"}) {
      const std::optional<QString> help = quillfen::CommandLineAnswer({"quillfen", option});
      QVERIFY2(help && help->startsWith("Usage: ") && help->contains("[file]") &&
                   help->contains("--version"),
               option);
    }
    for (const QStringList& arguments :
         {QStringList{"quillfen"}, QStringList{"quillfen", "GAME.P"},
          QStringList{"quillfen", "-platform", "offscreen", "GAME.P"},
          QStringList{"quillfen", "--help-all"}})
      QVERIFY(!quillfen::CommandLineAnswer(arguments));
  }

  void programFileOrUsageError() {
    for (const auto& [arguments, file, error] :
         {std::tuple{QStringList{"quillfen"}, QString(""), QString()},
          std::tuple{QStringList{"quillfen", "/home/me/GAME.P"}, QString("/home/me/GAME.P"),
                     QString()},
          std::tuple{QStringList{"quillfen", "--", "-odd name.p"}, QString("-odd name.p"),
                     QString()},
          std::tuple{QStringList{"quillfen", "A.P", "B.P"}, QString(),
                     QString("Only one program file can be selected; 2 were named.")},
          std::tuple{QStringList{"quillfen", "--frobnicate", "A.P"}, QString(),
                     QString("Unknown option 'frobnicate'.")}}) {
      QString reported;
      const std::optional<QString> chosen = quillfen::WindowProgramFile(arguments, reported);
      QCOMPARE(chosen.value_or(QString()), file);
      QCOMPARE(chosen.has_value(), error.isNull());
      QCOMPARE(reported, error);
    }
  }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
