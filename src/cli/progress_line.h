// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <ostream>
#include <streambuf>
#include <string>

namespace quillfen {

/// A status line on a terminal, "[3/52] games/rocket.sna", redrawn in place with "\r". Every
/// text written through Messages() (to the terminal) or Report() (to `report`, which may be the
/// same terminal) first wipes the line, so that it never runs into one; the next Show draws it
/// again.
class ProgressLine {
 public:
  ProgressLine(std::ostream& terminal, std::ostream& report)
      : terminal_(terminal),
        report_(report),
        message_wiper_(*this, terminal),
        report_wiper_(*this, report) {}
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  /// The streams for messages and for the report while the line may be shown.
  std::ostream& Messages() { return messages_; }
  std::ostream& Report() { return reports_; }

  /// Shows `done` of `total` files converted and the name of the one being converted.
  void Show(std::size_t done, std::size_t total, const std::string& name);

  /// Shows `text` as the line ("GAME.TAP: tape 0:12 of 3:05, block 2 \"rocket\"").
  void ShowText(std::string text);

  /// Wipes the line, when it is shown.
  void Clear();

 private:
  // Forwards to `target`, wiping the line before the first character after each Show.
  class Wiper : public std::streambuf {
   public:
    Wiper(ProgressLine& line, std::ostream& target) : line_(line), target_(target) {}

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

   private:
    ProgressLine& line_;
    std::ostream& target_;
  };

  std::ostream& terminal_;
  std::ostream& report_;
  Wiper message_wiper_;
  Wiper report_wiper_;
  std::ostream messages_{&message_wiper_};
  std::ostream reports_{&report_wiper_};
  std::size_t shown_length_ = 0;  // 0: the line is not shown
};

}  // namespace quillfen
