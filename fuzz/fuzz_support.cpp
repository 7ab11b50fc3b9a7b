// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz_support.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace quillfen::fuzz {
namespace {

// Made on first use and removed by its destructor when the fuzzer exits.
class WorkspaceFolder {
 public:
  WorkspaceFolder() {
    std::error_code error;
    const std::filesystem::path shm = "/dev/shm";
    const auto base =
        std::filesystem::is_directory(shm, error) ? shm : std::filesystem::temp_directory_path();
    std::string pattern = (base / "quillfen-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~WorkspaceFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  WorkspaceFolder(const WorkspaceFolder&) = delete;
  WorkspaceFolder& operator=(const WorkspaceFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

const std::filesystem::path& Workspace() {
  static const WorkspaceFolder folder;
  return folder.path();
}

std::filesystem::path WriteWorkspaceFile(const std::string& name,
                                         std::span<const std::uint8_t> bytes) {
  const auto path = Workspace() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  Require(static_cast<bool>(out), "the fuzz workspace takes a file");
  return path;
}

void RemoveWorkspaceFile(const std::string& name) {
  std::error_code ignored;
  std::filesystem::remove(Workspace() / name, ignored);
}

Bytes ReadWorkspaceFile(const std::string& name) {
  std::ifstream in(Workspace() / name, std::ios::binary);
  if (!in) return {};
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFuzzRom(FuzzInput& input, const std::string& name, std::size_t wait_offset,
                  std::uint8_t wait_value) {
  const std::uint8_t choice = input.Byte();
  const std::size_t last_used = input.Word() % kBankSize;
  std::size_t length = kBankSize;
  switch (choice % 16) {
    case 0:
      RemoveWorkspaceFile(name);
      return;
    case 1:
      length = kBankSize - 1;
      break;
    case 2:
      length = kBankSize + 1;
      break;
    default:
      break;
  }
  Bytes rom(length, 0xFF);
  std::uint32_t state = 0x9E3779B9u ^ static_cast<std::uint32_t>(last_used);
  for (std::size_t i = 0; i <= last_used && i < length; ++i) {
    state = state * 1103515245u + 12345u;
    rom[i] = static_cast<std::uint8_t>((state >> 16) % 0xFF);  // never 0xFF
  }
  if (choice % 16 != 3 && wait_offset < length) rom[wait_offset] = wait_value;
  WriteWorkspaceFile(name, rom);
}

Host::Answer AnswerFrom(std::uint8_t byte) {
  switch (byte % 3) {
    case 0:
      return Host::Answer::Yes;
    case 1:
      return Host::Answer::No;
    default:
      return Host::Answer::Cancel;
  }
}

namespace {

Bytes EarlierImage() { return Bytes{'e', 'a', 'r', 'l', 'i', 'e', 'r'}; }

}  // namespace

void WriteEarlierImage() { WriteWorkspaceFile(kOutputName, EarlierImage()); }

void CheckGeneration(bool generated, const Bytes& image, std::initializer_list<std::size_t> sizes) {
  const Bytes written = ReadWorkspaceFile(kOutputName);
  if (generated) {
    Require(std::find(sizes.begin(), sizes.end(), image.size()) != sizes.end(),
            "a generated image has a cartridge size");
    Require(written == image, "the written file is the image");
  } else {
    Require(written == EarlierImage(), "a failed generation leaves the earlier image unchanged");
  }
  for (const auto& entry : std::filesystem::directory_iterator(Workspace())) {
    const std::string name = entry.path().filename().string();
    Require(name.find(".bin.") == std::string::npos, "no temporary file is left behind");
  }
}

ProgramChoices ProgramChoicesFrom(std::uint8_t byte) {
  constexpr std::int32_t kRamSizes[] = {1024, 3072, 4096, 16384};
  return {kRamSizes[byte % 4], static_cast<std::int16_t>((byte >> 2) & 1)};
}

void CheckProgramImage(std::span<const std::uint8_t> image, const Bytes& program,
                       std::int32_t program_length, std::size_t image_start,
                       std::size_t e_line_offset, std::size_t system_variables) {
  Require(image.size() >= system_variables, "the file holds the system variables");
  const std::size_t e_line = WordAt(image, e_line_offset);
  Require(e_line >= image_start && program.size() == e_line - image_start,
          "the image is cut at E_LINE");
  Require(std::equal(program.begin(), program.end(), image.begin()), "the image is the file");
  Require(program_length ==
              (program.size() >= system_variables ? static_cast<std::int32_t>(program.size()) : 0),
          "the program length matches the image");
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

}  // namespace quillfen::fuzz
