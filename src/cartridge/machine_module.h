// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>

#include "cartridge/cartridge_maker.h"
#include "cartridge/host.h"
#include "cartridge/load_failure.h"

namespace quillfen {

/// What each machine's converter shares: the host it asks and tells, the image it builds, and
/// why its reader refused the last file.
class MachineModule {
 public:
  MachineModule(Host& host, CartridgeMaker& maker) : host_(host), maker_(maker) {}

  /// Why the last load refused its file (kNone after a load that succeeded).
  const LoadFailure& LastLoadFailure() const { return load_failure_; }

 protected:
  /// Runs a load's steps: true when they all pass, else false with LastLoadFailure saying why.
  /// The one place a reader's refusal is caught.
  template <typename Steps>
  bool LoadRecordingFailure(Steps&& steps) {
    load_failure_ = {};
    try {
      steps();
      return true;
    } catch (const std::exception& error) {
      load_failure_ = LoadFailureOf(error);
      return false;
    }
  }

  Host& host_;
  CartridgeMaker& maker_;

 private:
  LoadFailure load_failure_;
};

}  // namespace quillfen
