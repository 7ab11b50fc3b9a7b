// Every caption of the window fits the room its control gives it at the designed geometry, in
// the default font. Run once as it is and once at twice the scale (see tests/CMakeLists.txt).

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>

#include "inspection/converters.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"

namespace {

/// The control's own style option, as it paints with it (initStyleOption is protected in Qt 6.4;
/// a pointer to it taken through a derived class may be called on any control of that kind).
template <typename Control, typename Option>
Option StyleOptionOf(const Control& control) {
  struct Access : Control {
    static auto Init() { return &Access::initStyleOption; }
  };
  Option option;
  (control.*Access::Init())(&option);
  return option;
}

/// The width a caption needs in `widget`'s font; an access key's "&" is not drawn.
int CaptionWidth(const QWidget& widget, const QString& caption) {
  return widget.fontMetrics().size(Qt::TextShowMnemonic, caption).width();
}

/// The room a combo box leaves for the shown entry: its edit field, less the pixel on either
/// side that the style keeps free when it draws the entry.
int ComboRoom(const QComboBox& combo) {
  const auto option = StyleOptionOf<QComboBox, QStyleOptionComboBox>(combo);
  const QRect field = combo.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, &combo);
  return field.width() - 2;
}

/// The room a button or check box leaves for its text, beside any indicator.
int ButtonRoom(const QAbstractButton& button) {
  if (const auto* check_box = qobject_cast<const QCheckBox*>(&button)) {
    const auto option = StyleOptionOf<QCheckBox, QStyleOptionButton>(*check_box);
    return button.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &button).width();
  }
  const auto& push_button = *qobject_cast<const QPushButton*>(&button);
  const auto option = StyleOptionOf<QPushButton, QStyleOptionButton>(push_button);
  return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
}

}  // namespace

class CaptionFitTest : public QObject {
  Q_OBJECT

 private slots:
  void everyCaptionFits() {
    quillfen::testing::TempDir temp;
    quillfen::testing::ScriptedHost host(temp.path());
    quillfen::MachineConverters converters(host);
    quillfen::QtHost window_host;
    quillfen::UI window(converters, window_host);
    QStringList clipped;
    const auto check = [&clipped](const QWidget& control, const QString& caption, int room) {
      const int needed = CaptionWidth(control, caption);
      if (needed > room)
        clipped << QString("%1 \"%2\" needs %3 pixels, has %4")
                       .arg(control.objectName(), caption)
                       .arg(needed)
                       .arg(room);
    };
    for (const QLabel* label : window.findChildren<QLabel*>())
      check(*label, label->text(), label->contentsRect().width() - 2 * label->margin());
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
      check(*button, button->text(), ButtonRoom(*button));
    auto* machines = window.findChild<QComboBox*>("MachineType");
    auto* ram_sizes = window.findChild<QComboBox*>("RamSize");
    QVERIFY(machines != nullptr && ram_sizes != nullptr);
    for (int machine = 0; machine < machines->count(); ++machine) {
      check(*machines, machines->itemText(machine), ComboRoom(*machines));
      // Each pick fills the RAM list with that machine's entries.
      machines->setCurrentIndex(machine);
      emit machines->activated(machine);
      for (int entry = 0; entry < ram_sizes->count(); ++entry)
        check(*ram_sizes, ram_sizes->itemText(entry), ComboRoom(*ram_sizes));
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join("; ")));
  }

  // Widening a control must not push it into its neighbour or out of the window; only the Done
  // indicator lies on the credit, by design.
  void controlsStayApartInsideTheWindow() {
    quillfen::testing::TempDir temp;
    quillfen::testing::ScriptedHost host(temp.path());
    quillfen::MachineConverters converters(host);
    quillfen::QtHost window_host;
    const quillfen::UI window(converters, window_host);
    const QList<QWidget*> controls = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QVERIFY(controls.size() >= 12);
    for (const QWidget* control : controls) {
      QVERIFY2(window.rect().contains(control->geometry()), qPrintable(control->objectName()));
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
