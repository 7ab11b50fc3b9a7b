// SPDX-License-Identifier: GPL-3.0-or-later
// The window over the real converters with the tape loader installed as main() installs it: a
// tape dropped on it loads (SPECTRUM_ROM.bin, here the test ROM, from the user's data folder),
// letting the window process its events while it plays, and enables Generate.

#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <cstdlib>
#include <filesystem>

#include "inspection/converters.h"
#include "support/tape_files.h"
#include "support/temp_dir.h"
#include "tape/emulated_tape_capture.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"

namespace {

using quillfen::Bytes;
namespace testing = quillfen::testing;

bool Drop(QWidget& window, const QString& path) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  const QPoint middle = window.rect().center();
  QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  return enter.isAccepted();
}

}  // namespace

class TapeWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void droppedTapeLoadsAndEnablesGenerate() {
    const testing::TempDir data;
    std::filesystem::create_directory(data / "quillfen");
    data.Write("quillfen/SPECTRUM_ROM.bin", testing::TheTestRom().image);
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    const testing::TestProgram program = testing::MakeTestProgram({});
    const Bytes tape = testing::MakeTapFile(
        {testing::TapeData(0x00, testing::CodeHeader("rocket",
                                                     static_cast<std::uint16_t>(program.code.size()),
                                                     testing::kProgramStart)),
         testing::TapeData(0xFF, program.code)});
    for (const auto& [name, file, loads] : {std::tuple{"game.tap", tape, true},
                                            std::tuple{"noise.tap", Bytes{1, 2, 3}, false}}) {
      quillfen::QtHost host;
      int yields = 0;
      quillfen::tape::EmulatedTapeCapture capture(
          {}, [&](const std::string&, const quillfen::tape::TapeProgress&) {
            ++yields;
            host.YieldToWindow();
          });
      quillfen::MachineConverters converters(host);
      converters.InstallTapeCapture(capture);
      quillfen::UI window(converters, host);
      QVERIFY(Drop(window, QString::fromStdString(data.Write(name, file).string())));
      auto* generate = window.findChild<QPushButton*>(QStringLiteral("cmdGenerate"));
      QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("MachineType"))->currentIndex(), 2);
      QCOMPARE(generate->isEnabled(), loads);
      QCOMPARE(yields > 0, loads);
      QVERIFY(QApplication::overrideCursor() == nullptr);
      if (loads) {
        QCOMPARE(converters.TapeLoaded()->blocks.size(), std::size_t{2});
        QCOMPARE(converters.Snapshot().PC, program.loop);
      } else {
        QVERIFY(window.findChild<QLineEdit*>(QStringLiteral("TextFilename"))
                    ->toolTip()
                    .startsWith(QStringLiteral("libspectrum")));
      }
    }
  }
};

QTEST_MAIN(TapeWindowTest)
#include "tape_window_test.moc"
