// A cartridge image that cannot be written gives false from the generate entry point, throws
// nothing, leaves no temporary file, and never harms an earlier image of the same name.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "hostile/hostile_inputs.h"
#include "support/rom_images.h"
#include "support/zx80_files.h"
#include "support/zx81_files.h"

namespace quillfen {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

// Reads ROM images from one folder and writes images to another, which the tests spoil.
class SplitHost : public testing::ScriptedHost {
 public:
  SplitHost(std::filesystem::path rom_folder, std::filesystem::path output_folder)
      : ScriptedHost(std::move(rom_folder)), output_folder_(std::move(output_folder)) {}
  std::filesystem::path OutputPath(const std::string& output_name) const override {
    return output_folder_ / output_name;
  }
  void SetOutputFolder(std::filesystem::path folder) { output_folder_ = std::move(folder); }

 private:
  std::filesystem::path output_folder_;
};

// Writes fail once a file would pass `bytes`, also for root; SIGXFSZ is ignored so that the
// write returns an error instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previous_handler_)(int) = nullptr;
};

// A small tmpfs mounted on a fresh folder, when this process may mount one (root with the
// capability); unmounted again at the end.
class SmallTmpfs {
 public:
  SmallTmpfs() {
    std::filesystem::create_directory(folder_ / "mnt");
    mounted_ = ::mount("tmpfs", (folder_ / "mnt").c_str(), "tmpfs", 0, "size=256k") == 0;
    if (!mounted_) reason_ = std::strerror(errno);
  }
  ~SmallTmpfs() {
    if (mounted_) ::umount2((folder_ / "mnt").c_str(), MNT_DETACH);
  }
  SmallTmpfs(const SmallTmpfs&) = delete;
  SmallTmpfs& operator=(const SmallTmpfs&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& reason() const { return reason_; }
  std::filesystem::path path() const { return folder_ / "mnt"; }

  // Fills the file system with a filler file until no block is left.
  void Fill() const {
    std::ofstream filler(path() / "filler", std::ios::binary);
    const std::string block(4096, 'f');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
      filler.flush();
      if (!filler) break;
    }
  }

 private:
  TempDir folder_;
  bool mounted_ = false;
  std::string reason_;
};

struct Machine {
  const char* name;
  const char* program_name;
  std::function<Bytes()> program;
  const char* rom_name;
  std::function<Bytes()> rom;
  std::function<bool(MachineConverters&, const std::filesystem::path&)> load;
  std::function<bool(MachineConverters&, const std::string&)> generate;
};

const Machine kMachines[] = {
    {"ZX81", "GAME.P", [] { return testing::MakeZX81Program(300, 0x407D); }, "ZX81_ROM.bin",
     [] {
       return testing::MakeRomImage(8191, {{0x000A, 0x40}});
     },
     [](MachineConverters& c, const std::filesystem::path& p) { return c.LoadZX81Program(p); },
     [](MachineConverters& c, const std::string& n) {
       std::int32_t ram_size = 16384;
       return c.GenerateZX81Cartridge(n, ram_size, 0);
     }},
    {"ZX80", "GAME.O", [] { return testing::MakeZX80Program(300); }, "ZX80_ROM.bin",
     [] {
       return testing::MakeRomImage(4095, {{10, 0xFD}});
     },
     [](MachineConverters& c, const std::filesystem::path& p) { return c.LoadZX80Program(p); },
     [](MachineConverters& c, const std::string& n) {
       std::int32_t ram_size = 16384;
       return c.GenerateZX80Cartridge(n, ram_size, 0);
     }},
    {"Spectrum", "GAME.SNA", [] { return testing::MakeSnaFile(testing::SmallSnapshot()); },
     "SPECTRUM_ROM.bin",
     [] {
       return testing::MakeRomImage(0x3FFF, {{0, 0xF3}});
     },
     [](MachineConverters& c, const std::filesystem::path& p) { return c.LoadSnapshot(p); },
     [](MachineConverters& c, const std::string& n) {
       std::int32_t ram_size = 49152;
       return c.GenerateSpectrumCartridge(n, ram_size);
     }},
};

class OutputSafetyTest : public ::testing::TestWithParam<Machine> {
 protected:
  void SetUp() override {
    rom_folder_.Write(GetParam().rom_name, GetParam().rom());
    ASSERT_TRUE(GetParam().load(converters_,
                                rom_folder_.Write(GetParam().program_name, GetParam().program())));
  }

  // Generates with every question answered No; an exception is a failure of the test.
  bool Generate() {
    host_.ScriptAnswer(Host::Answer::No);
    bool generated = true;
    EXPECT_NO_THROW(generated = GetParam().generate(converters_, GetParam().program_name));
    return generated;
  }

  static std::size_t FilesIn(const std::filesystem::path& folder) {
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++files;
    return files;
  }

  TempDir rom_folder_;
  TempDir output_folder_;
  SplitHost host_{rom_folder_.path(), output_folder_.path()};
  MachineConverters converters_{host_};
  const Bytes earlier_ = Bytes(1000, 0xA5);
};

TEST_P(OutputSafetyTest, ATargetThatIsAFolderIsRefused) {
  std::filesystem::create_directory(output_folder_ / "GAME.bin");
  EXPECT_FALSE(Generate());
  EXPECT_TRUE(std::filesystem::is_directory(output_folder_ / "GAME.bin"));
  EXPECT_EQ(FilesIn(output_folder_.path()), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(output_folder_ / "GAME.bin"));
}

TEST_P(OutputSafetyTest, ATargetWhoseParentIsAFileIsRefused) {
  const auto plain = output_folder_.Write("plain", earlier_);
  host_.SetOutputFolder(plain);
  EXPECT_FALSE(Generate());
  EXPECT_EQ(ReadFileBytes(plain), earlier_);
}

TEST_P(OutputSafetyTest, AWriteThatFailsHalfwayKeepsTheEarlierImage) {
  const auto target = output_folder_.Write("GAME.bin", earlier_);
  {
    FileSizeLimit limit(8192);  // every cartridge is at least 16384 bytes
    EXPECT_FALSE(Generate());
  }
  EXPECT_EQ(ReadFileBytes(target), earlier_);
  EXPECT_EQ(FilesIn(output_folder_.path()), 1u);  // no temporary file left behind
  EXPECT_TRUE(Generate());  // and the same generation succeeds once writing works again
  EXPECT_NE(ReadFileBytes(target), earlier_);
}

TEST_P(OutputSafetyTest, AFullFileSystemKeepsTheEarlierImage) {
  SmallTmpfs tmpfs;
  if (!tmpfs.mounted()) {
    // Without mount permission a full disk is stood in for by a limit that no image fits.
    std::printf("no tmpfs (%s): a file size limit stands in for a full file system\n",
                tmpfs.reason().c_str());
    const auto target = output_folder_.Write("GAME.bin", earlier_);
    FileSizeLimit limit(earlier_.size());
    EXPECT_FALSE(Generate());
    EXPECT_EQ(ReadFileBytes(target), earlier_);
    EXPECT_EQ(FilesIn(output_folder_.path()), 1u);
    return;
  }
  host_.SetOutputFolder(tmpfs.path());
  {
    std::ofstream out(tmpfs.path() / "GAME.bin", std::ios::binary);
    out.write(reinterpret_cast<const char*>(earlier_.data()),
              static_cast<std::streamsize>(earlier_.size()));
  }
  tmpfs.Fill();
  EXPECT_FALSE(Generate());
  EXPECT_EQ(ReadFileBytes(tmpfs.path() / "GAME.bin"), earlier_);
  EXPECT_EQ(FilesIn(tmpfs.path()), 2u);  // the image and the filler, no temporary file
  std::filesystem::remove(tmpfs.path() / "filler");
  EXPECT_TRUE(Generate());
}

INSTANTIATE_TEST_SUITE_P(EveryMachine, OutputSafetyTest, ::testing::ValuesIn(kMachines),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillfen
