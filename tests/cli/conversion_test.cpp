#include "cli/conversion.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "cartridge/cartridge_maker.h"
#include "cartridge/file_names.h"
#include "support/rom_images.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using testing::MakeRomImage;
using testing::TempDir;

// Readers and entry points of the ZX80 and ZX81 modules with scripted programs: records every
// call, so the choices handed to the converter can be checked without the real builders.
class FakeConverters : public MachineConverters {
 public:
  explicit FakeConverters(Host& host) : MachineConverters(host), host_(host) {}

  struct Call {
    std::string entry;
    std::string file_name;
    std::int32_t ram_size;
    std::int16_t auto_run;
    Host::Answer answer;
    std::string program;  // the path last read: the program the module holds
  };

  std::int32_t length = 500;       // program length of every program read
  bool auto_runs = false;          // ZX81: whether the program starts by itself
  std::string refuse;              // a path the readers refuse
  std::string fail;                // a file name the entry points refuse without a message
  std::string complain;            // a file name the entry points refuse with a message
  std::string throw_for;           // a file name whose conversion throws
  std::vector<std::string> loads;  // every path read
  std::vector<Call> calls;

  bool LoadZX80Program(const std::filesystem::path& path) override { return Load(path); }
  std::int16_t ZX80ProgramLength() override { return static_cast<std::int16_t>(length); }
  bool LoadZX81Program(const std::filesystem::path& path) override { return Load(path); }
  bool ZX81ProgramAutoRuns() override { return auto_runs; }
  std::int32_t ZX81ProgramLength() override { return length; }

  bool GenerateZX80Cartridge(const std::string& file_name, std::int32_t& ram_size,
                             std::int16_t auto_run) override {
    return Generate("ZX80", file_name, ram_size, auto_run);
  }
  bool GenerateZX81Cartridge(const std::string& file_name, std::int32_t& ram_size,
                             std::int16_t auto_run) override {
    return Generate("ZX81", file_name, ram_size, auto_run);
  }

 private:
  bool Load(const std::filesystem::path& path) {
    loads.push_back(path.string());
    return path.string() != refuse;
  }

  bool Generate(const std::string& entry, const std::string& file_name, std::int32_t ram_size,
                std::int16_t auto_run) {
    calls.push_back({entry, file_name, ram_size, auto_run,
                     host_.AskCartridgeSize("The program and ROM will fit within 16K."),
                     loads.empty() ? "" : loads.back()});
    if (file_name == throw_for) throw std::runtime_error("ByteAt: offset 9 past the end");
    if (file_name == fail) return false;
    if (file_name == complain) {
      host_.ShowError("Program is too large");
      return false;
    }
    CartridgeMaker maker;
    maker.PadWithFFTo(16);
    return maker.WriteCartridgeImage(host_.OutputPath(OutputNameFor(file_name)));
  }

  Host& host_;
};

class ConversionTest : public ::testing::Test {
 protected:
  ConversionTest() : host_(err_, roms_.path(), out_dir_.path(), std::nullopt), fake_(host_) {}

  // Plans and runs `files` with the options of `args`; returns the exit status (2 for usage).
  int Run(std::vector<std::string> args) {
    ParsedOptions parsed = ParseOptions(args);
    EXPECT_EQ(parsed.error, "");
    ConversionPlan plan = PlanConversions(parsed.options, fake_, roms_.path());
    if (!plan.usage_errors.empty()) {
      for (const std::string& error : plan.usage_errors) usage_ += error + "\n";
      return 2;
    }
    return RunConversions(plan, fake_, host_, out_, err_);
  }

  TempDir roms_;
  TempDir out_dir_;
  std::ostringstream out_;
  std::ostringstream err_;
  std::string usage_;
  CliHost host_;
  FakeConverters fake_;
};

TEST_F(ConversionTest, ZX81DefaultsAreWhatTheWindowSelects) {
  fake_.length = 1010;  // the lowest band: 1K, 4K, 16K with 1K selected
  ASSERT_EQ(Run({"dir/game.p"}), 0);
  ASSERT_EQ(fake_.calls.size(), 1u);
  EXPECT_EQ(fake_.calls[0].entry, "ZX81");
  EXPECT_EQ(fake_.calls[0].file_name, "GAME.P");  // bare and in upper case
  EXPECT_EQ(fake_.calls[0].ram_size, 1024);
  EXPECT_EQ(fake_.calls[0].auto_run, 0);
  EXPECT_EQ(fake_.calls[0].answer, Host::Answer::No);
  EXPECT_EQ(fake_.loads, std::vector<std::string>{"dir/game.p"});  // opened as given, read once
  EXPECT_EQ(out_.str(), "dir/game.p -> " + (out_dir_.path() / "GAME.bin").string() + "\n");
  EXPECT_EQ(err_.str(), "");

  fake_.length = 1011;  // the middle band selects 16K
  fake_.calls.clear();
  ASSERT_EQ(Run({"GAME.81", "--autorun"}), 0);
  EXPECT_EQ(fake_.calls[0].ram_size, 16384);
  EXPECT_EQ(fake_.calls[0].auto_run, 1);
}

TEST_F(ConversionTest, SelfStartingZX81ProgramKeepsAutoRun) {
  fake_.auto_runs = true;
  ASSERT_EQ(Run({"--no-autorun", "-r", "4K", "GAME.P81"}), 0);
  EXPECT_EQ(fake_.calls[0].auto_run, 1);  // the window's box is ticked and disabled
  EXPECT_EQ(fake_.calls[0].ram_size, 4096);
}

TEST_F(ConversionTest, ZX80DefaultsToAutoRunAndTheMiddleBandTo16K) {
  fake_.length = 2000;
  ASSERT_EQ(Run({"GAME.O"}), 0);
  EXPECT_EQ(fake_.calls[0].entry, "ZX80");
  EXPECT_EQ(fake_.calls[0].ram_size, 16384);
  EXPECT_EQ(fake_.calls[0].auto_run, 1);
  fake_.calls.clear();
  ASSERT_EQ(Run({"--no-autorun", "-r", "3K", "GAME.80"}), 0);
  EXPECT_EQ(fake_.calls[0].ram_size, 3072);
  EXPECT_EQ(fake_.calls[0].auto_run, 0);
}

TEST_F(ConversionTest, MachineOptionOverridesTheExtension) {
  ASSERT_EQ(Run({"-m", "zx80", "GAME.P"}), 0);
  EXPECT_EQ(fake_.calls[0].entry, "ZX80");
}

TEST_F(ConversionTest, RamSizeTheWindowWouldNotOfferIsAUsageErrorNamingTheSizesThatFit) {
  fake_.length = 2000;
  EXPECT_EQ(Run({"-r", "1K", "GAME.P"}), 2);
  EXPECT_EQ(usage_,
            "GAME.P: RAM size 1K is not offered for this 2000-byte ZX81 program; it fits in 4K "
            "or 16K\n");
  usage_.clear();
  EXPECT_EQ(Run({"-r", "3K", "GAME.P"}), 2);  // a ZX80 size
  usage_.clear();
  fake_.length = 3070;
  EXPECT_EQ(Run({"-r", "3K", "GAME.O"}), 2);
  EXPECT_EQ(usage_,
            "GAME.O: RAM size 3K is not offered for this 3070-byte ZX80 program; it fits in 16K\n");
  EXPECT_TRUE(fake_.calls.empty());
}

TEST_F(ConversionTest, SizeOptionAnswersTheQuestionOnlyWhenItWouldBeAsked) {
  // Free space from 4097: a 16K ZX80 cartridge holds 16384 - 4097 - 85 = 12202 bytes with
  // auto-run and 12209 without.
  roms_.Write("ZX80_ROM.bin", MakeRomImage(4095));
  fake_.length = 12202;
  ASSERT_EQ(Run({"-s", "16K", "GAME.O"}), 0);
  EXPECT_EQ(fake_.calls.back().answer, Host::Answer::Yes);
  ASSERT_EQ(Run({"-s", "32K", "GAME.O"}), 0);
  EXPECT_EQ(fake_.calls.back().answer, Host::Answer::No);

  fake_.length = 12203;
  EXPECT_EQ(Run({"-s", "16K", "GAME.O"}), 2);
  EXPECT_EQ(usage_, "GAME.O: no 16K cartridge: the program does not fit in 16K\n");
  usage_.clear();
  ASSERT_EQ(Run({"-s", "16K", "--no-autorun", "GAME.O"}), 0);  // the shorter loader leaves room
  EXPECT_EQ(fake_.calls.back().answer, Host::Answer::Yes);

  EXPECT_EQ(Run({"-s", "48K", "GAME.O"}), 2);
  EXPECT_EQ(usage_, "GAME.O: a ZX80 cartridge is 16K or 32K, not 48K\n");
  usage_.clear();
  EXPECT_EQ(Run({"-s", "16K", "GAME.P"}), 2);
  EXPECT_EQ(usage_, "GAME.P: a ZX81 cartridge is always 32K, not 16K\n");
  usage_.clear();
  EXPECT_EQ(Run({"-s", "32K", "GAME.P"}), 0);
}

TEST_F(ConversionTest, WithoutTheZX80RomTheSizeIsLeftToTheConverter) {
  fake_.length = 20000;
  ASSERT_EQ(Run({"-s", "16K", "GAME.O"}), 0);
  EXPECT_EQ(fake_.calls.back().answer, Host::Answer::Yes);
}

TEST_F(ConversionTest, BatchGoesOnAfterAFailureAndReportsEachFileOnItsOwnLine) {
  fake_.complain = "B.P";
  fake_.fail = "C.P";
  fake_.throw_for = "D.P";
  fake_.refuse = "e.p";
  EXPECT_EQ(Run({"a.p", "b.p", "c.p", "d.p", "e.p", "f.p"}), 1);
  EXPECT_EQ(out_.str(), "a.p -> " + (out_dir_.path() / "A.bin").string() + "\nf.p -> " +
                            (out_dir_.path() / "F.bin").string() + "\n");
  EXPECT_EQ(err_.str(),
            "b.p: Program is too large\n"
            "c.p: no cartridge image was written (building it or writing " +
                (out_dir_.path() / "C.bin").string() +
                " failed)\n"
                "d.p: ByteAt: offset 9 past the end\n"
                "e.p: no such file\n");
  EXPECT_TRUE(std::filesystem::exists(out_dir_.path() / "A.bin"));
  EXPECT_TRUE(std::filesystem::exists(out_dir_.path() / "F.bin"));
  EXPECT_FALSE(std::filesystem::exists(out_dir_.path() / "B.bin"));
}

TEST_F(ConversionTest, ReadsAProgramAgainWhenALaterInputReplacedIt) {
  ASSERT_EQ(Run({"a.p", "b.o", "c.p"}), 0);
  // Inspection reads all three; c.p replaced a.p in the ZX81 module, so a.p is read again, and
  // then c.p. The ZX80 module still holds b.o.
  EXPECT_EQ(fake_.loads, (std::vector<std::string>{"a.p", "b.o", "c.p", "a.p", "c.p"}));
  ASSERT_EQ(fake_.calls.size(), 3u);
  EXPECT_EQ(fake_.calls[0].program, "a.p");
  EXPECT_EQ(fake_.calls[1].entry, "ZX80");
  EXPECT_EQ(fake_.calls[2].program, "c.p");
}

TEST_F(ConversionTest, TwoInputsWithOneImageNameAreRefusedBeforeAnythingIsRead) {
  EXPECT_EQ(Run({"GAME.SNA", "x.p", "dir/game.z80"}), 2);
  EXPECT_EQ(usage_, "GAME.SNA and dir/game.z80 would both write GAME.bin\n");
  EXPECT_TRUE(fake_.loads.empty());
  EXPECT_TRUE(std::filesystem::is_empty(out_dir_.path()));
}

TEST_F(ConversionTest, UsageErrorsStopTheWholeBatchBeforeAnythingIsWritten) {
  fake_.length = 2000;
  EXPECT_EQ(Run({"a.p", "b.o", "-r", "1K"}), 2);
  EXPECT_TRUE(fake_.calls.empty());
  EXPECT_TRUE(std::filesystem::is_empty(out_dir_.path()));
}

TEST_F(ConversionTest, NameWithoutDotIsRefusedAsNoImageNameCanBeMade) {
  // "P" has the extension "P" by the whole-name rule, but no image name.
  EXPECT_EQ(Run({"dir/P", "a.p"}), 1);
  EXPECT_EQ(err_.str(), "dir/P: no image name can be made from a file name without \".\"\n");
  EXPECT_EQ(fake_.calls.size(), 1u);
}

}  // namespace
}  // namespace quillfen
