#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>

#include "cartridge/bytes.h"
#include "cartridge/host.h"

// Shared by the fuzz targets: a folder for the per-run files, a Host that answers from the
// fuzz input, and the checks whose failure is a finding.
namespace quillfen::fuzz {

/// Reads the fuzz input front to back; past its end every read gives 0.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

  std::uint8_t Byte() { return position_ < bytes_.size() ? bytes_[position_++] : 0; }
  std::uint16_t Word() {
    const std::uint8_t low = Byte();
    return static_cast<std::uint16_t>(low | Byte() << 8);
  }
  /// Everything not read yet.
  std::span<const std::uint8_t> Rest() const { return bytes_.subspan(position_); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

/// One folder per fuzzing process (in /dev/shm where it exists, so that the per-run files cost
/// no disk traffic), removed when the process ends normally.
const std::filesystem::path& Workspace();

/// Writes `bytes` to `name` in the workspace, replacing an earlier file, and returns its path.
std::filesystem::path WriteWorkspaceFile(const std::string& name,
                                         std::span<const std::uint8_t> bytes);

/// Removes `name` from the workspace when it is there.
void RemoveWorkspaceFile(const std::string& name);

/// The whole content of a workspace file; empty when it cannot be read.
Bytes ReadWorkspaceFile(const std::string& name);

/// A stand-in ROM image chosen by two fuzz bytes and a word: usually 16384 bytes whose free space
/// (trailing 0xFF) starts after `last_used`, with `wait_offset` holding `wait_value` (the byte the
/// start-up code recognises the ROM by) unless the choice spoils it; sometimes one byte short or
/// long, or missing altogether (then nothing is written and a stale image is removed).
void WriteFuzzRom(FuzzInput& input, const std::string& name, std::size_t wait_offset,
                  std::uint8_t wait_value);

/// The outside world for a converter under fuzzing: the size question is answered from the
/// input, ROM images are read from and images written to the workspace.
class FuzzHost : public Host {
 public:
  explicit FuzzHost(Answer answer) : answer_(answer) {}

  void ShowError(const std::string&) override {}
  Answer AskCartridgeSize(const std::string&) override {
    ++questions_;
    return answer_;
  }
  std::filesystem::path RomFolder() const override { return Workspace(); }
  std::filesystem::path OutputPath(const std::string& output_name) const override {
    return Workspace() / output_name;
  }
  void YieldToWindow() override {}
  void RepaintWindow() override {}

  int questions() const { return questions_; }

 private:
  Answer answer_;
  int questions_ = 0;
};

/// Maps a fuzz byte to Yes, No or Cancel.
Host::Answer AnswerFrom(std::uint8_t byte);

/// The image every whole-path target writes before generating: a failed generation must leave
/// it as it is, byte for byte.
inline constexpr char kOutputName[] = "GAME.bin";
void WriteEarlierImage();

/// The promises of a generate entry point that returned `generated`: true means the output file
/// holds exactly the cartridge image, of one of `sizes` bytes; false means the earlier image is
/// unchanged. Either way no temporary file is left beside it.
void CheckGeneration(bool generated, const Bytes& image, std::initializer_list<std::size_t> sizes);

/// Reports a broken promise of the code under test as a finding (prints `what` and aborts).
void Require(bool condition, const char* what);

}  // namespace quillfen::fuzz
