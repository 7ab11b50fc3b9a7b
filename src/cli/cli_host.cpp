// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_host.h"

#include <system_error>
#include <utility>

namespace quillfen {

CliHost::CliHost(std::ostream& err, std::vector<std::filesystem::path> rom_folders,
                 std::filesystem::path output_folder,
                 std::optional<std::filesystem::path> output_file)
    : err_(err),
      rom_folders_(std::move(rom_folders)),
      output_folder_(std::move(output_folder)),
      output_file_(std::move(output_file)) {}

void CliHost::BeginFile(const std::string& shown_name, Answer size_answer,
                        const std::string& output_name) {
  shown_name_ = shown_name;
  size_answer_ = size_answer;
  output_name_ = output_name;
  error_shown_ = false;
}

void CliHost::ShowChoices(const std::string& choices) {
  if (verbose_) err_ << shown_name_ << ": " << choices << "\n";
}

void CliHost::ShowProgress(std::size_t done, std::size_t total, const std::string& shown_name) {
  if (progress_) progress_->Show(done, total, shown_name);
}

void CliHost::EndProgress() {
  if (progress_) progress_->Clear();
}

void CliHost::ShowErrorBox(const std::string& text, const std::string& detail) {
  err_ << shown_name_ << ": " << OneLine(text);
  if (!detail.empty()) err_ << ": " << OneLine(detail);
  err_ << "\n";
  error_shown_ = true;
}

void CliHost::ShowRomNotFound(const std::string& text, const std::string& file_name,
                              const std::vector<std::filesystem::path>& searched) {
  std::string folders;
  for (const std::filesystem::path& folder : searched)
    folders += (folders.empty() ? "" : ", ") + folder.string();
  ShowError(text, file_name + " is in none of " + folders +
                      " (--rom-dir DIR names the folder that holds it)");
}

Host::Answer CliHost::AskCartridgeSize(const std::string&) { return size_answer_; }

std::filesystem::path CliHost::OutputPath(const std::string& output_name) const {
  if (output_file_) return *output_file_;
  return output_folder_ / (output_name_.empty() ? output_name : output_name_);
}

std::filesystem::path CliHost::ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || executable.empty()) return std::filesystem::path(".");
  return executable.parent_path();
}


}  // namespace quillfen
