// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "cartridge/cartridge_maker.h"
#include "cartridge/host.h"
#include "cartridge/load_failure.h"
#include "inspection/machine.h"
#include "spectrum/spectrum_processing.h"
#include "zx80/zx80_processing.h"
#include "zx81/zx81_processing.h"

namespace quillfen {

/// The readers and generate entry points that the front ends call. The window is tested against
/// doubles of this interface; MachineConverters is the real one.
class Converters {
 public:
  virtual ~Converters() = default;

  [[nodiscard]] virtual bool LoadZX80Program(const std::filesystem::path& path) = 0;
  virtual std::int16_t ZX80ProgramLength() = 0;
  [[nodiscard]] virtual bool LoadZX81Program(const std::filesystem::path& path) = 0;
  virtual bool ZX81ProgramAutoRuns() = 0;
  virtual std::int32_t ZX81ProgramLength() = 0;
  [[nodiscard]] virtual bool LoadSnapshot(const std::filesystem::path& path) = 0;
  /// The snapshot LoadSnapshot read last (partly overwritten after a refused load).
  virtual const SnapshotState& Snapshot() const = 0;
  /// Why `machine`'s reader refused the file it was given last (kNone when it accepted it).
  virtual LoadFailure LastLoadFailure(Machine machine) const = 0;
  /// The kind of the snapshot LoadSnapshot accepted last.
  virtual spectrum::SnapshotKind SnapshotKindLoaded() const = 0;
  /// What LoadSnapshot kept of the tape it loaded last; null after a snapshot or a refusal.
  virtual const LoadedTape* TapeLoaded() const { return nullptr; }

  [[nodiscard]] virtual bool GenerateZX80Cartridge(const std::string& file_name,
                                                   std::int32_t& ram_size,
                                                   std::int16_t auto_run) = 0;
  [[nodiscard]] virtual bool GenerateZX81Cartridge(const std::string& file_name,
                                                   std::int32_t& ram_size,
                                                   std::int16_t auto_run) = 0;
  [[nodiscard]] virtual bool GenerateSpectrumCartridge(const std::string& file_name,
                                                       std::int32_t& ram_size) = 0;
};

/// The three converter modules and the cartridge image they share, for the program's lifetime.
class MachineConverters : public Converters {
 public:
  explicit MachineConverters(Host& host)
      : zx80_(host, maker_), zx81_(host, maker_), spectrum_(host, maker_) {}

  bool LoadZX80Program(const std::filesystem::path& path) override {
    return zx80_.LoadZX80Program(path);
  }
  std::int16_t ZX80ProgramLength() override { return zx80_.ZX80ProgramLength(); }
  bool LoadZX81Program(const std::filesystem::path& path) override {
    return zx81_.LoadZX81Program(path);
  }
  bool ZX81ProgramAutoRuns() override { return zx81_.ZX81ProgramAutoRuns(); }
  std::int32_t ZX81ProgramLength() override { return zx81_.ZX81ProgramLength(); }
  bool LoadSnapshot(const std::filesystem::path& path) override {
    return spectrum_.LoadSnapshot(path);
  }
  const SnapshotState& Snapshot() const override { return spectrum_.State(); }
  spectrum::SnapshotKind SnapshotKindLoaded() const override { return spectrum_.Kind(); }
  const LoadedTape* TapeLoaded() const override {
    return spectrum_.Tape() ? &*spectrum_.Tape() : nullptr;
  }
  /// Lets LoadSnapshot load tapes with `capture`, which the front end owns and keeps alive as
  /// long as these converters.
  void InstallTapeCapture(TapeCapture& capture) { spectrum_.SetTapeCapture(&capture); }
  LoadFailure LastLoadFailure(Machine machine) const override {
    switch (machine) {
      case Machine::ZX80:
        return zx80_.LastLoadFailure();
      case Machine::ZX81:
        return zx81_.LastLoadFailure();
      case Machine::Spectrum:
        break;
    }
    return spectrum_.LastLoadFailure();
  }

  bool GenerateZX80Cartridge(const std::string& file_name, std::int32_t& ram_size,
                             std::int16_t auto_run) override {
    return zx80_.GenerateZX80Cartridge(file_name, ram_size, auto_run);
  }
  bool GenerateZX81Cartridge(const std::string& file_name, std::int32_t& ram_size,
                             std::int16_t auto_run) override {
    return zx81_.GenerateZX81Cartridge(file_name, ram_size, auto_run);
  }
  bool GenerateSpectrumCartridge(const std::string& file_name, std::int32_t& ram_size) override {
    return spectrum_.GenerateSpectrumCartridge(file_name, ram_size);
  }

  CartridgeMaker& Maker() { return maker_; }
  ZX80Processing& ZX80() { return zx80_; }
  ZX81Processing& ZX81() { return zx81_; }
  SpectrumProcessing& Spectrum() { return spectrum_; }

 private:
  CartridgeMaker maker_;
  ZX80Processing zx80_;
  ZX81Processing zx81_;
  SpectrumProcessing spectrum_;
};

}  // namespace quillfen
