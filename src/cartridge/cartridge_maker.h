// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "cartridge/bytes.h"

namespace quillfen {

/// Files larger than this are refused by ReadWholeFile: nothing legitimate comes near it, and a
/// stray multi-gigabyte file must not be pulled into memory.
inline constexpr std::uintmax_t kLargestReadableFile = 16u * 1024 * 1024;

/// Reads the whole regular file at `path` into `destination`.
/// False when the path names no regular file (missing, a folder, FIFO, device or socket: the
/// destination is unchanged), when the file is larger than kLargestReadableFile (unchanged), when
/// it is empty (the destination is then empty) or when reading fails.
[[nodiscard]] bool ReadWholeFile(Bytes& destination, const std::filesystem::path& path);

/// The reason ReadWholeFile gives for an empty file.
inline constexpr std::string_view kEmptyFileReason = "an empty file";

/// ReadWholeFile that also says, in `reason`, why it returned false ("Permission denied",
/// kEmptyFileReason); `reason` is left as it was on success.
[[nodiscard]] bool ReadWholeFile(Bytes& destination, const std::filesystem::path& path,
                                 std::string& reason);

/// Writes `bytes` to `path`: first to a temporary file in the same folder, then renamed over the
/// target, so a failed write never leaves a truncated image nor destroys an earlier one.
/// False when any step fails; the temporary file is removed then.
[[nodiscard]] bool WriteFileAtomically(std::span<const std::uint8_t> bytes,
                                       const std::filesystem::path& path);

/// WriteFileAtomically that also says, in `reason`, which step failed on which path and the
/// system's error text ("creating a temporary file in /usr/bin failed: Permission denied");
/// `reason` is left as it was on success.
[[nodiscard]] bool WriteFileAtomically(std::span<const std::uint8_t> bytes,
                                       const std::filesystem::path& path, std::string& reason);

/// Holds the cartridge image while a converter builds it, mostly by appending.
/// While a builder only appends, the image's length is the address of the next byte.
class CartridgeMaker {
 public:
  const Bytes& CartridgeImage() const { return cartridge_image_; }
  Bytes& CartridgeImage() { return cartridge_image_; }

  /// The offset (in bank 0: the Z80 address) of the next appended byte.
  int NextAddress() const { return static_cast<int>(cartridge_image_.size()); }

  void Clear() { cartridge_image_.clear(); }

  /// Appends the bytes spelled by `fragment` ("21 00 C0"): two upper-case hex digits per byte at
  /// positions 0, 3, 6, ...; the character between pairs is not examined. Throws quillfen::Error
  /// when the last pair lacks its second digit or a pair gives no byte value; the pairs before it
  /// are already appended.
  void AppendFragment(std::string_view fragment);

  /// Appends `value` low byte first. Throws quillfen::Error, appending nothing, unless
  /// 0 <= value <= 65535.
  void AppendWord(std::int64_t value);

  /// Appends one byte. Throws quillfen::Error unless 0 <= value <= 255.
  void AppendByte(std::int64_t value);

  void AppendBytes(std::span<const std::uint8_t> bytes);

  /// Appends 0xFF bytes until the image is `length` bytes long (nothing when it already is).
  void PadWithFFTo(std::size_t length);

  /// Cuts the image to `length` bytes (nothing when it is shorter).
  void CutTo(std::size_t length);

  /// Appends `rom` when it is exactly 16384 bytes long; otherwise returns false and leaves the
  /// image unchanged.
  [[nodiscard]] bool AppendRomImage(std::span<const std::uint8_t> rom);

  /// Writes the image to `path` (see WriteFileAtomically). The image is left unchanged.
  [[nodiscard]] bool WriteCartridgeImage(const std::filesystem::path& path) const;

  /// WriteCartridgeImage with the reason of a failure (see WriteFileAtomically).
  [[nodiscard]] bool WriteCartridgeImage(const std::filesystem::path& path,
                                         std::string& reason) const;

 private:
  Bytes cartridge_image_;
};

}  // namespace quillfen
