// SPDX-License-Identifier: GPL-3.0-or-later
// Program selection: asks for a program file, has it inspected, and shows what it offers (shown
// name, RAM offer, auto-run box, Generate; the reason as the name's tooltip when it is refused).

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <exception>
#include <filesystem>
#include <string>

#include "cartridge/error.h"
#include "cartridge/file_names.h"
#include "inspection/program_inspection.h"
#include "ui/main_window.h"
#include "ui/window_folders.h"

namespace quillfen {
QString UI::AskForFileName() {
  try {
    DialogSettings settings = dialog_settings_;
    settings.folder = QFile::decodeName(
        DialogFolder(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(),
                     host_.ProgramFile(), QFile::encodeName(QDir::homePath()).toStdString())
            .c_str());
    return file_dialog_(this, settings);
  } catch (const std::exception&) {
    return QString();
  }
}

bool UI::SelectProgram(const std::function<QString()>& choose_path) {
  try {
    ResetDoneIndicator();
    RamSize->setEnabled(false);
    RAMSizeLabel->setEnabled(false);
    TextFilename->setText(QString());
    busy_cursor_.SetBusy();
    const QString path = choose_path();
    if (path.isEmpty()) return false;
    cmdSelect->setEnabled(false);
    host_.SetProgramFile(QFile::encodeName(path).toStdString());
    // The file is opened by the path as chosen; its name is shown, tested and passed on in
    // upper case.
    const std::string name = ToUpperAscii(BareFileName(QFile::encodeName(path).toStdString()));
    TextFilename->setText(QFile::decodeName(QByteArray::fromStdString(name)));
    const ProgramInspection inspection =
        InspectProgram(converters_, SelectedMachine(), QFile::encodeName(path).toStdString(),
                       host_.RomFolders());
    busy_cursor_.SetDefault();
    if (inspection.raised) ThrowError(inspection.refusal);
    if (!inspection.refusal.empty()) {
      // Refused: the name stays shown, with the reason as its tooltip, and Generate stays
      // disabled.
      ResetDoneIndicator();
      TextFilename->setToolTip(QString::fromStdString(inspection.refusal));
      return false;
    }
    ShowAutoRunBox(inspection);
    ShowRamOffer(inspection.ram_offer);
    cmdGenerate->setEnabled(true);
    return true;
  } catch (const std::exception&) {
    RamSize->setEnabled(false);
    RAMSizeLabel->setEnabled(false);
    TextFilename->setText(QString());
    return false;
  }
}

void UI::ShowAutoRunBox(const ProgramInspection& inspection) {
  if (inspection.machine == Machine::Spectrum) return;  // a snapshot has no auto-run
  if (inspection.auto_run_tick_from_program) chkAutoRun->setChecked(inspection.auto_run_ticked);
  chkAutoRun->setEnabled(inspection.auto_run_enabled);
}

void UI::ShowRamOffer(const RamOffer& offer) {
  RamSize->clear();
  for (const std::string& entry : offer.entries) RamSize->addItem(QString::fromStdString(entry));
  RamSize->setCurrentIndex(offer.selected);
  RamSize->setEnabled(offer.enabled);
  RAMSizeLabel->setEnabled(offer.enabled);
}

}  // namespace quillfen
