// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/cartridge_maker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>
#include <utility>

namespace quillfen {
namespace {

// The digit rule: character code minus '0', and a further 7 above 9, so 'A'..'F' give 10..15.
int DigitValue(char c) {
  int value = static_cast<unsigned char>(c) - '0';
  if (value > 9) value -= 7;
  return value;
}

// Closes a POSIX file descriptor on every path.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool CloseChecked() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// The system's text for the error `code` ("Permission denied").
std::string SystemErrorText(int code) {
  return std::error_code(code, std::generic_category()).message();
}

// Records why an operation failed; always false, so that it can end the operation.
bool Failed(std::string& reason, std::string text) {
  reason = std::move(text);
  return false;
}

}  // namespace

bool ReadWholeFile(Bytes& destination, const std::filesystem::path& path) {
  std::string ignored;
  return ReadWholeFile(destination, path, ignored);
}

bool ReadWholeFile(Bytes& destination, const std::filesystem::path& path, std::string& reason) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused by the fstat below.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) return Failed(reason, SystemErrorText(errno));
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) return Failed(reason, SystemErrorText(errno));
  if (!S_ISREG(status.st_mode)) return Failed(reason, "not a regular file");
  if (static_cast<std::uintmax_t>(status.st_size) > kLargestReadableFile)
    return Failed(reason, "larger than " + std::to_string(kLargestReadableFile) + " bytes");

  Bytes content(static_cast<std::size_t>(status.st_size));
  std::size_t filled = 0;
  while (filled < content.size()) {
    const ssize_t got = ::read(file.get(), content.data() + filled, content.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Failed(reason, SystemErrorText(errno));
    if (got == 0) break;  // the file shrank while being read: keep what is there
    filled += static_cast<std::size_t>(got);
  }
  content.resize(filled);
  destination = std::move(content);
  return !destination.empty() || Failed(reason, std::string(kEmptyFileReason));
}

bool WriteFileAtomically(std::span<const std::uint8_t> bytes, const std::filesystem::path& path) {
  std::string ignored;
  return WriteFileAtomically(bytes, path, ignored);
}

bool WriteFileAtomically(std::span<const std::uint8_t> bytes, const std::filesystem::path& path,
                         std::string& reason) {
  std::filesystem::path temporary = path;
  temporary += ".XXXXXX";
  std::string name = temporary.string();
  FileDescriptor file(::mkstemp(name.data()));
  if (file.get() < 0) {
    const int error = errno;  // before anything else may change it
    const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
    return Failed(reason, "creating a temporary file in " + folder.string() +
                              " failed: " + SystemErrorText(error));
  }

  // The step that failed and errno right after it.
  std::string failed_step;
  int error = 0;
  if (::fchmod(file.get(), 0644) != 0) {
    error = errno;
    failed_step = "setting the permissions of " + name;
  }
  std::size_t done = 0;
  while (failed_step.empty() && done < bytes.size()) {
    const ssize_t put = ::write(file.get(), bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      error = put < 0 ? errno : EIO;
      failed_step = "writing " + name;
      break;
    }
    done += static_cast<std::size_t>(put);
  }
  // No fsync before the rename: it cost more than the whole conversion (milliseconds against
  // tens of microseconds), and the promise kept is about failed writes, not power cuts: every
  // write and the close are checked, the rename only happens after they succeeded, and it
  // replaces the earlier image in one step, so a failed write leaves it as it was.
  if (!file.CloseChecked() && failed_step.empty()) {
    error = errno;
    failed_step = "closing " + name;
  }
  if (failed_step.empty() && ::rename(name.c_str(), path.c_str()) != 0) {
    error = errno;
    failed_step = "renaming " + name + " to " + path.string();
  }
  if (failed_step.empty()) return true;
  ::unlink(name.c_str());
  return Failed(reason, failed_step + " failed: " + SystemErrorText(error));
}

void CartridgeMaker::AppendFragment(std::string_view fragment) {
  const std::size_t length = fragment.size();
  for (std::size_t p = 0; p < length; p += 3) {
    if (p + 1 >= length)
      ThrowError("AppendFragment: pair at position " + std::to_string(p) + " of \"" +
                 std::string(fragment) + "\" lacks its second digit");
    const int value = 16 * DigitValue(fragment[p]) + DigitValue(fragment[p + 1]);
    if (value < 0 || value > 255)
      ThrowError("AppendFragment: pair at position " + std::to_string(p) + " of \"" +
                 std::string(fragment) + "\" is not a byte");
    cartridge_image_.push_back(static_cast<std::uint8_t>(value));
  }
}

void CartridgeMaker::AppendWord(std::int64_t value) {
  if (value < 0 || value > 0xFFFF)
    ThrowError("AppendWord: " + std::to_string(value) + " is not a 16-bit value");
  cartridge_image_.push_back(static_cast<std::uint8_t>(value & 0xFF));
  cartridge_image_.push_back(static_cast<std::uint8_t>(value >> 8));
}

void CartridgeMaker::AppendByte(std::int64_t value) {
  if (value < 0 || value > 0xFF)
    ThrowError("AppendByte: " + std::to_string(value) + " is not a byte");
  cartridge_image_.push_back(static_cast<std::uint8_t>(value));
}

void CartridgeMaker::AppendBytes(std::span<const std::uint8_t> bytes) {
  cartridge_image_.insert(cartridge_image_.end(), bytes.begin(), bytes.end());
}

void CartridgeMaker::PadWithFFTo(std::size_t length) {
  if (cartridge_image_.size() < length) cartridge_image_.resize(length, 0xFF);
}

void CartridgeMaker::CutTo(std::size_t length) {
  if (cartridge_image_.size() > length) cartridge_image_.resize(length);
}

bool CartridgeMaker::AppendRomImage(std::span<const std::uint8_t> rom) {
  if (rom.size() != kBankSize) return false;
  AppendBytes(rom);
  return true;
}

bool CartridgeMaker::WriteCartridgeImage(const std::filesystem::path& path) const {
  return WriteFileAtomically(cartridge_image_, path);
}

bool CartridgeMaker::WriteCartridgeImage(const std::filesystem::path& path,
                                         std::string& reason) const {
  return WriteFileAtomically(cartridge_image_, path, reason);
}

}  // namespace quillfen
