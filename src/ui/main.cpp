#include <QApplication>

#include "inspection/converters.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  quillfen::QtHost host;
  quillfen::MachineConverters converters(host);
  quillfen::UI window(converters);
  host.SetWindow(&window);
  return QApplication::exec();
}
