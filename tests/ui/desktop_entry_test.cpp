// The desktop entry and the file types it opens: every extension the window's file dialog
// offers is known to the desktop under a type that the entry names, so that a file manager
// opens it with `quillfen FILE`.

#include <QFile>
#include <QMap>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>
#include <optional>

#include "inspection/machine.h"
#include "ui/machine_table.h"

namespace {

QString ReadPackagingFile(const char* name) {
  QFile file(QStringLiteral(QUILLFEN_PACKAGING_FOLDER "/") + name);
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", name);
  return QString::fromUtf8(file.readAll());
}

/// The value of `key` in the desktop entry.
QString DesktopEntryValue(const QString& entry, const QString& key) {
  for (const QString& line : entry.split('\n'))
    if (line.startsWith(key + '=')) return line.mid(key.size() + 1);
  return QString();
}

/// Each type of the shared-mime-info file with its globs, in lower case.
QMap<QString, QSet<QString>> GlobsByType(const QString& xml) {
  QMap<QString, QSet<QString>> globs;
  QXmlStreamReader reader(xml);
  QString type;
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement) continue;
    if (reader.name() == u"mime-type") type = reader.attributes().value("type").toString();
    if (reader.name() == u"glob")
      globs[type].insert(reader.attributes().value("pattern").toString().toLower());
  }
  if (reader.hasError()) qFatal("quillfen.xml: %s", qPrintable(reader.errorString()));
  return globs;
}

}  // namespace

class DesktopEntryTest : public QObject {
  Q_OBJECT

 private slots:
  void opensEveryOfferedExtension() {
    const QString entry = ReadPackagingFile("quillfen.desktop");
    QCOMPARE(DesktopEntryValue(entry, "Exec"), QString("quillfen %f"));
    const QStringList named = DesktopEntryValue(entry, "MimeType").split(';', Qt::SkipEmptyParts);
    const QMap<QString, QSet<QString>> globs = GlobsByType(ReadPackagingFile("quillfen.xml"));
    QCOMPARE(QSet<QString>(named.begin(), named.end()), QSet<QString>(globs.keyBegin(), globs.keyEnd()));
    QSet<QString> globbed;
    for (auto type = globs.begin(); type != globs.end(); ++type) {
      // One type per machine: its globs are all read by the same machine's reader.
      QSet<std::optional<quillfen::Machine>> machines;
      for (const QString& glob : type.value())
        machines.insert(quillfen::MachineForFileName(("GAME" + glob.mid(1)).toStdString()));
      QVERIFY2(machines.size() == 1 && *machines.begin(), qPrintable(type.key()));
      globbed += type.value();
    }
    for (const quillfen::MachineSettings& machine : quillfen::kMachineTable) {
      // "All ZX81 Programs (...)|*.P81;*.P;*.81|...": the patterns of the first choice.
      for (const QString& pattern : QString(machine.filter).section('|', 1, 1).split(';'))
        QVERIFY2(globbed.contains(pattern.toLower()), qPrintable(pattern));
    }
  }
};

QTEST_GUILESS_MAIN(DesktopEntryTest)
#include "desktop_entry_test.moc"
