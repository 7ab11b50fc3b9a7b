// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/scripted_host.h"

#include <gtest/gtest.h>

namespace quillfen::testing {

Host::Answer ScriptedHost::AskCartridgeSize(const std::string& text) {
  questions.push_back(text);
  if (answers_.empty()) {
    ADD_FAILURE() << "unscripted size question: " << text;
    return Answer::Cancel;
  }
  const Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace quillfen::testing
