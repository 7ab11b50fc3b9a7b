// The converters' outside world in the window: message boxes and the executable's folder.

#include "ui/qt_host.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using quillfen::Host;
using quillfen::QtHost;

namespace {

/// What a message box looked like while it was open.
struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;
  QMessageBox::StandardButton escape_button = QMessageBox::NoButton;
  bool cursor_lifted = false;
};

/// Records the next message box, then closes it with `answer`.
void AnswerBox(SeenBox& seen, std::function<void(QMessageBox&)> answer) {
  QTimer::singleShot(0, [&seen, answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return AnswerBox(seen, answer);
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.buttons = box->standardButtons();
    seen.default_button = box->standardButton(box->defaultButton());
    seen.escape_button = box->standardButton(box->escapeButton());
    seen.cursor_lifted = QApplication::overrideCursor() == nullptr;
    answer(*box);
  });
}

}  // namespace

class QtHostTest : public QObject {
  Q_OBJECT

 private slots:
  void errorBox();
  void cartridgeSizeQuestion_data();
  void cartridgeSizeQuestion();
  void foldersAreTheExecutables();
};

void QtHostTest::errorBox() {
  QtHost host;
  SeenBox seen;
  AnswerBox(seen, [](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
  QApplication::setOverrideCursor(Qt::WaitCursor);
  host.ShowError("Program is too large");
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);  // put back afterwards
  QApplication::restoreOverrideCursor();
  QCOMPARE(seen.title, QString("Error"));
  QCOMPARE(seen.text, QString("Program is too large"));
  QCOMPARE(seen.icon, QMessageBox::NoIcon);
  QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  QVERIFY(seen.cursor_lifted);
}

void QtHostTest::cartridgeSizeQuestion_data() {
  QTest::addColumn<int>("how");
  QTest::addColumn<int>("answer");
  QTest::newRow("Yes") << 0 << static_cast<int>(Host::Answer::Yes);
  QTest::newRow("No") << 1 << static_cast<int>(Host::Answer::No);
  QTest::newRow("Cancel") << 2 << static_cast<int>(Host::Answer::Cancel);
  QTest::newRow("Escape key") << 3 << static_cast<int>(Host::Answer::Cancel);
  QTest::newRow("box closed") << 4 << static_cast<int>(Host::Answer::Cancel);
  QTest::newRow("Return takes the default") << 5 << static_cast<int>(Host::Answer::Yes);
}

void QtHostTest::cartridgeSizeQuestion() {
  QFETCH(int, how);
  QFETCH(int, answer);
  QtHost host;
  SeenBox seen;
  AnswerBox(seen, [how](QMessageBox& box) {
    switch (how) {
      case 0:
        return box.button(QMessageBox::Yes)->click();
      case 1:
        return box.button(QMessageBox::No)->click();
      case 2:
        return box.button(QMessageBox::Cancel)->click();
      case 3:
        return QTest::keyClick(&box, Qt::Key_Escape);
      case 4:
        box.close();
        return;
      default:
        return QTest::keyClick(&box, Qt::Key_Return);
    }
  });
  QCOMPARE(static_cast<int>(host.AskCartridgeSize("Make a 16K cartridge?")), answer);
  QCOMPARE(seen.title, QString("Cartridge Size"));
  QCOMPARE(seen.text, QString("Make a 16K cartridge?"));
  QCOMPARE(seen.icon, QMessageBox::Question);
  QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  QCOMPARE(seen.default_button, QMessageBox::Yes);
  QCOMPARE(seen.escape_button, QMessageBox::Cancel);
}

void QtHostTest::foldersAreTheExecutables() {
  QtHost host;
  const std::filesystem::path folder = QApplication::applicationDirPath().toStdString();
  QCOMPARE(host.RomFolder(), folder);
  QCOMPARE(host.OutputPath("GAME.bin"), folder / "GAME.bin");
}

QTEST_MAIN(QtHostTest)
#include "qt_host_test.moc"
