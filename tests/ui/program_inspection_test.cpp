// Choosing a program: the reader calls, the RAM offers, the auto-run box and every way a
// selection can end.

#include <QApplication>
#include <QTest>

#include "cartridge/error.h"
#include "ui/window_driver.h"

using quillfen::testing::WindowDriver;

class ProgramInspectionTest : public QObject {
  Q_OBJECT

 private slots:
  void ramOffer_data();
  void ramOffer();
  void snapshotOffersOnly48K();
  void zx81AutoRunBoxFollowsProgram();
  void zx80AutoRunBoxKeepsUsersTick();
  void readerSeesWindowBusy();
  void lowerCaseNameShownInUpperCase();
  void cancelAfterSuccessDiscardsSelection();
  void refusedFileKeepsNameShown_data();
  void refusedFileKeepsNameShown();
  void zeroLengthKeepsNameShown();
  void readerErrorEmptiesSelection_data();
  void readerErrorEmptiesSelection();
};

// Lengths around each limit. For ZX81 programs of 971 to 980 bytes (4043 to 4052) the start-up
// code in RAM would be overwritten by its own pushes in 1K (4K), so that size is not offered.
void ProgramInspectionTest::ramOffer_data() {
  QTest::addColumn<int>("machine");
  QTest::addColumn<int>("length");
  QTest::addColumn<QStringList>("entries");
  QTest::addColumn<QString>("selected");
  QTest::addColumn<bool>("enabled");
  const QStringList zx81_all{"1K", "4K", "16K"}, zx81_middle{"4K", "16K"}, only_16k{"16K"};
  QTest::newRow("ZX81 970") << 1 << 970 << zx81_all << "1K" << true;
  QTest::newRow("ZX81 971") << 1 << 971 << zx81_middle << "16K" << true;
  QTest::newRow("ZX81 980") << 1 << 980 << zx81_middle << "16K" << true;
  QTest::newRow("ZX81 981") << 1 << 981 << zx81_all << "1K" << true;
  QTest::newRow("ZX81 1010") << 1 << 1010 << zx81_all << "1K" << true;
  QTest::newRow("ZX81 1011") << 1 << 1011 << zx81_middle << "16K" << true;
  QTest::newRow("ZX81 4042") << 1 << 4042 << zx81_middle << "16K" << true;
  QTest::newRow("ZX81 4043") << 1 << 4043 << only_16k << "16K" << false;
  QTest::newRow("ZX81 4052") << 1 << 4052 << only_16k << "16K" << false;
  QTest::newRow("ZX81 4053") << 1 << 4053 << zx81_middle << "16K" << true;
  QTest::newRow("ZX81 4082") << 1 << 4082 << zx81_middle << "16K" << true;
  QTest::newRow("ZX81 4083") << 1 << 4083 << only_16k << "16K" << false;
  QTest::newRow("ZX81 24449") << 1 << 24449 << only_16k << "16K" << false;
  const QStringList zx80_all{"1K", "3K", "16K"}, zx80_middle{"3K", "16K"};
  QTest::newRow("ZX80 976") << 0 << 976 << zx80_all << "1K" << true;
  QTest::newRow("ZX80 1020") << 0 << 1020 << zx80_all << "1K" << true;
  QTest::newRow("ZX80 1022") << 0 << 1022 << zx80_middle << "16K" << true;
  QTest::newRow("ZX80 3068") << 0 << 3068 << zx80_middle << "16K" << true;
  QTest::newRow("ZX80 3070") << 0 << 3070 << only_16k << "16K" << false;
}

void ProgramInspectionTest::ramOffer() {
  QFETCH(int, machine);
  QFETCH(int, length);
  QFETCH(QStringList, entries);
  QFETCH(QString, selected);
  QFETCH(bool, enabled);
  WindowDriver ui;
  ui.converters.zx81_length = length;
  ui.converters.zx80_length = static_cast<std::int16_t>(length);
  ui.PickMachine(machine);
  ui.Select(machine == 1 ? "/tmp/GAME.P" : "/tmp/GAME.O");
  QCOMPARE(ui.RamEntries(), entries);
  QCOMPARE(ui.RamSize()->currentText(), selected);
  QCOMPARE(ui.RamSize()->isEnabled(), enabled);
  QCOMPARE(ui.RAMSizeLabel()->isEnabled(), enabled);
  QVERIFY(ui.cmdGenerate()->isEnabled());
}

void ProgramInspectionTest::snapshotOffersOnly48K() {
  WindowDriver ui;
  ui.Select("/tmp/GAME.P");  // leaves the RAM list enabled
  QVERIFY(ui.RamSize()->isEnabled());
  ui.PickMachine(2);
  ui.Select("/tmp/GAME.SNA");
  QCOMPARE(ui.converters.LastCall().function, std::string("LoadSnapshot"));
  QCOMPARE(ui.RamEntries(), QStringList({"48K"}));
  QCOMPARE(ui.RamSize()->currentText(), QString("48K"));
  QVERIFY(!ui.RamSize()->isEnabled());
  QVERIFY(!ui.RAMSizeLabel()->isEnabled());
  QVERIFY(!ui.chkAutoRun()->isChecked());
  QVERIFY(!ui.chkAutoRun()->isEnabled());
  QVERIFY(ui.cmdGenerate()->isEnabled());
}

void ProgramInspectionTest::zx81AutoRunBoxFollowsProgram() {
  WindowDriver ui;
  ui.converters.auto_runs = true;
  ui.Select("/tmp/RUNS.P");
  QVERIFY(ui.chkAutoRun()->isChecked());
  QVERIFY(!ui.chkAutoRun()->isEnabled());

  ui.converters.auto_runs = false;
  ui.Select("/tmp/WAITS.P");
  QVERIFY(!ui.chkAutoRun()->isChecked());
  QVERIFY(ui.chkAutoRun()->isEnabled());
}

void ProgramInspectionTest::zx80AutoRunBoxKeepsUsersTick() {
  WindowDriver ui;
  ui.PickMachine(0);
  ui.chkAutoRun()->setChecked(false);
  ui.Select("/tmp/GAME.O");
  QVERIFY(!ui.chkAutoRun()->isChecked());
  QVERIFY(ui.chkAutoRun()->isEnabled());
  QCOMPARE(ui.converters.calls.size(), size_t{2});
  QCOMPARE(ui.converters.calls[0].function, std::string("LoadZX80Program"));
  QCOMPARE(ui.converters.calls[1].function, std::string("ZX80ProgramLength"));
}

void ProgramInspectionTest::readerSeesWindowBusy() {
  WindowDriver ui;
  bool buttons_disabled = false;
  ui.converters.during_call = [&](const auto&) {
    buttons_disabled = !ui.cmdSelect()->isEnabled() && !ui.cmdGenerate()->isEnabled() &&
                       !ui.MachineType()->isEnabled();
  };
  ui.Select("/tmp/GAME.P");
  QVERIFY(ui.converters.LastCall().busy_cursor);
  QVERIFY(buttons_disabled);
  QCOMPARE(QApplication::overrideCursor(), nullptr);
  QVERIFY(ui.cmdSelect()->isEnabled());
  QVERIFY(ui.MachineType()->isEnabled());
}

void ProgramInspectionTest::lowerCaseNameShownInUpperCase() {
  WindowDriver ui;
  ui.Select("/tmp/Some.Folder/game.p");
  // The file is opened by the path as chosen; the name is shown in upper case.
  QCOMPARE(ui.converters.calls.front().argument, std::string("/tmp/Some.Folder/game.p"));
  QCOMPARE(ui.TextFilename()->text(), QString("GAME.P"));

  ui.Generate();
  QCOMPARE(ui.converters.LastCall().argument, std::string("GAME.P"));
}

void ProgramInspectionTest::cancelAfterSuccessDiscardsSelection() {
  WindowDriver ui;
  ui.Select("/tmp/GAME.P");
  QVERIFY(ui.cmdGenerate()->isEnabled());
  const auto calls = ui.converters.calls.size();

  ui.Select(QString());
  QCOMPARE(ui.dialogs_shown, 2);
  QCOMPARE(ui.converters.calls.size(), calls);
  QVERIFY(ui.TextFilename()->text().isEmpty());
  QVERIFY(!ui.cmdGenerate()->isEnabled());
  QVERIFY(!ui.RamSize()->isEnabled());
  QVERIFY(!ui.RAMSizeLabel()->isEnabled());
  QCOMPARE(ui.RamEntries(), QStringList({"1K", "4K", "16K"}));  // old entries kept
  QCOMPARE(QApplication::overrideCursor(), nullptr);
  QVERIFY(ui.cmdSelect()->isEnabled());
  QVERIFY(ui.MachineType()->isEnabled());
}

void ProgramInspectionTest::refusedFileKeepsNameShown_data() {
  QTest::addColumn<int>("machine");
  QTest::addColumn<QString>("path");
  QTest::newRow("ZX80") << 0 << "/tmp/bad.o";
  QTest::newRow("ZX81") << 1 << "/tmp/bad.p";
  QTest::newRow("ZX Spectrum") << 2 << "/tmp/bad.z80";
}

void ProgramInspectionTest::refusedFileKeepsNameShown() {
  QFETCH(int, machine);
  QFETCH(QString, path);
  WindowDriver ui;
  ui.PickMachine(machine);
  ui.converters.load_result = false;
  ui.Select(path);
  QCOMPARE(ui.TextFilename()->text(), path.mid(5).toUpper());
  QVERIFY(!ui.cmdGenerate()->isEnabled());
  QVERIFY(!ui.RamSize()->isEnabled());
  QVERIFY(ui.lblDone()->isHidden());
  QCOMPARE(ui.converters.calls.size(), size_t{1});  // the reader only: nothing asked after it
  QCOMPARE(QApplication::overrideCursor(), nullptr);
  QVERIFY(ui.cmdSelect()->isEnabled());
}

void ProgramInspectionTest::zeroLengthKeepsNameShown() {
  WindowDriver ui;
  ui.converters.auto_runs = true;
  ui.converters.zx81_length = 0;
  ui.Select("/tmp/EMPTY.P");
  QCOMPARE(ui.TextFilename()->text(), QString("EMPTY.P"));
  QVERIFY(!ui.cmdGenerate()->isEnabled());
  QVERIFY(!ui.RamSize()->isEnabled());
  QVERIFY(ui.chkAutoRun()->isChecked());  // set before the length was asked
  QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void ProgramInspectionTest::readerErrorEmptiesSelection_data() {
  QTest::addColumn<QString>("failingCall");
  QTest::addColumn<int>("length");
  QTest::newRow("auto-run test raises an error") << "ZX81ProgramAutoRuns" << 500;
  QTest::newRow("reader raises an error") << "LoadZX81Program" << 500;
  QTest::newRow("length beyond 16 bits") << "" << 40000;
  QTest::newRow("negative length beyond 16 bits") << "" << -40000;
}

void ProgramInspectionTest::readerErrorEmptiesSelection() {
  QFETCH(QString, failingCall);
  QFETCH(int, length);
  WindowDriver ui;
  ui.Select("/tmp/GOOD.P");
  QVERIFY(ui.cmdGenerate()->isEnabled());

  ui.converters.zx81_length = length;
  ui.converters.during_call = [&](const auto& call) {
    if (call.function == failingCall.toStdString()) quillfen::ThrowError("NXTLIN out of range");
  };
  ui.Select("/tmp/BAD.P");
  QVERIFY(ui.TextFilename()->text().isEmpty());
  QVERIFY(!ui.cmdGenerate()->isEnabled());
  QVERIFY(!ui.RamSize()->isEnabled());
  QVERIFY(!ui.RAMSizeLabel()->isEnabled());
  QCOMPARE(QApplication::overrideCursor(), nullptr);
  QVERIFY(ui.cmdSelect()->isEnabled());
  QVERIFY(ui.MachineType()->isEnabled());
}

QTEST_MAIN(ProgramInspectionTest)
#include "program_inspection_test.moc"
