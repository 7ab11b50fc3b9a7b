#include "cli/info_report.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

ProgramInspection ZX80Program() {
  ProgramInspection inspection;
  inspection.machine = Machine::ZX80;
  inspection.program_length = 2000;
  inspection.ram_offer = {{"3K", "16K"}, 1, true};
  inspection.auto_run_ticked = true;
  inspection.zx80_rom_end = 4097;
  inspection.fits_16k_with_auto_run = true;
  inspection.fits_16k_without_auto_run = true;
  return inspection;
}

ProgramInspection SnaSnapshot() {
  ProgramInspection inspection;
  inspection.machine = Machine::Spectrum;
  inspection.ram_offer = {{"48K"}, 0, false};
  SnapshotState& s = inspection.registers;
  s.AF = 0x3A44;
  s.BC = 0x0605;
  s.DE = 0x0403;
  s.HL = 0x0201;
  s.IX = 0x0807;
  s.IY = 0x5C3A;
  s.AFAlt = 0x8877;
  s.BCAlt = 0x6655;
  s.DEAlt = 0x4433;
  s.HLAlt = 0x2211;
  s.SP = 0xFF00;
  s.PC = 0x1234;  // left by an earlier Z80 snapshot: not this one's
  s.I = 0x3F;
  s.R = 0x2A;
  s.InterruptMode = 1;
  s.InterruptsEnabled = true;
  s.BorderColour = 5;
  inspection.is_sna = true;
  inspection.pc_on_stack = 0x8123;
  inspection.unused_area = UnusedArea{0xD002, 0xE3E0, 2};
  return inspection;
}

TEST(InfoTextTest, ZX80ShowsTheWindowsChoicesAndTheSixteenKOutlook) {
  ProgramInspection inspection = ZX80Program();
  inspection.fits_16k_with_auto_run = false;
  EXPECT_EQ(InfoText("game.o", inspection),
            "game.o\n"
            "  machine: ZX80\n"
            "  program length: 2000 bytes\n"
            "  RAM sizes offered: 3K, 16K (selected: 16K)\n"
            "  auto-run: yes\n"
            "  16K cartridge with auto-run: not possible (the program does not fit in 16K)\n"
            "  16K cartridge without auto-run: possible\n");
  inspection.fits_16k_with_auto_run.reset();
  inspection.fits_16k_without_auto_run.reset();
  EXPECT_NE(InfoText("game.o", inspection)
                .find("16K cartridge without auto-run: unknown (no ZX80_ROM.bin)\n"),
            std::string::npos);
}

TEST(InfoTextTest, SnapshotShowsRegistersWithThePcFromTheStack) {
  EXPECT_EQ(InfoText("game.sna", SnaSnapshot()),
            "game.sna\n"
            "  machine: Spectrum\n"
            "  RAM sizes offered: 48K (selected: 48K)\n"
            "  registers: AF=0x3A44 BC=0x0605 DE=0x0403 HL=0x0201 IX=0x0807 IY=0x5C3A "
            "AF'=0x8877 BC'=0x6655 DE'=0x4433 HL'=0x2211 SP=0xFF00 PC=0x8123 (on the stack) "
            "I=0x3F R=0x2A\n"
            "  interrupts: mode 1, enabled\n"
            "  border: 5\n"
            "  unused area: 0xD002-0xE3DF (5086 bytes, page 2)\n");
  ProgramInspection z80 = SnaSnapshot();
  z80.is_sna = false;
  z80.unused_area.reset();
  const std::string text = InfoText("game.z80", z80);
  EXPECT_NE(text.find(" PC=0x1234 I="), std::string::npos);
  EXPECT_NE(text.find("  unused area: none (no 48K cartridge)\n"), std::string::npos);
}

TEST(InfoJsonTest, OneObjectPerMachineFieldByField) {
  EXPECT_EQ(InfoJson("game.o", ZX80Program()),
            R"({"file":"game.o","machine":"ZX80","program_length":2000,)"
            R"("ram_offered":["3K","16K"],"ram_selected":"16K","ram_selectable":true,)"
            R"("auto_run":true,"auto_run_fixed":false,)"
            R"("fits_16k_with_auto_run":true,"fits_16k_without_auto_run":true})");

  ProgramInspection zx81;
  zx81.machine = Machine::ZX81;
  zx81.program_length = 4083;
  zx81.ram_offer = {{"16K"}, 0, false};
  zx81.auto_run_ticked = zx81.auto_run_fixed = true;
  EXPECT_EQ(
      InfoJson("g.p", zx81),
      R"({"file":"g.p","machine":"ZX81","program_length":4083,"ram_offered":["16K"],)"
      R"("ram_selected":"16K","ram_selectable":false,"auto_run":true,"auto_run_fixed":true})");

  EXPECT_EQ(InfoJson("game.sna", SnaSnapshot()),
            R"({"file":"game.sna","machine":"Spectrum","ram_offered":["48K"],)"
            R"("ram_selected":"48K","ram_selectable":false,"registers":{"AF":14916,"BC":1541,)"
            R"("DE":1027,"HL":513,"IX":2055,"IY":23610,"AFAlt":34935,"BCAlt":26197,)"
            R"("DEAlt":17459,"HLAlt":8721,"SP":65280,"PC":33059,"I":63,"R":42},)"
            R"("pc_on_stack":true,"interrupt_mode":1,"interrupts_enabled":true,"border":5,)"
            R"("unused_area":{"low":53250,"top":58336,"page":2}})");

  ProgramInspection no_pc = SnaSnapshot();
  no_pc.pc_on_stack.reset();  // SP outside RAM
  no_pc.unused_area.reset();
  const std::string json = InfoJson("x.sna", no_pc);
  EXPECT_NE(json.find(R"("PC":null)"), std::string::npos);
  EXPECT_NE(json.find(R"("unused_area":null)"), std::string::npos);
}

TEST(InfoJsonTest, RefusedFileAndNamesThatNeedEscaping) {
  ProgramInspection refused;
  refused.machine = Machine::ZX81;
  refused.refusal = "not a valid ZX81 program";
  EXPECT_EQ(InfoJson("a \"b\"\\c\n.p", refused),
            R"({"file":"a \"b\"\\c\u000A.p","machine":"ZX81","error":"not a valid ZX81 program"})");
}

}  // namespace
}  // namespace quillfen
