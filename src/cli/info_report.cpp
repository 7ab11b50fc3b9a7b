// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/info_report.h"

#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "cli/json_text.h"

namespace quillfen {
namespace {

std::string Hex(std::int32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
  return text;
}

// The registers in the order a Z80 programmer reads them, with the width of each.
std::vector<std::pair<const char*, std::optional<std::int32_t>>> Registers(
    const ProgramInspection& inspection) {
  const SnapshotState& s = inspection.registers;
  // An SNA snapshot keeps its program counter on the stack; the field holds an older value.
  const std::optional<std::int32_t> pc =
      inspection.is_sna ? inspection.pc_on_stack : std::optional<std::int32_t>(s.PC);
  return {{"AF", s.AF},       {"BC", s.BC},       {"DE", s.DE},       {"HL", s.HL},
          {"IX", s.IX},       {"IY", s.IY},       {"AFAlt", s.AFAlt}, {"BCAlt", s.BCAlt},
          {"DEAlt", s.DEAlt}, {"HLAlt", s.HLAlt}, {"SP", s.SP},       {"PC", pc},
          {"I", s.I},         {"R", s.R}};
}

std::string FitText(const std::optional<bool>& fits) {
  if (!fits) return "unknown (no ZX80_ROM.bin)";
  return *fits ? "possible" : "not possible (the program does not fit in 16K)";
}

std::string RamText(const RamOffer& offer) {
  std::string text;
  for (const std::string& entry : offer.entries)
    text.append(text.empty() ? "" : ", ").append(entry);
  text.append(" (selected: ")
      .append(offer.entries.at(static_cast<std::size_t>(offer.selected)))
      .append(")");
  return text;
}

}  // namespace

std::string InfoText(const std::string& shown_name, const ProgramInspection& inspection) {
  std::string text = shown_name + "\n";
  auto line = [&text](const std::string& label, const std::string& value) {
    text.append("  ").append(label).append(": ").append(value).append("\n");
  };
  line("machine", MachineName(inspection.machine));
  if (!inspection.refusal.empty()) {
    line("refused", inspection.refusal);
    return text;
  }
  if (inspection.machine != Machine::Spectrum) {
    line("program length", std::to_string(inspection.program_length) + " bytes");
  }
  line("RAM sizes offered", RamText(inspection.ram_offer));
  switch (inspection.machine) {
    case Machine::ZX81:
      line("auto-run", inspection.auto_run_fixed ? "yes (the program starts by itself)"
                                                 : (inspection.auto_run_ticked ? "yes" : "no"));
      break;
    case Machine::ZX80:
      line("auto-run", inspection.auto_run_ticked ? "yes" : "no");
      line("16K cartridge with auto-run", FitText(inspection.fits_16k_with_auto_run));
      line("16K cartridge without auto-run", FitText(inspection.fits_16k_without_auto_run));
      break;
    case Machine::Spectrum: {
      std::string registers;
      for (const auto& [name, value] : Registers(inspection)) {
        const bool byte = std::string(name) == "I" || std::string(name) == "R";
        std::string shown = value ? Hex(*value, byte ? 2 : 4) : "unknown";
        if (std::string(name) == "PC" && inspection.is_sna) shown += " (on the stack)";
        std::string label = name;
        if (label.size() > 3 && label.substr(2) == "Alt") label = label.substr(0, 2) + "'";
        registers.append(registers.empty() ? "" : " ").append(label).append("=").append(shown);
      }
      line("registers", registers);
      line("interrupts", "mode " + std::to_string(inspection.registers.InterruptMode) + ", " +
                             (inspection.registers.InterruptsEnabled ? "enabled" : "disabled"));
      line("border", std::to_string(inspection.registers.BorderColour));
      if (const auto& area = inspection.unused_area) {
        line("unused area", Hex(area->low, 4) + "-" + Hex(area->top - 1, 4) + " (" +
                                std::to_string(area->top - area->low) + " bytes, page " +
                                std::to_string(area->page) + ")");
      } else {
        line("unused area", "none (no 48K cartridge)");
      }
      if (inspection.from_tape) {
        line("tape", std::to_string(inspection.tape_blocks.size()) + " blocks, captured at PC=" +
                         Hex(inspection.captured_pc, 4) +
                         (inspection.stopped_at_address ? " (the stop address)"
                                                        : " (after settling)"));
        for (std::size_t i = 0; i < inspection.tape_blocks.size(); ++i) {
          const TapeBlockName& block = inspection.tape_blocks[i];
          line("block " + std::to_string(i + 1),
               block.description + (block.name.empty() ? "" : " \"" + block.name + "\""));
        }
      }
      break;
    }
  }
  return text;
}

std::string InfoJson(const std::string& shown_name, const ProgramInspection& inspection) {
  JsonObject json;
  json.Add("file", JsonString(shown_name));
  json.Add("machine", JsonString(MachineName(inspection.machine)));
  if (!inspection.refusal.empty())
    return json.Add("error", JsonString(inspection.refusal))
        .Add("refusal_kind", JsonString(std::string(LoadFailureName(inspection.refusal_kind))))
        .Close();

  if (inspection.machine != Machine::Spectrum)
    json.Add("program_length", std::to_string(inspection.program_length));
  json.Add("ram_offered", JsonStrings(inspection.ram_offer.entries));
  json.Add("ram_selected", JsonString(inspection.ram_offer.entries.at(
                               static_cast<std::size_t>(inspection.ram_offer.selected))));
  json.Add("ram_selectable", JsonBool(inspection.ram_offer.enabled));
  if (inspection.machine != Machine::Spectrum) {
    json.Add("auto_run", JsonBool(inspection.auto_run_ticked));
    json.Add("auto_run_fixed", JsonBool(inspection.auto_run_fixed));
  }
  if (inspection.machine == Machine::ZX80) {
    json.Add("fits_16k_with_auto_run", JsonOptionalBool(inspection.fits_16k_with_auto_run));
    json.Add("fits_16k_without_auto_run", JsonOptionalBool(inspection.fits_16k_without_auto_run));
  }
  if (inspection.machine == Machine::Spectrum) {
    JsonObject registers;
    for (const auto& [name, value] : Registers(inspection))
      registers.Add(name, value ? std::to_string(*value) : "null");
    json.Add("registers", registers.Close());
    json.Add("pc_on_stack", JsonBool(inspection.is_sna));
    json.Add("interrupt_mode", std::to_string(inspection.registers.InterruptMode));
    json.Add("interrupts_enabled", JsonBool(inspection.registers.InterruptsEnabled));
    json.Add("border", std::to_string(inspection.registers.BorderColour));
    if (const auto& area = inspection.unused_area) {
      json.Add("unused_area", JsonObject()
                                  .Add("low", std::to_string(area->low))
                                  .Add("top", std::to_string(area->top))
                                  .Add("page", std::to_string(area->page))
                                  .Close());
    } else {
      json.Add("unused_area", "null");
    }
    if (inspection.from_tape) {
      std::string blocks;
      for (const TapeBlockName& block : inspection.tape_blocks)
        blocks.append(blocks.empty() ? "[" : ",")
            .append(JsonObject()
                        .Add("description", JsonString(block.description))
                        .Add("name", JsonString(block.name))
                        .Close());
      json.Add("tape", JsonObject()
                           .Add("blocks", blocks.empty() ? "[]" : blocks + "]")
                           .Add("captured_pc", std::to_string(inspection.captured_pc))
                           .Add("stopped_at_address", JsonBool(inspection.stopped_at_address))
                           .Close());
    }
  }
  return json.Close();
}

}  // namespace quillfen
