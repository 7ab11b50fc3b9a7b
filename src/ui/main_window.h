// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "inspection/converters.h"
#include "inspection/machine.h"
#include "inspection/program_inspection.h"
#include "inspection/ram_offer.h"
#include "ui/busy_cursor.h"
#include "ui/open_file_dialog.h"
#include "ui/qt_host.h"

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;
class QTimer;

namespace quillfen {

/// The one window: machine, program file, RAM size and auto-run choices, and the buttons that
/// select a program, generate its cartridge image and end the program. It reaches the readers
/// and converters only through `converters`, whose messages `host` shows over this window.
class UI : public QWidget {
  Q_OBJECT

 public:
  /// Runs the file-open dialog; returns the chosen path as chosen, or an empty string.
  using FileDialog = std::function<QString(QWidget* parent, const DialogSettings& settings)>;

  UI(Converters& converters, QtHost& host, QWidget* parent = nullptr);
  ~UI() override;

  /// Replaces the modal file-open dialog (tests answer with a prepared path).
  void SetFileDialog(FileDialog file_dialog) { file_dialog_ = std::move(file_dialog); }
  /// Replaces what ends the program (tests keep their process alive).
  void SetEndProgram(std::function<void()> end_program) { end_program_ = std::move(end_program); }

  /// Opens the program file at `path` as if it had been chosen in the file dialog, after picking
  /// the machine its extension names (an unknown extension keeps the machine, whose reader then
  /// refuses the file).
  void OpenProgramFile(const QString& path);

  /// The dialog settings of the machine picked last.
  const DialogSettings& CurrentDialogSettings() const { return dialog_settings_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private slots:
  void MachineType_Click();
  void cmdSelect_Click();
  void cmdGenerate_Click();
  void cmdExit_Click();
  void Timer1_Timer();

 private:
  void CreateControls();
  void Form_Load();
  void Form_Unload();

  // Program inspection.
  /// Inspects the program whose path `choose_path` returns (empty: nothing chosen) as the
  /// selected machine's and prepares the window for generation. True when Generate was enabled;
  /// false when nothing was chosen, the reader refused the file or an error was raised.
  bool SelectProgram(const std::function<QString()>& choose_path);
  /// The path chosen in the file dialog with the selected machine's settings, or an empty
  /// string when the user cancelled or the dialog failed.
  QString AskForFileName();
  /// Ticks and enables the auto-run box as the inspected program asks.
  void ShowAutoRunBox(const ProgramInspection& inspection);
  void ShowRamOffer(const RamOffer& offer);
  /// "..." and a dropped file: runs SelectProgram with the buttons disabled and the busy cursor.
  void RunSelection(const std::function<QString()>& choose_path);

  // Generation driver.
  /// Back to idle: timer stopped, "Done!" hidden, "..." enabled.
  void ResetDoneIndicator();
  /// Calls the selected machine's generate entry point with the window's choices.
  bool RunConverter();
  /// Shows "Done!" or "Error!" and starts the two-second timer.
  void ShowDoneIndicator(bool succeeded);
  /// The full path of the image the converter has just written for the shown file name.
  QString WrittenImagePath() const;

  // Drag and drop: the one local program or snapshot file being dragged, or an empty string.
  QString DroppableFile(const QMimeData* data) const;

  Machine SelectedMachine() const;

  Converters& converters_;
  QtHost& host_;
  FileDialog file_dialog_;
  std::function<void()> end_program_;
  DialogSettings dialog_settings_;
  BusyCursor busy_cursor_;

  QLabel* Label8 = nullptr;
  QComboBox* MachineType = nullptr;
  QLabel* RAMSizeLabel = nullptr;
  QComboBox* RamSize = nullptr;
  QCheckBox* chkAutoRun = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* TextFilename = nullptr;
  QPushButton* cmdSelect = nullptr;
  QPushButton* cmdGenerate = nullptr;
  QPushButton* cmdExit = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* lblDone = nullptr;
  QTimer* Timer1 = nullptr;
};

}  // namespace quillfen
