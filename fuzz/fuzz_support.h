// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>

#include "cartridge/bytes.h"
#include "cartridge/cartridge_maker.h"
#include "cartridge/error.h"
#include "cartridge/file_names.h"
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

  Answer AskCartridgeSize(const std::string&) override {
    ++questions_;
    return answer_;
  }
  std::vector<std::filesystem::path> RomFolders() const override { return {Workspace()}; }
  std::filesystem::path OutputPath(const std::string& output_name) const override {
    return Workspace() / output_name;
  }
  void YieldToWindow() override {}
  void RepaintWindow() override {}

  int questions() const { return questions_; }

 private:
  void ShowErrorBox(const std::string&, const std::string&) override {}

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

/// The frame of the reader targets: the first byte picks one of `names`, the rest of the input is
/// written under it and read by `load` of a fresh `Processing`; when that succeeds, `check` gets
/// the processing, the name and the file to judge what was read.
template <typename Processing, std::size_t N, typename Check>
int FuzzReader(const std::uint8_t* data, std::size_t size, const std::array<const char*, N>& names,
               bool (Processing::*load)(const std::filesystem::path&), Check check) {
  FuzzInput input(data, size);
  const std::string name = names[input.Byte() % N];
  const auto file = input.Rest();
  FuzzHost host(Host::Answer::Yes);
  CartridgeMaker maker;
  Processing processing(host, maker);
  if ((processing.*load)(WriteWorkspaceFile(name, file))) check(processing, name, file);
  return 0;
}

/// The whole path from file bytes to a finished image, shared by the generate targets: writes the
/// rest of the input as `name` beside the earlier image, reads it with `load`, and when that
/// succeeds runs `generate` on the upper-case name and checks the result (CheckGeneration with
/// the image `maker` made and `sizes`). Gives whether an image was generated, or nothing when the
/// file was refused.
template <typename Load, typename Generate>
std::optional<bool> LoadAndGenerate(FuzzInput& input, const std::string& name, Load load,
                                    Generate generate, const CartridgeMaker& maker,
                                    std::initializer_list<std::size_t> sizes) {
  const auto path = WriteWorkspaceFile(name, input.Rest());
  WriteEarlierImage();
  const bool loaded = load(path);
  RemoveWorkspaceFile(name);
  if (!loaded) return std::nullopt;
  bool generated = false;
  try {
    generated = generate(ToUpperAscii(name));
  } catch (const Error&) {
    // Errors outside the builds pass to the generation driver, which shows "Error!".
  }
  CheckGeneration(generated, maker.CartridgeImage(), sizes);
  return generated;
}

/// RAM size (1K, 3K, 4K or 16K) and auto-run for a ZX80 or ZX81 program, from a fuzz byte's
/// low three bits.
struct ProgramChoices {
  std::int32_t ram_size;
  std::int16_t auto_run;
};
ProgramChoices ProgramChoicesFrom(std::uint8_t byte);

/// The promises of a ZX80 or ZX81 reader that loaded `image` (the file after any name) as
/// `program` with `program_length`: the image holds the system variables (`system_variables`
/// bytes), `program` is its first E_LINE - `image_start` bytes (E_LINE is the word at
/// `e_line_offset`), and `program_length` is that size, or 0 when it is below the system
/// variables.
void CheckProgramImage(std::span<const std::uint8_t> image, const Bytes& program,
                       std::int32_t program_length, std::size_t image_start,
                       std::size_t e_line_offset, std::size_t system_variables);

/// Reports a broken promise of the code under test as a finding (prints `what` and aborts).
void Require(bool condition, const char* what);

}  // namespace quillfen::fuzz
