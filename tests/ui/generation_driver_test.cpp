// Generate: what reaches the converter, the Done indicator and the window after every outcome.

#include <QApplication>
#include <QTest>
#include <new>
#include <stdexcept>

#include "cartridge/error.h"
#include "ui/window_driver.h"

using quillfen::testing::WindowDriver;

class GenerationDriverTest : public QObject {
  Q_OBJECT

 private slots:
  void ramBytesPassed_data();
  void ramBytesPassed();
  void autoRunPassed_data();
  void autoRunPassed();
  void converterSeesWindowBusy();
  void indicatorLifecycle();
  void indicatorLastsTwoSeconds();
  void generateAgainHidesIndicatorAtOnce();
  void converterErrorRestoresWindowAndShowsError_data();
  void converterErrorRestoresWindowAndShowsError();
};

void GenerationDriverTest::ramBytesPassed_data() {
  QTest::addColumn<int>("machine");
  QTest::addColumn<QString>("ramText");
  QTest::addColumn<QString>("entryPoint");
  QTest::addColumn<int>("bytes");
  QTest::newRow("ZX80 1K") << 0 << "1K"
                           << "GenerateZX80Cartridge" << 1024;
  QTest::newRow("ZX80 3K") << 0 << "3K"
                           << "GenerateZX80Cartridge" << 3072;
  QTest::newRow("ZX80 16K") << 0 << "16K"
                            << "GenerateZX80Cartridge" << 16384;
  QTest::newRow("ZX81 1K") << 1 << "1K"
                           << "GenerateZX81Cartridge" << 1024;
  QTest::newRow("ZX81 4K") << 1 << "4K"
                           << "GenerateZX81Cartridge" << 4096;
  QTest::newRow("ZX81 16K") << 1 << "16K"
                            << "GenerateZX81Cartridge" << 16384;
  QTest::newRow("Spectrum 16K shown") << 2 << "16K"
                                      << "GenerateSpectrumCartridge" << 49152;
  QTest::newRow("Spectrum 48K shown") << 2 << "48K"
                                      << "GenerateSpectrumCartridge" << 49152;
}

void GenerationDriverTest::ramBytesPassed() {
  QFETCH(int, machine);
  QFETCH(QString, ramText);
  QFETCH(QString, entryPoint);
  QFETCH(int, bytes);
  WindowDriver ui;
  ui.Select("/tmp/GAME.P");  // enables Generate, which a machine pick leaves enabled
  ui.PickMachine(machine);
  ui.RamSize()->setCurrentIndex(ui.RamSize()->findText(ramText));
  QCOMPARE(ui.RamSize()->currentText(), ramText);
  ui.Generate();
  QCOMPARE(ui.converters.LastCall().function, entryPoint.toStdString());
  QCOMPARE(ui.converters.LastCall().ram_size, bytes);
}

void GenerationDriverTest::autoRunPassed_data() {
  QTest::addColumn<int>("machine");
  QTest::addColumn<bool>("programAutoRuns");
  QTest::addColumn<bool>("userTick");
  QTest::addColumn<int>("autoRun");
  QTest::newRow("ZX80 ticked") << 0 << false << true << 1;
  QTest::newRow("ZX80 cleared") << 0 << false << false << 0;
  QTest::newRow("ZX81 ticked by the user") << 1 << false << true << 1;
  QTest::newRow("ZX81 not ticked") << 1 << false << false << 0;
  QTest::newRow("ZX81 ticked and disabled by the program") << 1 << true << true << 1;
}

void GenerationDriverTest::autoRunPassed() {
  QFETCH(int, machine);
  QFETCH(bool, programAutoRuns);
  QFETCH(bool, userTick);
  QFETCH(int, autoRun);
  WindowDriver ui;
  ui.PickMachine(machine);
  ui.converters.auto_runs = programAutoRuns;
  ui.Select(machine == 0 ? "/tmp/GAME.O" : "/tmp/GAME.P");
  if (ui.chkAutoRun()->isEnabled()) ui.chkAutoRun()->setChecked(userTick);
  ui.Generate();
  QCOMPARE(ui.converters.LastCall().auto_run, autoRun);
}

void GenerationDriverTest::converterSeesWindowBusy() {
  WindowDriver ui;
  ui.Select("/tmp/GAME.P");
  bool buttons_disabled = false;
  ui.converters.during_call = [&](const auto&) {
    buttons_disabled = !ui.cmdGenerate()->isEnabled() && !ui.cmdSelect()->isEnabled();
  };
  ui.Generate();
  QVERIFY(ui.converters.LastCall().busy_cursor);
  QVERIFY(buttons_disabled);
  QVERIFY(ui.cmdGenerate()->isEnabled());
  QVERIFY(ui.cmdSelect()->isEnabled());
  QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void GenerationDriverTest::indicatorLifecycle() {
  WindowDriver ui;
  ui.Timer1()->setInterval(50);  // shortened here only, to keep the test quick
  ui.Select("/tmp/GAME.P");

  ui.converters.generate_result = false;
  ui.Generate();
  QVERIFY(ui.lblDone()->isVisible());
  QCOMPARE(ui.lblDone()->text(), QString("Error!"));
  QVERIFY(ui.Timer1()->isActive());
  QTRY_VERIFY(ui.lblDone()->isHidden());
  QCOMPARE(ui.lblDone()->text(), QString("Done!"));
  QVERIFY(!ui.Timer1()->isActive());

  ui.converters.generate_result = true;
  ui.Generate();
  QVERIFY(ui.lblDone()->isVisible());
  QCOMPARE(ui.lblDone()->text(), QString("Done!"));
  QTRY_VERIFY(ui.lblDone()->isHidden());

  // A new selection resets a shown indicator at once.
  ui.Generate();
  QVERIFY(ui.lblDone()->isVisible());
  ui.Select("/tmp/OTHER.P");
  QVERIFY(ui.lblDone()->isHidden());
  QVERIFY(!ui.Timer1()->isActive());
}

void GenerationDriverTest::indicatorLastsTwoSeconds() {
  WindowDriver ui;
  ui.Select("/tmp/GAME.P");
  ui.Generate();
  QTest::qWait(1700);
  QVERIFY(ui.lblDone()->isVisible());
  QTRY_VERIFY_WITH_TIMEOUT(ui.lblDone()->isHidden(), 1500);
}

void GenerationDriverTest::generateAgainHidesIndicatorAtOnce() {
  WindowDriver ui;
  ui.Select("/tmp/GAME.P");
  ui.converters.generate_result = false;
  ui.Generate();
  QVERIFY(ui.lblDone()->isVisible());

  bool idle_during_run = false;
  ui.converters.during_call = [&](const auto&) {
    idle_during_run =
        ui.lblDone()->isHidden() && ui.lblDone()->text() == "Done!" && !ui.Timer1()->isActive();
  };
  ui.converters.generate_result = true;
  ui.Generate();
  QVERIFY(idle_during_run);
  QCOMPARE(ui.lblDone()->text(), QString("Done!"));
  QVERIFY(ui.lblDone()->isVisible());
  QVERIFY(ui.Timer1()->remainingTime() > 1000);  // a fresh period
}

void GenerationDriverTest::converterErrorRestoresWindowAndShowsError_data() {
  QTest::addColumn<int>("machine");
  QTest::addColumn<int>("kind");
  QTest::newRow("ZX81, quillfen::Error") << 1 << 0;
  QTest::newRow("ZX80, std::out_of_range") << 0 << 1;
  QTest::newRow("Spectrum, std::bad_alloc") << 2 << 2;
}

// An exception leaving a converter used to leave the window exactly as before, as if nothing had
// been attempted; it now shows "Error!" like a refusal.
void GenerationDriverTest::converterErrorRestoresWindowAndShowsError() {
  QFETCH(int, machine);
  QFETCH(int, kind);
  WindowDriver ui;
  ui.PickMachine(machine);
  ui.Select("/tmp/GAME.ANY");
  ui.converters.during_call = [&](const auto& call) {
    if (call.function.rfind("Generate", 0) != 0) return;
    if (kind == 0) quillfen::ThrowError("AppendWord: 65536 is not a 16-bit value");
    if (kind == 1) throw std::out_of_range("vector");
    throw std::bad_alloc();
  };
  ui.Generate();
  QVERIFY(ui.lblDone()->isVisible());
  QCOMPARE(ui.lblDone()->text(), QString("Error!"));
  QVERIFY(ui.Timer1()->isActive());
  QCOMPARE(ui.Timer1()->interval(), 2000);
  QVERIFY(ui.cmdGenerate()->isEnabled());
  QVERIFY(ui.cmdSelect()->isEnabled());
  QCOMPARE(QApplication::overrideCursor(), nullptr);

  // The window stays usable: the next run succeeds normally.
  ui.converters.during_call = nullptr;
  ui.Generate();
  QCOMPARE(ui.lblDone()->text(), QString("Done!"));
}

QTEST_MAIN(GenerationDriverTest)
#include "generation_driver_test.moc"
