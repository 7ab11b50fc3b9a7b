#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <memory>

#include "ui/main_window.h"
#include "ui/scripted_converters.h"

namespace quillfen::testing {

/// The window over a ScriptedConverters double, with its controls found by name, a file dialog
/// that answers with `next_path` and an end of program that only counts.
struct WindowDriver {
  ScriptedConverters converters;
  QString next_path;
  DialogSettings last_dialog;
  int dialogs_shown = 0;
  int program_ends = 0;
  std::unique_ptr<UI> window;

  WindowDriver() : window(std::make_unique<UI>(converters)) {
    window->SetFileDialog([this](QWidget*, const DialogSettings& settings) {
      ++dialogs_shown;
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
  QPushButton* cmdExit() const { return Find<QPushButton>("cmdExit"); }
  QLabel* lblDone() const { return Find<QLabel>("lblDone"); }
  QTimer* Timer1() const { return Find<QTimer>("Timer1"); }

  /// Picks a machine as the user does.
  void PickMachine(int index) {
    MachineType()->setCurrentIndex(index);
    emit MachineType()->activated(index);
  }
  /// Presses "..." with the dialog answering `path`.
  void Select(const QString& path) {
    next_path = path;
    QTest::mouseClick(cmdSelect(), Qt::LeftButton);
  }
  void Generate() { QTest::mouseClick(cmdGenerate(), Qt::LeftButton); }

  QStringList RamEntries() const {
    QStringList entries;
    for (int i = 0; i < RamSize()->count(); ++i) entries << RamSize()->itemText(i);
    return entries;
  }
};

}  // namespace quillfen::testing
