// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <cstdio>
#include <optional>

#include "inspection/converters.h"
#include "tape/emulated_tape_capture.h"
#include "ui/command_line.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"

int main(int argc, char** argv) {
  // --help and --version answer before the window's application exists, so without a display.
  const std::optional<QString> answer = [&] {
    const QCoreApplication plain(argc, argv);
    return quillfen::CommandLineAnswer(QCoreApplication::arguments());
  }();
  if (answer) {
    std::fputs(answer->toLocal8Bit().constData(), stdout);
    return 0;
  }
  QApplication app(argc, argv);  // takes Qt's own options out of the arguments
  QString error;
  const std::optional<QString> program_file =
      quillfen::WindowProgramFile(QCoreApplication::arguments(), error);
  if (!program_file) {
    std::fprintf(stderr, "quillfen: %s\nTry 'quillfen --help'.\n", error.toLocal8Bit().constData());
    return 2;
  }
  quillfen::QtHost host;
  // A tape plays for seconds under the busy cursor: each progress report lets the window paint.
  quillfen::tape::EmulatedTapeCapture tapes(
      {}, [&host](const std::string&, const quillfen::tape::TapeProgress&) { host.YieldToWindow(); });
  quillfen::MachineConverters converters(host);
  converters.InstallTapeCapture(tapes);
  quillfen::UI window(converters, host);
  if (!program_file->isEmpty()) window.OpenProgramFile(*program_file);
  return QApplication::exec();
}
