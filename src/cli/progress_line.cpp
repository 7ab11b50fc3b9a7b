// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/progress_line.h"

namespace quillfen {
namespace {

// Long names keep their end, which tells files apart best, so the line fits a narrow terminal.
constexpr std::size_t kLongestName = 60;

}  // namespace

void ProgressLine::Show(std::size_t done, std::size_t total, const std::string& name) {
  std::string line(1, '[');
  line += std::to_string(done) + "/" + std::to_string(total) + "] ";
  if (name.size() > kLongestName) {
    line += "...";
    line.append(name, name.size() - kLongestName);
  } else {
    line += name;
  }
  ShowText(std::move(line));
}

void ProgressLine::ShowText(std::string line) {
  // Blanks cover what is left of a longer line drawn before.
  const std::size_t length = line.size();
  if (length < shown_length_) line.append(shown_length_ - length, ' ');
  report_.flush();  // what was reported goes out before the line is drawn again
  terminal_ << '\r' << line << std::flush;
  shown_length_ = length;
}

void ProgressLine::Clear() {
  if (shown_length_ == 0) return;
  terminal_ << '\r' << std::string(shown_length_, ' ') << '\r' << std::flush;
  shown_length_ = 0;
}

ProgressLine::Wiper::int_type ProgressLine::Wiper::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  line_.Clear();
  target_.put(traits_type::to_char_type(c));
  return target_ ? c : traits_type::eof();
}

std::streamsize ProgressLine::Wiper::xsputn(const char* text, std::streamsize count) {
  if (count > 0) line_.Clear();
  target_.write(text, count);
  return target_ ? count : 0;
}

int ProgressLine::Wiper::sync() { return target_.flush() ? 0 : -1; }

}  // namespace quillfen
