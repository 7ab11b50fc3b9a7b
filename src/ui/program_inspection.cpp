// SPDX-License-Identifier: GPL-3.0-or-later
// Program inspection: asks for a program file, has the machine's reader load and check it, and
// prepares the window for generation (shown name, RAM offer, auto-run box, Generate).

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
#include <limits>
#include <optional>
#include <string>

#include "cartridge/error.h"
#include "cartridge/file_names.h"
#include "ui/main_window.h"
#include "ui/window_folders.h"

namespace quillfen {
namespace {

/// The RAM offer for a program of `length` bytes; none for an empty program, which is refused.
std::optional<RamOffer> OfferForLength(std::int16_t length, RamOffer (*offer)(std::int16_t)) {
  if (length == 0) return std::nullopt;
  return offer(length);
}

}  // namespace

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
    if (!LoadProgram(path)) {
      // Refused: the name stays shown and Generate stays disabled.
      ResetDoneIndicator();
      busy_cursor_.SetDefault();
      return false;
    }
    const std::optional<RamOffer> offer = InspectLoadedProgram();
    busy_cursor_.SetDefault();
    if (!offer) return false;
    ShowRamOffer(*offer);
    cmdGenerate->setEnabled(true);
    return true;
  } catch (const std::exception&) {
    RamSize->setEnabled(false);
    RAMSizeLabel->setEnabled(false);
    TextFilename->setText(QString());
    return false;
  }
}

bool UI::LoadProgram(const QString& path) {
  const std::filesystem::path file = QFile::encodeName(path).toStdString();
  switch (SelectedMachine()) {
    case Machine::ZX80:
      return converters_.LoadZX80Program(file);
    case Machine::ZX81:
      return converters_.LoadZX81Program(file);
    case Machine::Spectrum:
      return converters_.LoadSnapshot(file);
  }
  return false;
}

std::optional<RamOffer> UI::InspectLoadedProgram() {
  switch (SelectedMachine()) {
    case Machine::ZX80:
      chkAutoRun->setEnabled(true);
      return OfferForLength(converters_.ZX80ProgramLength(), ZX80RamOffer);
    case Machine::ZX81: {
      const bool auto_runs = converters_.ZX81ProgramAutoRuns();
      chkAutoRun->setChecked(auto_runs);
      chkAutoRun->setEnabled(!auto_runs);
      const std::int32_t length = converters_.ZX81ProgramLength();
      if (length < std::numeric_limits<std::int16_t>::min() ||
          length > std::numeric_limits<std::int16_t>::max())
        ThrowError("SelectProgram: program length " + std::to_string(length) + " is out of range");
      return OfferForLength(static_cast<std::int16_t>(length), ZX81RamOffer);
    }
    case Machine::Spectrum:
      return SpectrumRamOffer();
  }
  return std::nullopt;
}

void UI::ShowRamOffer(const RamOffer& offer) {
  RamSize->clear();
  for (const std::string& entry : offer.entries) RamSize->addItem(QString::fromStdString(entry));
  RamSize->setCurrentIndex(offer.selected);
  RamSize->setEnabled(offer.enabled);
  RAMSizeLabel->setEnabled(offer.enabled);
}

}  // namespace quillfen
