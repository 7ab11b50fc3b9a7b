#pragma once

#include <QApplication>
#include <QCursor>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "inspection/converters.h"

namespace quillfen::testing {

/// A Converters double for the window: readers and entry points answer from scripted values and
/// record every call, with the cursor seen at the time of the call.
class ScriptedConverters : public Converters {
 public:
  struct Call {
    std::string function;        // "LoadZX81Program", "GenerateZX80Cartridge", ...
    std::string argument;        // the path or the file name
    std::int32_t ram_size = 0;   // generate entry points only
    std::int16_t auto_run = -1;  // ZX80 and ZX81 generate entry points only
    bool busy_cursor = false;    // the wait cursor was showing during the call
  };

  // Scripted answers.
  bool load_result = true;
  bool auto_runs = false;
  std::int32_t zx81_length = 500;
  std::int16_t zx80_length = 500;
  bool generate_result = true;
  /// Runs inside every call before it answers; may throw to stand for a failing converter.
  std::function<void(const Call&)> during_call;

  std::vector<Call> calls;

  const Call& LastCall() const { return calls.back(); }

  bool LoadZX80Program(const std::filesystem::path& path) override {
    Record("LoadZX80Program", path.string());
    return load_result;
  }
  std::int16_t ZX80ProgramLength() override {
    Record("ZX80ProgramLength", "");
    return zx80_length;
  }
  bool LoadZX81Program(const std::filesystem::path& path) override {
    Record("LoadZX81Program", path.string());
    return load_result;
  }
  bool ZX81ProgramAutoRuns() override {
    Record("ZX81ProgramAutoRuns", "");
    return auto_runs;
  }
  std::int32_t ZX81ProgramLength() override {
    Record("ZX81ProgramLength", "");
    return zx81_length;
  }
  bool LoadSnapshot(const std::filesystem::path& path) override {
    Record("LoadSnapshot", path.string());
    return load_result;
  }
  bool GenerateZX80Cartridge(const std::string& file_name, std::int32_t& ram_size,
                             std::int16_t auto_run) override {
    Record("GenerateZX80Cartridge", file_name, ram_size, auto_run);
    ram_size += 16384;
    return generate_result;
  }
  bool GenerateZX81Cartridge(const std::string& file_name, std::int32_t& ram_size,
                             std::int16_t auto_run) override {
    Record("GenerateZX81Cartridge", file_name, ram_size, auto_run);
    ram_size += 16384;
    return generate_result;
  }
  bool GenerateSpectrumCartridge(const std::string& file_name, std::int32_t& ram_size) override {
    Record("GenerateSpectrumCartridge", file_name, ram_size);
    return generate_result;
  }

 private:
  void Record(const std::string& function, const std::string& argument, std::int32_t ram_size = 0,
              std::int16_t auto_run = -1) {
    const QCursor* cursor = QApplication::overrideCursor();
    calls.push_back({function, argument, ram_size, auto_run,
                     cursor != nullptr && cursor->shape() == Qt::WaitCursor});
    if (during_call) during_call(calls.back());
  }
};

}  // namespace quillfen::testing
