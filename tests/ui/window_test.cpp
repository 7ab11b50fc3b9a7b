// SPDX-License-Identifier: GPL-3.0-or-later
// The window over a converters double, its Qt dialogs, folders, command line and desktop entry;
// last, a tape dropped on the window over the real converters.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "cartridge/error.h"
#include "inspection/converters.h"
#include "inspection/machine.h"
#include "support/tape_files.h"
#include "support/temp_dir.h"
#include "tape/emulated_tape_capture.h"
#include "ui/command_line.h"
#include "ui/machine_table.h"
#include "ui/main_window.h"
#include "ui/open_file_dialog.h"
#include "ui/qt_host.h"
#include "ui/window_folders.h"

using quillfen::testing::TempDir;
using Entries = QStringList;
using Path = std::filesystem::path;

namespace {

/// Answers scripted values; records each call as "function path-or-name RAM-bytes auto-run".
class ScriptedConverters : public quillfen::Converters {
 public:
  bool load_result = true;
  bool auto_runs = false;
  std::int32_t length = 500;  // of ZX81 and ZX80 programs alike
  bool generate_result = true;
  std::function<void(const std::string& call)> during_call;  // may throw, as a converter can
  std::vector<std::string> calls;
  quillfen::SnapshotState snapshot{quillfen::Bytes(quillfen::kSnapshotRamLength, 0x01)};

  bool LoadZX80Program(const Path& path) override { return Record(__func__, path) && load_result; }
  bool LoadZX81Program(const Path& path) override { return Record(__func__, path) && load_result; }
  bool LoadSnapshot(const Path& path) override { return Record(__func__, path) && load_result; }
  const quillfen::SnapshotState& Snapshot() const override { return snapshot; }
  quillfen::LoadFailure LastLoadFailure(quillfen::Machine) const override {
    return {quillfen::LoadFailureKind::kTruncated, "truncated: scripted"};
  }
  quillfen::spectrum::SnapshotKind SnapshotKindLoaded() const override {
    return quillfen::spectrum::SnapshotKind::kZ80;
  }
  bool ZX81ProgramAutoRuns() override { return Record(__func__) && auto_runs; }
  std::int32_t ZX81ProgramLength() override { return Record(__func__) ? length : 0; }
  std::int16_t ZX80ProgramLength() override {
    return Record(__func__) ? static_cast<std::int16_t>(length) : 0;
  }
  bool GenerateZX80Cartridge(const std::string& name, std::int32_t& ram,
                             std::int16_t run) override {
    return Record(__func__, name, ram, run) && generate_result;
  }
  bool GenerateZX81Cartridge(const std::string& name, std::int32_t& ram,
                             std::int16_t run) override {
    return Record(__func__, name, ram, run) && generate_result;
  }
  bool GenerateSpectrumCartridge(const std::string& name, std::int32_t& ram) override {
    return Record(__func__, name, ram) && generate_result;
  }

 private:
  template <typename... Numbers>
  bool Record(const char* function, const std::string& argument = "", Numbers... numbers) {
    // Appended piece by piece: GCC 12 sees a false overlap in `" " + std::to_string(n)`.
    std::string call = std::string(function) + ' ' + argument;
    ((call += ' ', call += std::to_string(numbers)), ...);
    calls.push_back(call);
    if (during_call) during_call(calls.back());
    return true;
  }
};

/// Drags `paths` onto `window` and drops them; true when the window accepted the drag.
bool Drop(QWidget& window, const QStringList& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
  data.setUrls(urls);
  const QPoint middle = window.rect().center();
  QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  return enter.isAccepted();
}

/// The window over the double, a file dialog that answers `next_path`, an end that only counts.
struct WindowDriver {
  ScriptedConverters converters;
  quillfen::QtHost host;
  QString next_path;
  quillfen::DialogSettings last_dialog;  // as the file dialog was last given them
  int program_ends = 0;
  std::unique_ptr<quillfen::UI> window = std::make_unique<quillfen::UI>(converters, host);

  WindowDriver() {
    window->SetFileDialog([this](QWidget*, const quillfen::DialogSettings& settings) {
      last_dialog = settings;
      return next_path;
    });
    window->SetEndProgram([this] { ++program_ends; });
  }

  template <typename Control>
  Control* Find(const char* name) const {
    auto* control = window->findChild<Control*>(QString::fromLatin1(name));
    if (control == nullptr) qFatal("no control named %s", name);
    return control;
  }
  QComboBox* MachineType() const { return Find<QComboBox>("MachineType"); }
  QComboBox* RamSize() const { return Find<QComboBox>("RamSize"); }
  QLabel* RAMSizeLabel() const { return Find<QLabel>("RAMSizeLabel"); }
  QCheckBox* chkAutoRun() const { return Find<QCheckBox>("chkAutoRun"); }
  QLineEdit* TextFilename() const { return Find<QLineEdit>("TextFilename"); }
  QPushButton* cmdSelect() const { return Find<QPushButton>("cmdSelect"); }
  QPushButton* cmdGenerate() const { return Find<QPushButton>("cmdGenerate"); }
  QLabel* lblDone() const { return Find<QLabel>("lblDone"); }
  QTimer* Timer1() const { return Find<QTimer>("Timer1"); }

  void PickMachine(int index) {
    MachineType()->setCurrentIndex(index);
    emit MachineType()->activated(index);
  }
  /// Presses "..." with the dialog answering `path` (empty: cancelled).
  void Select(const QString& path) {
    next_path = path;
    QTest::mouseClick(cmdSelect(), Qt::LeftButton);
  }
  void Generate() { QTest::mouseClick(cmdGenerate(), Qt::LeftButton); }
  bool Drop(const QStringList& paths) { return ::Drop(*window, paths); }
  /// A program selected on `machine` and generated, "Done!" showing.
  void Prepare(int machine) {
    PickMachine(machine);
    Select("/tmp/GAME.P");
    Generate();
  }

  static Entries EntriesOf(const QComboBox* list) {
    Entries entries;
    for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
    return entries;
  }
  Entries RamEntries() const { return EntriesOf(RamSize()); }
  /// "...", Generate and the machine list disabled and the wait cursor showing.
  bool Busy() const {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor && !cmdSelect()->isEnabled() &&
           !cmdGenerate()->isEnabled();
  }
  /// "..." and the machine list usable again, no busy cursor.
  bool Idle() const {
    return cmdSelect()->isEnabled() && MachineType()->isEnabled() &&
           QApplication::overrideCursor() == nullptr;
  }
};

/// Sets the busy cursor and runs `answer` on the box once open; it closes the box before checking.
void AnswerBox(std::function<void(QMessageBox&)> answer, bool set_busy_cursor = true) {
  if (set_busy_cursor) QApplication::setOverrideCursor(Qt::WaitCursor);
  QTimer::singleShot(0, [answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return AnswerBox(answer, false);
    answer(*box);
  });
}

/// Whether the busy cursor was put back after the modal window; lifts it.
bool CursorPutBack() {
  const QCursor* cursor = QApplication::overrideCursor();
  const bool busy = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
  while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  return busy;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startState() {
    WindowDriver ui;
    QCOMPARE(ui.window->windowTitle(), QString(" ZX Interface 2 ROM Quillfen V1.01"));
    QVERIFY(ui.window->isVisible());
    QVERIFY(ui.window->minimumSize() == QSize(306, 109) &&  // 4590 x 1635 twips, fixed
            ui.window->maximumSize() == ui.window->minimumSize());
    QCOMPARE(ui.EntriesOf(ui.MachineType()), Entries({"ZX80", "ZX81", "ZX Spectrum"}));
    QCOMPARE(ui.MachineType()->currentText(), QString("ZX81"));
    QVERIFY(!ui.RamSize()->isEnabled() && !ui.RAMSizeLabel()->isEnabled());
    QVERIFY(!ui.chkAutoRun()->isChecked() && !ui.chkAutoRun()->isEnabled());
    QVERIFY(ui.TextFilename()->text().isEmpty() && ui.Idle() && !ui.cmdGenerate()->isEnabled());
    QVERIFY(ui.lblDone()->isHidden() && ui.Timer1()->isSingleShot());
    QCOMPARE(ui.Timer1()->interval(), 2000);  // "Done!" stays two seconds
  }

  // A QIcon of a resource the linker dropped is not null but draws nothing: compare each size.
  void iconCarriesEveryShippedSize() {
    const QIcon icon = WindowDriver().window->windowIcon();
    const QFileInfoList shipped =
        QDir(QUILLFEN_PACKAGING_FOLDER "/icons").entryInfoList({"quillfen-*.png"}, QDir::Files);
    QVERIFY(!shipped.isEmpty() && icon.availableSizes().size() == shipped.size());
    const auto premultiplied = [](const QImage& image) {  // as a pixmap holds it
      return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    for (const QFileInfo& file : shipped) {
      const QImage image = premultiplied(QImage(file.filePath()));
      QVERIFY2(premultiplied(icon.pixmap(image.size()).toImage()) == image,
               qPrintable(file.fileName()));
    }
  }

  // A pick, made with a program and "Done!" shown on another machine, applies its machine's facts.
  void machinePick() {
    WindowDriver ui;
    ui.Prepare(2);
    ui.PickMachine(0);
    QCOMPARE(ui.RamEntries(), Entries({"1K", "3K", "16K"}));
    QCOMPARE(ui.RamSize()->currentText(), QString("16K"));
    QVERIFY(ui.chkAutoRun()->isChecked() && ui.chkAutoRun()->isEnabled());
    QVERIFY(ui.TextFilename()->text().isEmpty() && ui.TextFilename()->toolTip().isEmpty());
    QVERIFY(ui.lblDone()->isHidden() && ui.cmdGenerate()->isEnabled());  // Generate stays
    QCOMPARE(ui.window->CurrentDialogSettings().title, QString("Generate ZX80 ROM Cartridge"));
    QCOMPARE(ui.window->CurrentDialogSettings().default_extension, QString("P80"));
  }

  void exitAndCloseEnd() {
    WindowDriver ui;
    ui.Prepare(1);
    QTest::mouseClick(ui.Find<QPushButton>("cmdExit"), Qt::LeftButton);
    QVERIFY(ui.program_ends == 1 && !ui.Timer1()->isActive());
    QVERIFY(ui.window->close() && ui.program_ends == 2);
  }

  // The window shows the RAM offer (a lone entry disabled); Generate passes the name, the last
  // entry (not the one offered first) and the toggled auto-run box.
  void ramOfferAndGenerateCall() {
    for (const auto& [machine, length, entries, call] :
         {std::tuple{1, 970, Entries{"1K", "4K", "16K"}, "GenerateZX81Cartridge GAME 16384 1"},
          std::tuple{0, 976, Entries{"1K", "3K", "16K"}, "GenerateZX80Cartridge GAME 16384 0"},
          std::tuple{2, 500, Entries{"48K"}, "GenerateSpectrumCartridge GAME 49152"}}) {
      WindowDriver ui;
      ui.PickMachine(machine);
      ui.converters.length = length;
      ui.Select("/tmp/game");  // passed on as shown, in upper case
      QCOMPARE(ui.RamEntries(), entries);
      QVERIFY(ui.RamSize()->isEnabled() == (entries.size() > 1) &&
              ui.RAMSizeLabel()->isEnabled() == (entries.size() > 1));
      ui.RamSize()->setCurrentIndex(ui.RamSize()->count() - 1);
      ui.chkAutoRun()->toggle();
      ui.Generate();
      QCOMPARE(ui.converters.calls.back(), std::string(call));
    }
  }

  // The reader opens the path as chosen while the window is busy; the name is shown in upper
  // case; the auto-run box follows an auto-running and then another ZX81 program.
  void selectionAndAutoRunBox() {
    WindowDriver ui;
    bool busy = false;
    ui.converters.during_call = [&](const auto&) {
      busy = ui.Busy() && !ui.MachineType()->isEnabled();
    };
    ui.converters.auto_runs = true;
    ui.Select("/tmp/Some.Folder/runs.p");
    QCOMPARE(ui.converters.calls.front(), "LoadZX81Program /tmp/Some.Folder/runs.p");
    QVERIFY(busy && ui.Idle() && ui.cmdGenerate()->isEnabled());
    QVERIFY(ui.TextFilename()->text() == "RUNS.P" && ui.chkAutoRun()->isChecked() &&
            !ui.chkAutoRun()->isEnabled());
    ui.converters.auto_runs = false;
    ui.Select("/tmp/WAITS.P");
    QVERIFY(!ui.chkAutoRun()->isChecked() && ui.chkAutoRun()->isEnabled());
  }

  // After a generation: a refused or empty program keeps its name, the reason as tooltip; an error
  // while reading, a length beyond 16 bits or a cancelled dialog empties the field. Either way
  // Generate stays off and the RAM entries stay.
  void refusedFailedOrCancelledSelection() {
    for (const auto& [machine, name, loads, length, failing, shown] :
         {std::tuple{0, "bad.o", false, 500, "-", true},
          std::tuple{1, "empty.p", true, 0, "-", true}, std::tuple{1, "", true, 500, "-", false},
          std::tuple{1, "BAD.P", true, 500, "LoadZX81Program", false},
          std::tuple{1, "BAD.P", true, 40000, "-", false}}) {
      const QByteArray row = QString("%1 %2").arg(name).arg(length).toLatin1();
      WindowDriver ui;
      ui.Prepare(machine);
      const Entries entries = ui.RamEntries();
      ui.converters.load_result = loads;
      ui.converters.length = length;
      ui.converters.during_call = [failing = std::string(failing)](const auto& call) {
        if (call.starts_with(failing + " ")) quillfen::ThrowError("NXTLIN out of range");
      };
      ui.Select(*name ? QString("/tmp/") + name : QString());
      QVERIFY2(ui.TextFilename()->text() == (shown ? QString(name).toUpper() : QString()), row);
      QVERIFY2(ui.TextFilename()->toolTip().isEmpty() != shown && ui.lblDone()->isHidden(), row);
      QVERIFY2(!ui.cmdGenerate()->isEnabled() && ui.Idle() && !ui.RAMSizeLabel()->isEnabled(), row);
      QVERIFY2(!ui.RamSize()->isEnabled() && ui.RamEntries() == entries, row);
    }
  }

  // "Error!" or "Done!" for one timer period, tooltips naming the image written; a new run hides
  // it at once and runs busy. An exception leaving a converter shows "Error!" too.
  void indicatorLifecycle() {
    WindowDriver ui;
    ui.Select("/tmp/Some.Folder/game.p");
    ui.converters.generate_result = false;
    ui.Generate();
    QVERIFY(ui.lblDone()->isVisible() && ui.lblDone()->text() == "Error!");
    QVERIFY(ui.lblDone()->toolTip().isEmpty() && ui.TextFilename()->toolTip().isEmpty());
    // Opaque and on top in the credit's place, it covers the credit instead of overlapping it.
    QVERIFY(ui.window->childAt(ui.lblDone()->geometry().center()) == ui.lblDone() &&
            ui.lblDone()->autoFillBackground());
    ui.Timer1()->setInterval(50);
    QTRY_VERIFY(ui.lblDone()->isHidden());
    ui.Generate();
    bool reset = false, busy = false;
    ui.converters.during_call = [&](const auto&) {
      reset = ui.lblDone()->isHidden() && ui.lblDone()->text() == "Done!";
      busy = ui.Busy();
    };
    ui.converters.generate_result = true;
    ui.Generate();
    QVERIFY(reset && busy && ui.lblDone()->isVisible() && ui.lblDone()->text() == "Done!");
    QVERIFY(ui.Idle() && ui.cmdGenerate()->isEnabled());
    const QString written = QApplication::applicationDirPath() + "/GAME.bin";
    QVERIFY(ui.lblDone()->toolTip() == written && ui.TextFilename()->toolTip() == written);
    ui.converters.during_call = [](const auto&) { throw std::bad_alloc(); };
    ui.Generate();
    QVERIFY(ui.lblDone()->isVisible() && ui.lblDone()->text() == "Error!");
    QVERIFY(ui.Idle() && ui.cmdGenerate()->isEnabled() && ui.lblDone()->toolTip().isEmpty());
  }

  // A file dropped or named on the command line picks its machine by extension and is selected
  // from the current folder; an unknown extension keeps the machine, whose reader decides.
  void droppedOrNamedFileSelectsMachineAndProgram() {
    TempDir temp;
    for (const auto& [name, drop, machine, loads, reader] :
         {std::tuple{"game.o", true, 0, true, "LoadZX80Program"},
          std::tuple{"GAME.P81", true, 1, true, "LoadZX81Program"},
          std::tuple{"game.sna", false, 2, true, "LoadSnapshot"},
          std::tuple{"/tmp/notes.txt", false, 0, false, "LoadZX80Program"}}) {
      WindowDriver ui;
      ui.Prepare(loads ? (machine + 1) % 3 : machine);
      const auto first_call = ui.converters.calls.size();
      ui.converters.load_result = loads;
      QString path = name;
      if (drop) {
        path = QString::fromStdString(temp.Write(name, {0}).string());
        QVERIFY(ui.Drop({path}));
      } else {
        ui.window->OpenProgramFile(path);
      }
      QCOMPARE(ui.MachineType()->currentIndex(), machine);
      QCOMPARE(QString::fromStdString(ui.converters.calls.at(first_call)),
               reader + (' ' + QDir::current().absoluteFilePath(path)));
      QVERIFY(ui.lblDone()->isHidden() && ui.cmdGenerate()->isEnabled() == loads && ui.Idle());
    }
  }

  // Unknown extension, two files, a folder, and any file during a generation.
  void unsuitableDropsIgnored() {
    TempDir temp;
    for (const char* name : {"notes.txt", "one.p", "two.p"}) (void)temp.Write(name, {0});
    const auto path = [&temp](const char* name) {
      return QString::fromStdString((temp / name).string());
    };
    QVERIFY(std::filesystem::create_directory(temp / "folder.p"));
    WindowDriver ui;
    ui.Select("/tmp/KEPT.P");
    bool dropped_while_generating = true;
    ui.converters.during_call = [&](const auto& call) {
      if (call.starts_with("Generate")) dropped_while_generating = ui.Drop({path("one.p")});
    };
    ui.Generate();
    QVERIFY(!dropped_while_generating);
    for (const Entries& paths : {Entries{path("notes.txt")}, Entries{path("one.p"), path("two.p")},
                                 Entries{path("folder.p")}})
      QVERIFY2(!ui.Drop(paths), qPrintable(paths.join(' ')));
    QCOMPARE(ui.converters.calls.size(), std::size_t{4});  // the selection and the generation
    QCOMPARE(ui.TextFilename()->text(), QString("KEPT.P"));
  }

  // Lower-case patterns are added, as names on this system distinguish case.
  void fileDialogFilterInQtSyntax() {
    QCOMPARE(
        quillfen::QtNameFilters(quillfen::Latin1(quillfen::kMachineTable[1].Facts().dialog_filter)),
        Entries({"All ZX81 Programs (*.P81 *.P *.81 *.p81 *.p)", "ZX81 Programs (*.P81 *.p81)",
                 "ZX81 Programs (*.P *.p)", "ZX81 Programs (*.81)"}));
  }

  // Every extension a dialog offers is globbed in the shipped types the desktop entry names, so
  // that a file manager opens such a file with `quillfen FILE`.
  void desktopEntryOpensEveryOfferedExtension() {
    const auto captured = [](const char* name, const char* pattern) {
      QFile file(QStringLiteral(QUILLFEN_PACKAGING_FOLDER "/") + name);
      if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", name);
      QSet<QString> found;
      for (const auto& match : QRegularExpression(pattern, QRegularExpression::MultilineOption)
                                   .globalMatch(QString::fromUtf8(file.readAll())))
        for (const QString& item : match.captured(1).toLower().split(';', Qt::SkipEmptyParts))
          found << item;
      return found;
    };
    QCOMPARE(captured("quillfen.desktop", "^Exec=(.*)$"), QSet<QString>{"quillfen %f"});
    QCOMPARE(captured("quillfen.desktop", "^MimeType=(.*)$"),
             captured("quillfen.xml", "<mime-type type=\"([^\"]+)\""));
    const QSet<QString> globs = captured("quillfen.xml", "<glob pattern=\"([^\"]+)\"");
    for (const quillfen::MachineSettings& machine : quillfen::kMachineTable) {
      for (const QString& pattern :  // "All ZX81 Programs (...)|*.P81;*.P;*.81|..."
           quillfen::Latin1(machine.Facts().dialog_filter).section('|', 1, 1).split(';'))
        QVERIFY2(globs.contains(pattern.toLower()), qPrintable(pattern));
    }
  }

  void hostErrorBox() {
    AnswerBox([](QMessageBox& box) {
      const bool cursor_lifted = QApplication::overrideCursor() == nullptr;
      box.close();
      QCOMPARE(box.windowTitle() + ": " + box.text(), QString("Error: Program is too large"));
      QCOMPARE(box.detailedText(), QString("why\nand where"));
      QVERIFY(box.icon() == QMessageBox::NoIcon && box.standardButtons() == QMessageBox::Ok &&
              cursor_lifted);
    });
    quillfen::QtHost().ShowError("Program is too large", "why\nand where");
    QVERIFY(CursorPutBack());
  }

  // Images and the dialog use the executable's folder while it takes new files (portable), else
  // the program's folder, the dialog home until one is chosen; ROMs are looked for there first.
  void foldersFallBackFromTheExecutables() {
    TempDir temp;
    const Path program = (temp / "games") / "GAME.P";
    std::filesystem::create_directory(temp / "games");
    const Path not_a_folder = temp.Write("quillfen", {0});
    const Path home = temp / "home";
    for (const auto& [executable_folder, chosen, image_folder, dialog_folder] :
         {std::tuple{temp.path(), program, temp.path(), temp.path()},
          std::tuple{not_a_folder, program, temp / "games", temp / "games"},
          std::tuple{temp / "missing", Path(), temp / "missing", home}}) {
      QCOMPARE(quillfen::ImageFolder(executable_folder, chosen), image_folder);
      QCOMPARE(quillfen::DialogFolder(executable_folder, chosen, home), dialog_folder);
    }
    // The probe leaves nothing behind.
    QCOMPARE(QDir(QString::fromStdString(temp.path().string())).entryList(QDir::Files).size(), 1);
    WindowDriver ui;
    ui.Select(QString());
    QCOMPARE(ui.last_dialog.folder, QApplication::applicationDirPath());
    QCOMPARE(ui.host.RomFolders().front(), Path(QApplication::applicationDirPath().toStdString()));
  }

  // Yes, No, and closing the box, which counts as Cancel.
  void cartridgeSizeQuestion() {
    using quillfen::Host;
    for (const auto& [button, answer] : {std::pair{QMessageBox::Yes, Host::Answer::Yes},
                                         std::pair{QMessageBox::No, Host::Answer::No},
                                         std::pair{QMessageBox::NoButton, Host::Answer::Cancel}}) {
      AnswerBox([button = button](QMessageBox& box) {  // clang 14 cannot capture a binding
        const bool cursor_lifted = QApplication::overrideCursor() == nullptr;
        const auto default_button = box.standardButton(box.defaultButton());
        QAbstractButton* clicked = box.button(button);
        clicked != nullptr ? clicked->click() : (void)box.close();
        QCOMPARE(box.windowTitle() + ": " + box.text(), QString("Cartridge Size: Make 16K?"));
        QVERIFY(box.icon() == QMessageBox::Question && default_button == QMessageBox::Yes &&
                box.standardButton(box.escapeButton()) == QMessageBox::Cancel && cursor_lifted);
        QCOMPARE(box.standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      });
      QVERIFY(quillfen::QtHost().AskCartridgeSize("Make 16K?") == answer);
      QVERIFY(CursorPutBack());
    }
  }

  // --help and --version are answered before any window, Qt's own options still among the
  // arguments; the licence lines after the copyright are checked word for word in tests/cli.
  void commandLineAnswers() {
    const QString version = "quillfen 1.01\nCopyright (C) 2026 the Quillfen developers\n";
    for (const auto& [arguments, answer] :
         {std::pair{QStringList{"quillfen", "-platform", "offscreen", "--version"}, version},
          {QStringList{"quillfen", "--help-all"}, QString()}}) {
      const std::optional<QString> given = quillfen::CommandLineAnswer(arguments);
      QVERIFY2(given.has_value() != answer.isNull() && given.value_or("").startsWith(answer),
               qPrintable(arguments.join(' ')));
    }
    const QString help = quillfen::CommandLineAnswer({"quillfen", "-h"}).value_or("");
    QVERIFY(help.startsWith("Usage: ") && help.contains("[file]") && help.contains("--version"));
  }

  // The file to select, or the usage error to report.
  void commandLineProgramFileOrUsageError() {
    for (const auto& [arguments, outcome] :
         {std::pair{QStringList{"quillfen"}, "file "},
          {QStringList{"quillfen", "/home/me/GAME.P"}, "file /home/me/GAME.P"},
          {QStringList{"quillfen", "A.P", "B.P"},
           "error Only one program file can be selected; 2 were named."},
          {QStringList{"quillfen", "--frobnicate", "A.P"}, "error Unknown option 'frobnicate'."}}) {
      QString reported;
      const std::optional<QString> chosen = quillfen::WindowProgramFile(arguments, reported);
      QCOMPARE(chosen ? "file " + *chosen : "error " + reported, QString(outcome));
    }
  }

  // Over the real converters with the tape loader installed as main() installs it, a dropped
  // tape loads (the test ROM from the user's data folder) while the window processes its events.
  void droppedTapeLoadsAndEnablesGenerate() {
    namespace testing = quillfen::testing;
    const TempDir data;
    std::filesystem::create_directory(data / "quillfen");
    data.Write("quillfen/SPECTRUM_ROM.bin", testing::TheTestRom().image);
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    const testing::TestProgram program = testing::MakeTestProgram({});
    const auto length = static_cast<std::uint16_t>(program.code.size());
    const quillfen::Bytes tape = testing::MakeTapFile(
        {testing::TapeData(0x00, testing::CodeHeader("rocket", length, testing::kProgramStart)),
         testing::TapeData(0xFF, program.code)});
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
    QVERIFY(Drop(window, {QString::fromStdString(data.Write("game.tap", tape).string())}));
    QCOMPARE(window.findChild<QComboBox*>("MachineType")->currentIndex(), 2);
    QVERIFY(window.findChild<QPushButton*>("cmdGenerate")->isEnabled() && yields > 0);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(converters.Snapshot().PC, program.loop);
    unsetenv("XDG_DATA_HOME");
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
