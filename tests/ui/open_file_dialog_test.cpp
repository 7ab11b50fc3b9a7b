// The open-file dialog: the filter in Qt's syntax and the real dialog's settings and answers.

#include "ui/open_file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTest>
#include <QTimer>
#include <functional>

#include "support/temp_dir.h"
#include "ui/machine_table.h"

using quillfen::DialogSettings;
using quillfen::kMachineTable;

namespace {

DialogSettings SettingsOf(int machine) {
  const auto& settings = kMachineTable[static_cast<std::size_t>(machine)];
  return {settings.dialog_title, settings.default_extension, settings.filter};
}

/// Runs `answer` on the file dialog once it is open.
void AnswerDialog(std::function<void(QFileDialog&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return AnswerDialog(answer);
    answer(*dialog);
  });
}

/// Closes whatever modal window is left open (a dialog refusing the answer shows a warning box),
/// so that a failing check ends the test instead of hanging it.
void CloseModalWindows() {
  for (int i = 0; i < 4; ++i)
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
}

}  // namespace

class OpenFileDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void filterInQtSyntax_data();
  void filterInQtSyntax();
  void dialogShowsMachineSettings();
  void chosenPathReturnedAsChosen_data();
  void chosenPathReturnedAsChosen();
  void cancelReturnsNothing();
};

void OpenFileDialogTest::filterInQtSyntax_data() {
  QTest::addColumn<int>("machine");
  QTest::addColumn<QStringList>("nameFilters");
  QTest::newRow("ZX80") << 0
                        << QStringList({"All ZX80 Programs (*.P80 *.O *.80 *.p80 *.o)",
                                        "ZX80 Programs (*.P80 *.p80)", "ZX80 Programs (*.O *.o)"});
  QTest::newRow("ZX81") << 1
                        << QStringList({"All ZX81 Programs (*.P81 *.P *.81 *.p81 *.p)",
                                        "ZX81 Programs (*.P81 *.p81)", "ZX81 Programs (*.P *.p)",
                                        "ZX81 Programs (*.81)"});
  QTest::newRow("ZX Spectrum") << 2
                               << QStringList({"All ZX Spectrum Programs (*.SNA *.Z80 *.sna *.z80)",
                                               "ZX Spectrum Programs (*.Z80 *.z80)",
                                               "ZX Spectrum Programs (*.SNA *.sna)"});
}

void OpenFileDialogTest::filterInQtSyntax() {
  QFETCH(int, machine);
  QFETCH(QStringList, nameFilters);
  QCOMPARE(quillfen::QtNameFilters(SettingsOf(machine).filter), nameFilters);
}

void OpenFileDialogTest::dialogShowsMachineSettings() {
  const QString folder_before = QDir::currentPath();
  // Read while the dialog is open, compared once it is closed (a failed check must not leave
  // the dialog open).
  QString title, suffix, directory;
  int filters = 0;
  QFileDialog::FileMode file_mode{};
  QFileDialog::AcceptMode accept_mode{};
  bool qt_dialog = false;
  bool cursor_lifted = false;
  AnswerDialog([&](QFileDialog& dialog) {
    title = dialog.windowTitle();
    suffix = dialog.defaultSuffix();
    filters = static_cast<int>(dialog.nameFilters().size());
    file_mode = dialog.fileMode();
    accept_mode = dialog.acceptMode();
    directory = dialog.directory().absolutePath();
    qt_dialog = dialog.testOption(QFileDialog::DontUseNativeDialog);
    cursor_lifted = QApplication::overrideCursor() == nullptr;
    dialog.reject();
  });
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QVERIFY(quillfen::RunOpenFileDialog(nullptr, SettingsOf(0)).isEmpty());
  QVERIFY(QApplication::overrideCursor() != nullptr);
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  QApplication::restoreOverrideCursor();

  QCOMPARE(title, QString("Generate ZX80 ROM Cartridge"));
  QCOMPARE(suffix, QString("P80"));
  QCOMPARE(filters, 3);
  QCOMPARE(file_mode, QFileDialog::ExistingFile);
  QCOMPARE(accept_mode, QFileDialog::AcceptOpen);
  QCOMPARE(directory, QDir(QApplication::applicationDirPath()).absolutePath());
  QVERIFY(qt_dialog);
  QVERIFY(cursor_lifted);  // the busy cursor belongs to the window, not to the dialog
  QCOMPARE(QDir::currentPath(), folder_before);
}

void OpenFileDialogTest::chosenPathReturnedAsChosen_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("chosen");
  QTest::newRow("lower-case name") << "game.p"
                                   << "game.p";
  QTest::newRow("upper-case name") << "GAME.P81"
                                   << "GAME.P81";
  QTest::newRow("default extension added") << "tape"
                                           << "tape.P81";
}

void OpenFileDialogTest::chosenPathReturnedAsChosen() {
  QFETCH(QString, typed);
  QFETCH(QString, chosen);
  quillfen::testing::TempDir temp;
  for (const char* name : {"game.p", "GAME.P81", "tape.P81"}) (void)temp.Write(name, {0});
  const QString folder = QString::fromStdString(temp.path().string());
  const QString folder_before = QDir::currentPath();
  QTimer watchdog;
  watchdog.setSingleShot(true);
  connect(&watchdog, &QTimer::timeout, CloseModalWindows);
  watchdog.start(10000);
  AnswerDialog([&](QFileDialog& dialog) {
    dialog.setDirectory(folder);
    dialog.selectFile(typed);
    static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept checks the file exists
  });
  QCOMPARE(quillfen::RunOpenFileDialog(nullptr, SettingsOf(1)), folder + "/" + chosen);
  QCOMPARE(QDir::currentPath(), folder_before);
}

void OpenFileDialogTest::cancelReturnsNothing() {
  AnswerDialog([](QFileDialog& dialog) { dialog.reject(); });
  QVERIFY(quillfen::RunOpenFileDialog(nullptr, SettingsOf(2)).isEmpty());
}

QTEST_MAIN(OpenFileDialogTest)
#include "open_file_dialog_test.moc"
