#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel label(" ZX Interface 2 ROM Quillfen");
  label.show();
  return app.exec();
}
