// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cartridge/error.h"
#include "cartridge/host.h"
#include "cli/progress_line.h"

namespace quillfen {

/// The Host of the command line: messages go to stderr as one line after the file name, the
/// cartridge-size question is answered from --size, ROM images come from --rom-dir or the usual
/// ROM folders and images go to -o, --output-dir or the current folder.
class CliHost : public Host {
 public:
  /// `rom_folders` and `output_folder` are used as given; `output_file`, when set, is where the
  /// one image of the run goes, whatever its name.
  CliHost(std::ostream& err, std::vector<std::filesystem::path> rom_folders,
          std::filesystem::path output_folder, std::optional<std::filesystem::path> output_file);

  /// Starts the conversion of `shown_name` (the file as the user wrote it), answering the
  /// cartridge-size question with `size_answer` (Yes or No). `output_name`, when given, names
  /// the image instead of the name the converter asks for (--keep-extension).
  void BeginFile(const std::string& shown_name, Answer size_answer,
                 const std::string& output_name = {});

  /// With `verbose`, ShowChoices prints; with a `progress` line, ShowProgress draws it.
  void SetReporting(bool verbose, ProgressLine* progress) {
    verbose_ = verbose;
    progress_ = progress;
  }

  /// "FILE: choices" on one line, with -v only.
  void ShowChoices(const std::string& choices);

  /// The progress line, when there is one: `done` of `total` files, `shown_name` next.
  void ShowProgress(std::size_t done, std::size_t total, const std::string& shown_name);
  void EndProgress();

  /// Shows the image file `path` as `shown` in every line ("standard output" for -o -).
  void ShowOutputAs(std::string shown) { shown_output_ = std::move(shown); }

  /// How `path`, an image path from OutputPath, appears in messages.
  std::string ShownOutput(const std::filesystem::path& path) const {
    return shown_output_.empty() ? path.string() : shown_output_;
  }

  /// Whether ShowError printed a message since the last BeginFile.
  bool ErrorShown() const { return error_shown_; }

  /// One line naming the folders searched and --rom-dir.
  void ShowRomNotFound(const std::string& text, const std::string& file_name,
                       const std::vector<std::filesystem::path>& searched) override;
  Answer AskCartridgeSize(const std::string& text) override;
  std::vector<std::filesystem::path> RomFolders() const override { return rom_folders_; }
  std::filesystem::path OutputPath(const std::string& output_name) const override;
  void YieldToWindow() override {}
  void RepaintWindow() override {}

  /// The folder of the running executable (from /proc/self/exe); the current folder when it
  /// cannot be found.
  static std::filesystem::path ExecutableFolder();

 private:
  /// "FILE: text: detail" on one line.
  void ShowErrorBox(const std::string& text, const std::string& detail) override;

  std::ostream& err_;
  std::vector<std::filesystem::path> rom_folders_;
  std::filesystem::path output_folder_;
  std::optional<std::filesystem::path> output_file_;
  std::string shown_name_;
  std::string output_name_;
  std::string shown_output_;
  Answer size_answer_ = Answer::No;
  bool error_shown_ = false;
  bool verbose_ = false;
  ProgressLine* progress_ = nullptr;
};

}  // namespace quillfen
