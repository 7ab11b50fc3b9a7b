// The window at start, its layout, the machine table and the way the program ends.

#include <QApplication>
#include <QIcon>
#include <QTest>

#include "ui/window_driver.h"

using quillfen::testing::WindowDriver;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startState();
  void layout_data();
  void layout();
  void focusOrder();
  void machinePick_data();
  void machinePick();
  void machinePickKeepsGenerateEnabled();
  void exitEnds();
  void closingWhileDoneShownEnds();
};

void MainWindowTest::startState() {
  WindowDriver ui;
  QCOMPARE(ui.window->windowTitle(), QString(" ZX Interface 2 ROM Quillfen V1.01"));
  QVERIFY(ui.window->isVisible());
  QVERIFY(!ui.window->windowIcon().isNull());
  QCOMPARE(ui.window->size(), QSize(306, 109));
  QCOMPARE(ui.window->minimumSize(), ui.window->maximumSize());

  QCOMPARE(ui.MachineType()->count(), 3);
  QCOMPARE(ui.MachineType()->itemText(0), QString("ZX80"));
  QCOMPARE(ui.MachineType()->itemText(1), QString("ZX81"));
  QCOMPARE(ui.MachineType()->itemText(2), QString("ZX Spectrum"));
  QCOMPARE(ui.MachineType()->currentIndex(), 1);
  QVERIFY(ui.MachineType()->isEnabled());
  QVERIFY(!ui.MachineType()->isEditable());

  QCOMPARE(ui.RamEntries(), QStringList({"1K", "4K", "16K"}));
  QCOMPARE(ui.RamSize()->currentText(), QString("16K"));
  QVERIFY(!ui.RamSize()->isEnabled());
  QVERIFY(!ui.RamSize()->isEditable());
  QVERIFY(!ui.RAMSizeLabel()->isEnabled());
  QVERIFY(!ui.chkAutoRun()->isChecked());
  QVERIFY(!ui.chkAutoRun()->isEnabled());

  QVERIFY(ui.TextFilename()->text().isEmpty());
  QVERIFY(ui.TextFilename()->isEnabled());
  QVERIFY(ui.cmdSelect()->isEnabled());
  QVERIFY(ui.cmdExit()->isEnabled());
  QVERIFY(!ui.cmdGenerate()->isEnabled());

  QVERIFY(ui.lblDone()->isHidden());
  QCOMPARE(ui.lblDone()->text(), QString("Done!"));
  QCOMPARE(ui.lblDone()->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
  QVERIFY(!ui.Timer1()->isActive());
  QVERIFY(ui.Timer1()->isSingleShot());
  QCOMPARE(ui.Timer1()->interval(), 2000);

  QCOMPARE(ui.window->CurrentDialogSettings().title, QString("Generate ZX81 ROM Cartridge"));
  QVERIFY(ui.converters.calls.empty());
  QCOMPARE(QApplication::overrideCursor(), nullptr);
}

// Places in pixels: the twips of the control table divided by 15.
void MainWindowTest::layout_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QRect>("place");
  QTest::newRow("Label8") << "Label8"
                          << "Type:" << QRect(8, 16, 33, 17);
  QTest::newRow("MachineType") << "MachineType"
                               << "" << QRect(40, 16, 89, 21);
  QTest::newRow("RAMSizeLabel") << "RAMSizeLabel"
                                << "RAM:" << QRect(144, 18, 33, 17);
  QTest::newRow("RamSize") << "RamSize"
                           << "" << QRect(176, 16, 49, 21);
  QTest::newRow("chkAutoRun") << "chkAutoRun"
                              << "&Run:" << QRect(242, 16, 49, 17);
  QTest::newRow("Label2") << "Label2"
                          << "File:" << QRect(8, 50, 25, 17);
  QTest::newRow("TextFilename") << "TextFilename"
                                << "" << QRect(40, 48, 160, 21);
  QTest::newRow("cmdSelect") << "cmdSelect"
                             << "..." << QRect(204, 48, 20, 21);
  QTest::newRow("cmdGenerate") << "cmdGenerate"
                               << "&Generate" << QRect(240, 48, 57, 21);
  QTest::newRow("cmdExit") << "cmdExit"
                           << "E&xit" << QRect(240, 80, 57, 21);
  QTest::newRow("Label7") << "Label7"
                          << "" << QRect(8, 88, 225, 17);
  QTest::newRow("lblDone") << "lblDone"
                           << "Done!" << QRect(8, 88, 225, 17);
}

void MainWindowTest::layout() {
  QFETCH(QString, name);
  QFETCH(QString, text);
  QFETCH(QRect, place);
  WindowDriver ui;
  auto* control = ui.window->findChild<QWidget*>(name);
  QVERIFY(control != nullptr);
  QCOMPARE(control->geometry(), place);
  if (!text.isEmpty()) QCOMPARE(control->property("text").toString(), text);
}

void MainWindowTest::focusOrder() {
  WindowDriver ui;
  QStringList order;
  QWidget* widget = ui.MachineType();
  do {
    if (widget->parentWidget() == ui.window.get() && (widget->focusPolicy() & Qt::TabFocus))
      order << widget->objectName();
    widget = widget->nextInFocusChain();
  } while (widget != ui.MachineType());
  QCOMPARE(order, QStringList({"MachineType", "cmdSelect", "RamSize", "chkAutoRun", "cmdGenerate",
                               "cmdExit", "TextFilename"}));
}

void MainWindowTest::machinePick_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<QStringList>("ramEntries");
  QTest::addColumn<QString>("selectedRam");
  QTest::addColumn<bool>("autoRunTicked");
  QTest::addColumn<bool>("autoRunEnabled");
  QTest::addColumn<QString>("title");
  QTest::addColumn<QString>("extension");
  QTest::addColumn<QString>("filter");
  QTest::newRow("ZX80") << 0 << QStringList({"1K", "3K", "16K"}) << "16K" << true << true
                        << "Generate ZX80 ROM Cartridge"
                        << "P80"
                        << "All ZX80 Programs (*.P80;*.O;*.80)|*.P80;*.O;*.80|"
                           "ZX80 Programs (*.P80)|*.P80|ZX80 Programs (*.O)|*.O";
  QTest::newRow("ZX81") << 1 << QStringList({"1K", "4K", "16K"}) << "16K" << false << false
                        << "Generate ZX81 ROM Cartridge"
                        << "P81"
                        << "All ZX81 Programs (*.P81;*.P;*.81)|*.P81;*.P;*.81|"
                           "ZX81 Programs (*.P81)|*.P81|ZX81 Programs (*.P)|*.P|"
                           "ZX81 Programs (*.81)|*.81";
  QTest::newRow("ZX Spectrum") << 2 << QStringList({"16K", "48K"}) << "48K" << false << false
                               << "Generate ZX Spectrum ROM Cartridge"
                               << "SNA"
                               << "All ZX Spectrum Programs (*.SNA;*.Z80)|*.SNA;*.Z80|"
                                  "ZX Spectrum Programs (*.Z80)|*.Z80|"
                                  "ZX Spectrum Programs (*.SNA)|*.SNA";
}

void MainWindowTest::machinePick() {
  QFETCH(int, index);
  QFETCH(QStringList, ramEntries);
  QFETCH(QString, selectedRam);
  QFETCH(bool, autoRunTicked);
  QFETCH(bool, autoRunEnabled);
  QFETCH(QString, title);
  QFETCH(QString, extension);
  QFETCH(QString, filter);
  WindowDriver ui;
  // Start from another machine with a "Done!" shown, to see the pick reset both.
  ui.PickMachine(index == 0 ? 2 : 0);
  ui.Select("/tmp/game.any");
  ui.Generate();
  QVERIFY(ui.lblDone()->isVisible());

  ui.PickMachine(index);
  QCOMPARE(ui.RamEntries(), ramEntries);
  QCOMPARE(ui.RamSize()->currentText(), selectedRam);
  QCOMPARE(ui.chkAutoRun()->isChecked(), autoRunTicked);
  QCOMPARE(ui.chkAutoRun()->isEnabled(), autoRunEnabled);
  QVERIFY(ui.TextFilename()->text().isEmpty());
  QVERIFY(ui.lblDone()->isHidden());
  QVERIFY(!ui.Timer1()->isActive());

  ui.Select(QString());  // the dialog shows the picked machine's settings
  QCOMPARE(ui.last_dialog.title, title);
  QCOMPARE(ui.last_dialog.default_extension, extension);
  QCOMPARE(ui.last_dialog.filter, filter);
}

void MainWindowTest::machinePickKeepsGenerateEnabled() {
  WindowDriver ui;
  ui.Select("/tmp/GAME.P");
  QVERIFY(ui.cmdGenerate()->isEnabled());
  QVERIFY(ui.RamSize()->isEnabled());

  ui.PickMachine(0);
  QVERIFY(ui.TextFilename()->text().isEmpty());
  QCOMPARE(ui.RamEntries(), QStringList({"1K", "3K", "16K"}));
  QVERIFY(ui.cmdGenerate()->isEnabled());
  QVERIFY(ui.RamSize()->isEnabled());

  // The converter then receives the empty name and refuses it.
  ui.converters.generate_result = false;
  ui.Generate();
  QCOMPARE(ui.converters.LastCall().function, std::string("GenerateZX80Cartridge"));
  QCOMPARE(ui.converters.LastCall().argument, std::string());
  QCOMPARE(ui.lblDone()->text(), QString("Error!"));
}

void MainWindowTest::exitEnds() {
  WindowDriver ui;
  ui.Select("/tmp/GAME.P");
  ui.Generate();
  QVERIFY(ui.Timer1()->isActive());
  QTest::mouseClick(ui.cmdExit(), Qt::LeftButton);
  QCOMPARE(ui.program_ends, 1);
  QVERIFY(!ui.Timer1()->isActive());
}

void MainWindowTest::closingWhileDoneShownEnds() {
  WindowDriver ui;
  ui.Select("/tmp/GAME.P");
  ui.Generate();
  QVERIFY(ui.lblDone()->isVisible());
  QVERIFY(ui.window->close());
  QCOMPARE(ui.program_ends, 1);
  QVERIFY(!ui.Timer1()->isActive());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
