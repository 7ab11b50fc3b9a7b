// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillfen {

/// ASCII upper case; other bytes (UTF-8 letters included) are kept as they are.
std::string ToUpperAscii(std::string_view text);

/// The extension of a name or path: the text after its last ".", in upper case; the whole text
/// (in upper case) when it holds no ".". "C:/disk.2/rocket" gives "2/ROCKET".
std::string ExtensionOf(std::string_view name);

/// The name of a cartridge image for the program file `file_name`: the text before its last
/// "." followed by ".bin" (MY.GAME.SNA gives MY.GAME.bin). Throws quillfen::Error when the name
/// holds no ".", as an empty name does.
std::string OutputNameFor(std::string_view file_name);

/// OutputNameFor that keeps the extension in the name, after a "-": GAME.SNA gives GAME-SNA.bin,
/// so that programs sharing a base name get images of their own. Throws as OutputNameFor does.
std::string OutputNameKeepingExtension(std::string_view file_name);

/// The part of a path after its last "/" (the whole path when it has none).
std::string BareFileName(std::string_view path);

}  // namespace quillfen
