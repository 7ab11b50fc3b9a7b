// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillfen {

/// What one machine's files, ROM image and cartridges are: its folder exports one of these, and
/// the readers, inspection, the window and the command line's help are made from it.
struct MachineFacts {
  std::string_view name;        // "ZX81", in messages
  std::string_view list_entry;  // "ZX Spectrum", in the window's machine list
  /// The extensions of its program files, upper case, as messages list them; unused slots empty.
  std::array<std::string_view, 7> extensions;
  std::string_view dialog_title;
  std::string_view default_extension;  // added when a name typed in the file dialog has none
  std::string_view dialog_filter;      // "description|patterns|...", patterns split by ";"
  std::string_view rom_file_name;
  /// The RAM entries offered before a program is chosen, and the one selected.
  std::array<std::string_view, 3> ram_entries;
  int selected_ram = 0;
  /// The cartridge images it builds, in bytes; unused slots 0.
  std::array<std::int32_t, 2> image_sizes;

  /// Whether `extension` (upper case, without the point) is one of its program files'.
  constexpr bool HasExtension(std::string_view extension) const {
    return !extension.empty() &&
           std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
  }
  /// Its extensions as a message lists them: ".P, .81 or .P81".
  std::string ExtensionsText() const {
    std::string text;
    for (std::size_t i = 0; i < extensions.size() && !extensions[i].empty(); ++i) {
      if (i > 0) text += i + 1 == extensions.size() || extensions[i + 1].empty() ? " or " : ", ";
      text += ".";
      text += extensions[i];
    }
    return text;
  }
  /// The refusal text for a file whose extension is none of these.
  std::string WrongExtensionText() const {
    return "not a " + std::string(name) + " file (" + ExtensionsText() + ")";
  }
  constexpr bool IsImageSize(std::size_t size) const {
    return size != 0 && std::find(image_sizes.begin(), image_sizes.end(),
                                  static_cast<std::int32_t>(size)) != image_sizes.end();
  }
  constexpr int RamEntryCount() const {
    return static_cast<int>(std::count_if(ram_entries.begin(), ram_entries.end(),
                                          [](std::string_view entry) { return !entry.empty(); }));
  }
};

}  // namespace quillfen
