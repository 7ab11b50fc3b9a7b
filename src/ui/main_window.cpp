// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "ui/machine_table.h"
#include "version.h"

namespace quillfen {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidthTwips = 4590;
constexpr int kClientHeightTwips = 1635;
constexpr int kDoneIndicatorMilliseconds = 2000;
constexpr int kFontPixels = 11;

const char kDesignedTitle[] = " ZX Interface 2 ROM Quillfen";
const char kCredit[] = "Cartridges for the ZX Interface 2";

/// The icon in every size built into the program (each file's size read from the file), so
/// that the desktop picks the one it draws instead of scaling one.
QIcon ApplicationIcon() {
  QIcon icon;
  for (const QFileInfo& file : QDir(QStringLiteral(":/quillfen")).entryInfoList(QDir::Files))
    icon.addFile(file.filePath());
  return icon;
}

template <typename Control>
Control* MakeControl(QWidget* window, const char* name, int left, int top, int width, int height) {
  auto* control = new Control(window);
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                       height / kTwipsPerPixel);
  return control;
}

}  // namespace

UI::UI(Converters& converters, QtHost& host, QWidget* parent)
    : QWidget(parent),
      converters_(converters),
      host_(host),
      file_dialog_(RunOpenFileDialog),
      end_program_([] { QCoreApplication::exit(0); }) {
  host_.SetWindow(this);
  CreateControls();
  Form_Load();
}

UI::~UI() = default;

void UI::CreateControls() {
  setObjectName(QStringLiteral("UI"));
  setWindowIcon(ApplicationIcon());
  setFixedSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
  setAcceptDrops(true);
  // The places and sizes below are laid out for an 8-point font (11 pixels at 96 dots per inch).
  QFont window_font = font();
  window_font.setPixelSize(kFontPixels);
  setFont(window_font);

  // Created in focus order, so that the keyboard walks the controls in that order. The two
  // lists are wider than first designed, which clipped "ZX Spectrum" and "16K" beside the
  // drop-down arrow; "RAM:", its list and the auto-run box moved right to make room, and the
  // labels "Type:" and "RAM:" end where their lists begin instead of a pixel inside them.
  // clang-format off
  MachineType  = MakeControl<QComboBox>(this,   "MachineType",   600,  240, 1530, 315);
  cmdSelect    = MakeControl<QPushButton>(this, "cmdSelect",    3060,  720,  300, 315);
  RamSize      = MakeControl<QComboBox>(this,   "RamSize",      2700,  240,  780, 315);
  chkAutoRun   = MakeControl<QCheckBox>(this,   "chkAutoRun",   3690,  240,  735, 255);
  cmdGenerate  = MakeControl<QPushButton>(this, "cmdGenerate",  3600,  720,  855, 315);
  cmdExit      = MakeControl<QPushButton>(this, "cmdExit",      3600, 1200,  855, 315);
  Label2       = MakeControl<QLabel>(this,      "Label2",        120,  750,  375, 255);
  TextFilename = MakeControl<QLineEdit>(this,   "TextFilename",  600,  720, 2400, 315);
  Label7       = MakeControl<QLabel>(this,      "Label7",        120, 1320, 3375, 255);
  lblDone      = MakeControl<QLabel>(this,      "lblDone",       120, 1320, 3375, 255);
  Label8       = MakeControl<QLabel>(this,      "Label8",        120,  240,  480, 255);
  RAMSizeLabel = MakeControl<QLabel>(this,      "RAMSizeLabel", 2220,  270,  480, 255);
  // clang-format on
  setTabOrder(MachineType, cmdSelect);
  setTabOrder(cmdSelect, RamSize);
  setTabOrder(RamSize, chkAutoRun);
  setTabOrder(chkAutoRun, cmdGenerate);
  setTabOrder(cmdGenerate, cmdExit);
  setTabOrder(cmdExit, TextFilename);

  MachineType->setEditable(false);
  RamSize->setEditable(false);
  RamSize->setEnabled(false);
  RAMSizeLabel->setEnabled(false);
  chkAutoRun->setEnabled(false);
  cmdGenerate->setEnabled(false);
  lblDone->hide();

  Label8->setText(QStringLiteral("Type:"));
  RAMSizeLabel->setText(QStringLiteral("RAM:"));
  chkAutoRun->setText(QStringLiteral("&Run:"));
  Label2->setText(QStringLiteral("File:"));
  // The window only ever writes the file name; it is the name of the program read at selection.
  TextFilename->setReadOnly(true);
  // Its tooltip names the image written for the name shown; another name drops it.
  connect(TextFilename, &QLineEdit::textChanged, TextFilename,
          [this] { TextFilename->setToolTip(QString()); });
  cmdSelect->setText(QStringLiteral("..."));
  cmdGenerate->setText(QStringLiteral("&Generate"));
  cmdExit->setText(QStringLiteral("E&xit"));
  Label7->setText(QString::fromLatin1(kCredit));
  lblDone->setText(QStringLiteral("Done!"));
  lblDone->setAlignment(Qt::AlignCenter);
  // The indicator is drawn in the credit's place: opaque and on top, so the credit is covered.
  lblDone->setAutoFillBackground(true);
  lblDone->raise();

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setInterval(kDoneIndicatorMilliseconds);

  // `activated` is the user's pick (mouse, keyboard or wheel), also of the entry already shown.
  connect(MachineType, &QComboBox::activated, this, &UI::MachineType_Click);
  connect(cmdSelect, &QPushButton::clicked, this, &UI::cmdSelect_Click);
  connect(cmdGenerate, &QPushButton::clicked, this, &UI::cmdGenerate_Click);
  connect(cmdExit, &QPushButton::clicked, this, &UI::cmdExit_Click);
  connect(Timer1, &QTimer::timeout, this, &UI::Timer1_Timer);
}

void UI::Form_Load() {
  MachineType->clear();
  for (const MachineSettings& settings : kMachineTable)
    MachineType->addItem(Latin1(settings.Facts().list_entry));
  MachineType->setCurrentIndex(static_cast<int>(Machine::ZX81));
  MachineType_Click();
  setWindowTitle(
      QString::fromLatin1(kDesignedTitle) +
      QStringLiteral(" V%1.%2").arg(kVersionMajor).arg(kVersionMinor, 2, 10, QLatin1Char('0')));
  if (const QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - rect().center());
  show();
}

void UI::MachineType_Click() {
  ResetDoneIndicator();
  RamSize->clear();
  TextFilename->setText(QString());
  const MachineSettings& settings = SettingsFor(SelectedMachine());
  chkAutoRun->setChecked(settings.auto_run_ticked);
  chkAutoRun->setEnabled(settings.auto_run_enabled);
  const MachineFacts& facts = settings.Facts();
  for (int i = 0; i < facts.RamEntryCount(); ++i)
    RamSize->addItem(Latin1(facts.ram_entries[static_cast<std::size_t>(i)]));
  RamSize->setCurrentIndex(facts.selected_ram);
  dialog_settings_ = {Latin1(facts.dialog_title), Latin1(facts.default_extension),
                      Latin1(facts.dialog_filter), QString()};
}

void UI::cmdSelect_Click() {
  RunSelection([this] { return AskForFileName(); });
}

void UI::RunSelection(const std::function<QString()>& choose_path) {
  ResetDoneIndicator();
  cmdGenerate->setEnabled(false);
  cmdSelect->setEnabled(false);
  MachineType->setEnabled(false);
  busy_cursor_.SetBusy();
  QCoreApplication::processEvents();
  (void)SelectProgram(choose_path);
  cmdSelect->setEnabled(true);
  MachineType->setEnabled(true);
  busy_cursor_.SetDefault();
}

void UI::cmdExit_Click() {
  Timer1->stop();
  end_program_();
}

void UI::Form_Unload() { cmdExit_Click(); }

void UI::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

Machine UI::SelectedMachine() const {
  const int index = MachineType->currentIndex();
  if (index == static_cast<int>(Machine::ZX80)) return Machine::ZX80;
  if (index == static_cast<int>(Machine::Spectrum)) return Machine::Spectrum;
  return Machine::ZX81;
}

}  // namespace quillfen
