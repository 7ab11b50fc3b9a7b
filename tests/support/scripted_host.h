// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "cartridge/host.h"

namespace quillfen::testing {

/// A Host for tests: answers size questions from a queue, records every message and question,
/// counts yields, and reads ROM images from and writes images to one folder (more ROM folders may
/// be put in `rom_folders`).
/// A question with no scripted answer fails the test: an unexpected question is a real fault.
class ScriptedHost : public Host {
 public:
  explicit ScriptedHost(std::filesystem::path folder)
      : rom_folders{folder}, folder_(std::move(folder)) {}

  void ScriptAnswer(Answer answer) { answers_.push_back(answer); }

  Answer AskCartridgeSize(const std::string& text) override;
  std::vector<std::filesystem::path> RomFolders() const override { return rom_folders; }
  std::filesystem::path OutputPath(const std::string& output_name) const override {
    return folder_ / output_name;
  }
  void YieldToWindow() override { ++yields; }
  void RepaintWindow() override { ++repaints; }

  std::vector<std::filesystem::path> rom_folders;
  std::vector<std::string> errors;     // every "Error" message, in order
  std::vector<std::string> details;    // the detail of each, in the same order
  std::vector<std::string> questions;  // every "Cartridge Size" question, in order
  int yields = 0;
  int repaints = 0;

 private:
  void ShowErrorBox(const std::string& text, const std::string& detail) override {
    errors.push_back(text);
    details.push_back(detail);
  }

  std::filesystem::path folder_;
  std::deque<Answer> answers_;
};

}  // namespace quillfen::testing
