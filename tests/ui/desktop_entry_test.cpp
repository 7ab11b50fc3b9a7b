// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop entry and its file types: every extension the file dialog offers is known to the
// desktop under a type the entry names, so that a file manager opens it with `quillfen FILE`.

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>
#include <optional>

#include "inspection/machine.h"
#include "ui/machine_table.h"
#include "ui/open_file_dialog.h"

namespace {

QString PackagingFile(const char* name) {
  QFile file(QStringLiteral(QUILLFEN_PACKAGING_FOLDER "/") + name);
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", name);
  return QString::fromUtf8(file.readAll());
}

}  // namespace

class DesktopEntryTest : public QObject {
  Q_OBJECT

 private slots:
  void opensEveryOfferedExtension() {
    const QString entry = PackagingFile("quillfen.desktop");
    const auto line = [](const char* pattern) {
      return QRegularExpression(pattern, QRegularExpression::MultilineOption);
    };
    QVERIFY(entry.contains(line("^Exec=quillfen %f$")));
    const QStringList types =
        line("^MimeType=(.*)$").match(entry).captured(1).split(';', Qt::SkipEmptyParts);
    // Each type of the shared-mime-info file with its globs, in lower case.
    QMap<QString, QSet<QString>> globs;
    QXmlStreamReader reader(PackagingFile("quillfen.xml"));
    QString type;
    while (!reader.atEnd()) {
      if (reader.readNext() != QXmlStreamReader::StartElement) continue;
      if (reader.name() == u"mime-type") type = reader.attributes().value("type").toString();
      if (reader.name() == u"glob")
        globs[type].insert(reader.attributes().value("pattern").toString().toLower());
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(QSet<QString>(types.begin(), types.end()), QSet(globs.keyBegin(), globs.keyEnd()));
    QSet<QString> globbed;
    for (auto type_globs = globs.begin(); type_globs != globs.end(); ++type_globs) {
      // One machine per type: all its globs are read by that machine's reader.
      QSet<std::optional<quillfen::Machine>> machines;
      for (const QString& glob : type_globs.value())
        machines.insert(quillfen::MachineForFileName(("GAME" + glob.mid(1)).toStdString()));
      QVERIFY2(machines.size() == 1 && *machines.begin(), qPrintable(type_globs.key()));
      globbed += type_globs.value();
    }
    for (const quillfen::MachineSettings& machine : quillfen::kMachineTable) {
      // "All ZX81 Programs (...)|*.P81;*.P;*.81|...": the patterns of the first choice.
      for (const QString& pattern :
           quillfen::Latin1(machine.Facts().dialog_filter).section('|', 1, 1).split(';'))
        QVERIFY2(globbed.contains(pattern.toLower()), qPrintable(pattern));
    }
  }
};

QTEST_GUILESS_MAIN(DesktopEntryTest)
#include "desktop_entry_test.moc"
