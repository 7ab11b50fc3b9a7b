// Dropping a file on the window: its machine is picked and it is selected as from the dialog.

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "support/temp_dir.h"
#include "ui/window_driver.h"

using quillfen::testing::TempDir;
using quillfen::testing::WindowDriver;

namespace {

QString PathIn(const TempDir& temp, const char* name) {
  return QString::fromStdString((temp / name).string());
}

/// Drags `paths` onto the window and drops them; true when the window accepted the drag.
bool DropFiles(WindowDriver& ui, const QStringList& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
  data.setUrls(urls);
  const QPoint middle = ui.window->rect().center();
  QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(ui.window.get(), &enter);
  QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(ui.window.get(), &drop);
  return enter.isAccepted();
}

}  // namespace

class DragAndDropTest : public QObject {
  Q_OBJECT

 private slots:
  void dropSelectsMachineAndProgram_data();
  void dropSelectsMachineAndProgram();
  void unsuitableDropsIgnored_data();
  void unsuitableDropsIgnored();
  void dropIgnoredWhileGenerating();
};

void DragAndDropTest::dropSelectsMachineAndProgram_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("machine");
  QTest::addColumn<QString>("reader");
  QTest::addColumn<QStringList>("ramEntries");
  QTest::newRow("ZX80 .o") << "game.o" << 0 << "LoadZX80Program"
                           << QStringList({"1K", "3K", "16K"});
  QTest::newRow("ZX81 .P81") << "GAME.P81" << 1 << "LoadZX81Program"
                             << QStringList({"1K", "4K", "16K"});
  QTest::newRow("Spectrum .z80") << "game.z80" << 2 << "LoadSnapshot" << QStringList({"48K"});
}

void DragAndDropTest::dropSelectsMachineAndProgram() {
  QFETCH(QString, name);
  QFETCH(int, machine);
  QFETCH(QString, reader);
  QFETCH(QStringList, ramEntries);
  TempDir temp;
  (void)temp.Write(name.toStdString(), {0});
  const QString path = PathIn(temp, name.toLatin1().constData());
  WindowDriver ui;
  ui.PickMachine(machine == 1 ? 2 : 1);  // another machine than the file's
  ui.Select("/tmp/OLD.ANY");
  ui.Generate();
  QVERIFY(ui.lblDone()->isVisible());

  const auto first_call = ui.converters.calls.size();
  QVERIFY(DropFiles(ui, {path}));
  QCOMPARE(ui.dialogs_shown, 1);  // only the earlier selection asked
  QCOMPARE(ui.MachineType()->currentIndex(), machine);
  QVERIFY(ui.converters.calls.size() > first_call);
  QCOMPARE(ui.converters.calls[first_call].function, reader.toStdString());
  QCOMPARE(ui.converters.calls[first_call].argument, path.toStdString());
  QVERIFY(ui.converters.calls[first_call].busy_cursor);
  QCOMPARE(ui.TextFilename()->text(), name.toUpper());
  QCOMPARE(ui.RamEntries(), ramEntries);
  QVERIFY(ui.lblDone()->isHidden());
  QVERIFY(ui.cmdGenerate()->isEnabled());
  QVERIFY(ui.cmdSelect()->isEnabled());
  QVERIFY(ui.MachineType()->isEnabled());
  QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void DragAndDropTest::unsuitableDropsIgnored_data() {
  QTest::addColumn<QStringList>("names");
  QTest::newRow("unknown extension") << QStringList({"notes.txt"});
  QTest::newRow("no extension") << QStringList({"GAME"});
  QTest::newRow("two programs") << QStringList({"one.p", "two.p"});
  QTest::newRow("a folder named like a program") << QStringList({"folder.p/"});
  QTest::newRow("a file that does not exist") << QStringList({"missing.p"});
}

void DragAndDropTest::unsuitableDropsIgnored() {
  QFETCH(QStringList, names);
  TempDir temp;
  QStringList paths;
  for (QString name : names) {
    const bool folder = name.endsWith('/');
    if (folder) name.chop(1);
    const std::string file = name.toStdString();
    if (folder)
      QVERIFY(QDir().mkpath(PathIn(temp, file.c_str())));
    else if (!name.startsWith("missing"))
      (void)temp.Write(file, {0});
    paths << PathIn(temp, file.c_str());
  }
  WindowDriver ui;
  ui.PickMachine(0);
  ui.Select("/tmp/KEPT.O");
  const auto calls = ui.converters.calls.size();

  QVERIFY(!DropFiles(ui, paths));
  QCOMPARE(ui.converters.calls.size(), calls);
  QCOMPARE(ui.MachineType()->currentIndex(), 0);
  QCOMPARE(ui.TextFilename()->text(), QString("KEPT.O"));
  QVERIFY(ui.cmdGenerate()->isEnabled());
}

void DragAndDropTest::dropIgnoredWhileGenerating() {
  TempDir temp;
  (void)temp.Write("late.sna", {0});
  WindowDriver ui;
  ui.Select("/tmp/GAME.P");
  bool accepted_during_run = true;
  ui.converters.during_call = [&](const auto& call) {
    if (call.function == "GenerateZX81Cartridge")
      accepted_during_run = DropFiles(ui, {PathIn(temp, "late.sna")});
  };
  ui.Generate();
  QVERIFY(!accepted_during_run);
  QCOMPARE(ui.MachineType()->currentIndex(), 1);
  QCOMPARE(ui.TextFilename()->text(), QString("GAME.P"));
}

QTEST_MAIN(DragAndDropTest)
#include "drag_and_drop_test.moc"
