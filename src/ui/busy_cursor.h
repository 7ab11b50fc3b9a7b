// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <vector>

namespace quillfen {

/// The window's busy cursor as a state rather than a stack: setting it twice and restoring it
/// once leaves the default cursor, so the handlers can set and reset it in any order and Qt's
/// override cursor stack stays balanced.
class BusyCursor {
 public:
  BusyCursor() = default;
  ~BusyCursor() { SetDefault(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

  void SetBusy();
  void SetDefault();
  bool IsBusy() const { return busy_; }

 private:
  bool busy_ = false;
};

/// Lifts every override cursor for the lifetime of a modal dialog or message box, so that the
/// dialog shows the ordinary cursor, and puts the same cursors back afterwards.
class CursorLift {
 public:
  CursorLift();
  ~CursorLift();
  CursorLift(const CursorLift&) = delete;
  CursorLift& operator=(const CursorLift&) = delete;

 private:
  std::vector<QCursor> lifted_;  // innermost first
};

}  // namespace quillfen
