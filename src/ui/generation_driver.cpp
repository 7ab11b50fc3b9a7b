// SPDX-License-Identifier: GPL-3.0-or-later
// The generation driver: hands the window's choices to the selected machine's converter and
// shows the outcome in the Done indicator for two seconds.

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <exception>

#include "cartridge/file_names.h"
#include "ui/main_window.h"

namespace quillfen {

void UI::cmdGenerate_Click() {
  try {
    ResetDoneIndicator();
    cmdGenerate->setEnabled(false);
    cmdSelect->setEnabled(false);
    busy_cursor_.SetBusy();
    lblDone->hide();
    QCoreApplication::processEvents();  // draws the disabled buttons and the cursor first
    ShowDoneIndicator(RunConverter());
  } catch (const std::exception&) {
    // No image was written, or none that can be trusted: say so as for a refusal rather than
    // leaving the window as if nothing had happened.
    ShowDoneIndicator(false);
  }
  cmdGenerate->setEnabled(true);
  cmdSelect->setEnabled(true);
  busy_cursor_.SetDefault();
}

bool UI::RunConverter() {
  const Machine machine = SelectedMachine();
  const std::string file_name = QFile::encodeName(TextFilename->text()).toStdString();
  std::int32_t ram_size = RamSizeForText(machine, RamSize->currentText().toStdString());
  const std::int16_t auto_run = chkAutoRun->isChecked() ? 1 : 0;
  switch (machine) {
    case Machine::ZX80:
      return converters_.GenerateZX80Cartridge(file_name, ram_size, auto_run);
    case Machine::ZX81:
      return converters_.GenerateZX81Cartridge(file_name, ram_size, auto_run);
    case Machine::Spectrum:
      return converters_.GenerateSpectrumCartridge(file_name, ram_size);
  }
  return false;
}

void UI::ShowDoneIndicator(bool succeeded) {
  // The name alone does not say which folder took the image: both tooltips give its full path.
  const QString written = succeeded ? WrittenImagePath() : QString();
  lblDone->setToolTip(written);
  TextFilename->setToolTip(written);
  if (!succeeded) lblDone->setText(QStringLiteral("Error!"));
  lblDone->show();
  Timer1->start();
}

QString UI::WrittenImagePath() const {
  const std::string file_name = QFile::encodeName(TextFilename->text()).toStdString();
  return QFile::decodeName(host_.OutputPath(OutputNameFor(file_name)).c_str());
}

void UI::ResetDoneIndicator() {
  Timer1->stop();
  lblDone->hide();
  lblDone->setText(QStringLiteral("Done!"));
  cmdSelect->setEnabled(true);
}

void UI::Timer1_Timer() { ResetDoneIndicator(); }

}  // namespace quillfen
