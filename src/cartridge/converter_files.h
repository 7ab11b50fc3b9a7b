// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cartridge/bytes.h"
#include "cartridge/cartridge_maker.h"
#include "cartridge/host.h"

// The file work all three converters share: reading their ROM image file and writing the finished
// cartridge image, telling the user through the host why either failed.
namespace quillfen {

/// Reads `file_name` (ZX81_ROM.bin) from the first of the host's ROM folders that holds it into
/// `rom` and returns the path read. When no folder holds it, the host's ShowRomNotFound shows
/// `unreadable_text` ("Failed to read ZX81 ROM file (ZX81_ROM.bin)") with the folders searched and
/// `rom` is unchanged; when reading fails, ShowError shows it with the path and the reason.
/// Returns nothing then.
std::optional<std::filesystem::path> ReadRomImageFile(Host& host, const std::string& file_name,
                                                      const std::string& unreadable_text,
                                                      Bytes& rom);

/// The byte at `offset` that a cartridge's start-up code waits for in its ROM bank.
struct RomMark {
  std::size_t offset = 0;
  std::uint8_t value = 0;
};

/// Why `rom`, read from `path`, cannot be a cartridge's ROM bank, or "" when it can: it must be
/// 16384 bytes long, `content` ("the ZX81 ROM followed by free space filled with 0xFF"), and
/// hold `mark` when one is given. The text names the full path, the size found and the size
/// needed, or the byte found and the byte needed.
std::string RomImageFault(std::span<const std::uint8_t> rom, const std::filesystem::path& path,
                          std::string_view content, std::optional<RomMark> mark = std::nullopt);

/// Writes the image `maker` holds to the host's output path for `file_name` (GAME.P gives
/// GAME.bin). When that fails, shows "Failed to write cartridge image file PATH" with the step
/// and the system's reason as detail, and returns false.
[[nodiscard]] bool WriteCartridgeImageFile(Host& host, const CartridgeMaker& maker,
                                           const std::string& file_name);

}  // namespace quillfen
