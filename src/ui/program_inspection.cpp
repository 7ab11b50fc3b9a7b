// Program inspection: asks for a program file, has the machine's reader load and check it, and
// prepares the window for generation (shown name, RAM offer, auto-run box, Generate).

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <exception>
#include <limits>
#include <string>

#include "cartridge/error.h"
#include "cartridge/file_names.h"
#include "ui/main_window.h"

namespace quillfen {

QString UI::AskForFileName() {
  try {
    return file_dialog_(this, dialog_settings_);
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
    // The file is opened by the path as chosen; its name is shown, tested and passed on in
    // upper case.
    const std::string name = ToUpperAscii(BareFileName(QFile::encodeName(path).toStdString()));
    TextFilename->setText(QFile::decodeName(QByteArray::fromStdString(name)));
    bool accepted = false;
    switch (SelectedMachine()) {
      case Machine::Spectrum:
        accepted = InspectSnapshot(path);
        break;
      case Machine::ZX81:
        accepted = InspectZX81Program(path);
        break;
      case Machine::ZX80:
        accepted = InspectZX80Program(path);
        break;
    }
    if (!accepted) return false;
    cmdGenerate->setEnabled(true);
    busy_cursor_.SetDefault();
    return true;
  } catch (const std::exception&) {
    RamSize->setEnabled(false);
    RAMSizeLabel->setEnabled(false);
    TextFilename->setText(QString());
    return false;
  }
}

bool UI::InspectSnapshot(const QString& path) {
  if (!converters_.LoadSnapshot(QFile::encodeName(path).toStdString())) {
    ResetDoneIndicator();
    busy_cursor_.SetDefault();
    return false;
  }
  ShowRamOffer(SpectrumRamOffer());
  return true;
}

bool UI::InspectZX81Program(const QString& path) {
  if (!converters_.LoadZX81Program(QFile::encodeName(path).toStdString())) {
    ResetDoneIndicator();
    busy_cursor_.SetDefault();
    return false;
  }
  const bool auto_runs = converters_.ZX81ProgramAutoRuns();
  chkAutoRun->setChecked(auto_runs);
  chkAutoRun->setEnabled(!auto_runs);
  const std::int32_t length = converters_.ZX81ProgramLength();
  if (length < std::numeric_limits<std::int16_t>::min() ||
      length > std::numeric_limits<std::int16_t>::max())
    ThrowError("SelectProgram: program length " + std::to_string(length) + " is out of range");
  if (length == 0) {
    busy_cursor_.SetDefault();
    return false;
  }
  ShowRamOffer(ZX81RamOffer(static_cast<std::int16_t>(length)));
  return true;
}

bool UI::InspectZX80Program(const QString& path) {
  if (!converters_.LoadZX80Program(QFile::encodeName(path).toStdString())) {
    ResetDoneIndicator();
    busy_cursor_.SetDefault();
    return false;
  }
  chkAutoRun->setEnabled(true);
  const std::int16_t length = converters_.ZX80ProgramLength();
  if (length == 0) {
    busy_cursor_.SetDefault();
    return false;
  }
  ShowRamOffer(ZX80RamOffer(length));
  return true;
}

void UI::ShowRamOffer(const RamOffer& offer) {
  RamSize->clear();
  for (const std::string& entry : offer.entries) RamSize->addItem(QString::fromStdString(entry));
  RamSize->setCurrentIndex(offer.selected);
  RamSize->setEnabled(offer.enabled);
  RAMSizeLabel->setEnabled(offer.enabled);
}

}  // namespace quillfen
