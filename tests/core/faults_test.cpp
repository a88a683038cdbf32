// The file writers and readers under outside faults, without a display: a
// read-only file is never replaced, by either writer, a full disk leaves the
// old file whole, and a pipe, a device or a huge file where a file is read
// neither blocks nor fills the memory. The calculator-level cases are in tests/gui/faults_test.cpp;
// the list of all of them is tests/FAULTS.md.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/Errors.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Region.h"
#include "presets/PresetFile.h"

#if defined(__linux__)
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class WriterFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = fs::temp_directory_path() /
             ("zumbrel-faults-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(Folder);
    fs::create_directories(Folder);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(Folder, ec);
  }
  fs::path Folder;
};

struct TWriter {
  const char* Name;
  std::function<void(const std::string& path)> Write;
};

const TWriter kWriters[] = {
    {"whole file", [](const std::string& path) { WriteFileAtomically(path, "new contents\r\n"); }},
    {"settings key", [](const std::string& path) { IniFile(path).WriteInteger("Main", "Format", 3); }},
};

TEST_F(WriterFaults, ReadOnlyFileIsNeverReplaced) {
  const std::string old = "[Main]\r\nFormat=1\r\n";
  for (const TWriter& writer : kWriters) {
    SCOPED_TRACE(writer.Name);
    const fs::path path = Folder / "file";
    WriteAll(path, old);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    try {
      writer.Write(path.string());
      ADD_FAILURE() << "a read-only file was written";
    } catch (const EWriteError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + path.string());
    }
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(Entries(Folder), std::vector<std::string>{"file"});

    // With its owner's write permission back, the same write goes through and
    // the file keeps its permissions.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    writer.Write(path.string());
    EXPECT_NE(ReadAll(path), old);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::remove(path);
  }
}

#if defined(__linux__)
// A real full disk: a 64 KiB file system of this process's own, mounted in a
// mount namespace nobody else sees. Needs the privilege to mount.
TEST_F(WriterFaults, FullDiskKeepsTheOldFileWhole) {
  if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", Folder.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "no privilege to mount a small file system";
  const fs::path path = Folder / "file";
  const std::string old = "[Main]\r\nSkin=Windows\r\nFormat=1\r\n";
  WriteAll(path, old);
  {
    std::ofstream filler(Folder / "filler", std::ios::binary);
    const std::string block(4096, 'z');
    // Until the disk refuses: 64 KiB cannot hold 256.
    for (int i = 0; i < 64 && filler.write(block.data(), block.size()).flush(); ++i) {
    }
    EXPECT_FALSE(filler.good());
  }
  for (const TWriter& writer : kWriters) {
    SCOPED_TRACE(writer.Name);
    EXPECT_THROW(writer.Write(path.string()), EWriteError);
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(Entries(Folder), (std::vector<std::string>{"file", "filler"}));
  }
  umount2(Folder.c_str(), MNT_DETACH);
}
#endif

#if defined(__linux__)
// Where a settings, preset or outline file is read, something else lies: a
// pipe nobody writes to (opening it would wait for ever), a link to a device
// that never ends, a file past the size limit (sparse: it costs no disk), a
// folder. Every reader takes it as unreadable at once: the settings read
// their defaults, a preset and an outline do not load; a settings write
// refuses to replace it, and it stays where it was.
TEST_F(WriterFaults, ReadersTakeAPipeADeviceOrAHugeFileAsUnreadable) {
  struct TRow {
    const char* Name;
    std::function<void(const fs::path&)> Make;
  };
  const TRow rows[] = {
      {"pipe", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }},
      {"link to /dev/zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
      {"file past the limit",
       [](const fs::path& p) {
         WriteAll(p, "[Main]\nFormat=2\n");
         fs::resize_file(p, kMaxInputFileSize + 1);
       }},
      {"folder", [](const fs::path& p) { fs::create_directory(p); }},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    const fs::path path = Folder / "input";
    row.Make(path);
    const fs::file_status before = fs::symlink_status(path);
    std::string bytes;
    EXPECT_EQ(ReadRegularFile(path.string(), bytes), rrRefused);
    EXPECT_TRUE(bytes.empty());

    IniFile ini(path.string());
    EXPECT_EQ(ini.ReadInteger("Main", "Format", 7), 7);
    EXPECT_THROW(ini.WriteInteger("Main", "Format", 3), EWriteError);
    EXPECT_EQ(fs::symlink_status(path).type(), before.type());
    TPresetState preset;
    EXPECT_FALSE(LoadPresetFile(path.string(), preset));
    EXPECT_FALSE(ReadRegionBlockFile(path.string()));
    EXPECT_EQ(Entries(Folder), std::vector<std::string>{"input"});
    fs::remove_all(path);
  }
}
#endif

}  // namespace
