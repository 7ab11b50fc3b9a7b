// SPDX-License-Identifier: GPL-3.0-or-later
// The window's captions fit their controls in the default font, at scales 1 and 2.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>

#include "inspection/converters.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"

namespace {

/// The control's own style option, as it paints with it (initStyleOption is protected in Qt 6.4).
template <typename Control, typename Option>
Option StyleOptionOf(const Control& control) {
  struct Access : Control {
    static auto Init() { return &Access::initStyleOption; }
  };
  Option option;
  (control.*Access::Init())(&option);
  return option;
}

/// A combo box's edit field, less the pixel on either side the style keeps free.
int ComboRoom(const QComboBox& combo) {
  const auto option = StyleOptionOf<QComboBox, QStyleOptionComboBox>(combo);
  const QStyle::SubControl field = QStyle::SC_ComboBoxEditField;
  return combo.style()->subControlRect(QStyle::CC_ComboBox, &option, field, &combo).width() - 2;
}

template <typename Button>
int ButtonRoom(const Button& button, QStyle::SubElement contents) {
  const auto option = StyleOptionOf<Button, QStyleOptionButton>(button);
  return button.style()->subElementRect(contents, &option, &button).width();
}

struct Window {
  quillfen::QtHost host;
  quillfen::MachineConverters converters{host};
  quillfen::UI ui{converters, host};
};

}  // namespace

class CaptionFitTest : public QObject {
  Q_OBJECT

 private slots:
  // Labels, buttons, the check box, and every entry each list can show.
  void everyCaptionFits() {
    Window window;
    QStringList clipped;
    const auto check = [&clipped](const QWidget& control, const QString& caption, int room) {
      // An access key's "&" is not drawn.
      const int needed = control.fontMetrics().size(Qt::TextShowMnemonic, caption).width();
      if (needed > room)
        clipped << QString("%1 \"%2\" needs %3 pixels, has %4")
                       .arg(control.objectName(), caption)
                       .arg(needed)
                       .arg(room);
    };
    for (const QLabel* label : window.ui.findChildren<QLabel*>())
      check(*label, label->text(), label->contentsRect().width() - 2 * label->margin());
    for (const QPushButton* button : window.ui.findChildren<QPushButton*>())
      check(*button, button->text(), ButtonRoom(*button, QStyle::SE_PushButtonContents));
    for (const QCheckBox* box : window.ui.findChildren<QCheckBox*>())
      check(*box, box->text(), ButtonRoom(*box, QStyle::SE_CheckBoxContents));
    auto* machines = window.ui.findChild<QComboBox*>("MachineType");
    auto* ram_sizes = window.ui.findChild<QComboBox*>("RamSize");
    for (int machine = 0; machine < machines->count(); ++machine) {
      check(*machines, machines->itemText(machine), ComboRoom(*machines));
      machines->setCurrentIndex(machine);
      emit machines->activated(machine);  // fills the RAM list with the machine's entries
      for (int entry = 0; entry < ram_sizes->count(); ++entry)
        check(*ram_sizes, ram_sizes->itemText(entry), ComboRoom(*ram_sizes));
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join("; ")));
  }

  // Only the Done indicator lies on another control, the credit, by design.
  void controlsStayApartInsideTheWindow() {
    const Window window;
    const QList<QWidget*> controls = window.ui.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QVERIFY(controls.size() >= 12);
    for (const QWidget* control : controls) {
      QVERIFY2(window.ui.rect().contains(control->geometry()), qPrintable(control->objectName()));
      for (const QWidget* other : controls) {
        const QStringList pair{control->objectName(), other->objectName()};
        if (control == other || (pair.contains("lblDone") && pair.contains("Label7"))) continue;
        QVERIFY2(!control->geometry().intersects(other->geometry()), qPrintable(pair.join(" ")));
      }
    }
  }
};

QTEST_MAIN(CaptionFitTest)
#include "caption_fit_test.moc"
