// Writing files in place: through links, over devices, beside other writers and strangers' files.
#include "settings/text_file.h"

#include <gtest/gtest.h>

#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "settings/settings_record.h"
#include "settings/setup_file.h"
#include "settings/workspace.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> names_in(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A setup file reached through a symbolic link was replaced by a plain file (the link gone, the real
// file unchanged), a file of mode 600 came back as 644, and as root "--write /dev/null" put a regular
// file in place of the device. The real file is written now, with its mode; a pipe stays a pipe.
TEST(AtomicFile, WritesThroughLinksKeepsTheModeAndWritesPipesWhereTheyAre) {
  test::TempDir dir;
  fs::create_directory(dir.path() / "real");
  const std::string real = dir.write("real/my.stu", "old");
  ::chmod(real.c_str(), 0600);
  fs::create_symlink("real/my.stu", dir.path() / "link.stu");
  fs::create_symlink("link.stu", dir.path() / "chain.stu");
  ASSERT_EQ(write_setup_file(dir.file("chain.stu"), SettingsRecord{}), "");
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link.stu"));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "chain.stu"));
  EXPECT_EQ(dir.read("real/my.stu"), setup_file_text(SettingsRecord{}));
  struct stat info {};
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  EXPECT_EQ(names_in(dir.path() / "real"), std::vector<std::string>{"my.stu"});

  // A dangling link creates its target; a loop of links is refused.
  fs::create_symlink("real/new.dat", dir.path() / "dangling.dat");
  EXPECT_EQ(write_file_atomically(dir.file("dangling.dat"), "new"), "");
  EXPECT_EQ(dir.read("real/new.dat"), "new");
  fs::create_symlink("loop2", dir.path() / "loop1");
  fs::create_symlink("loop1", dir.path() / "loop2");
  EXPECT_NE(write_file_atomically(dir.file("loop1"), "x"), "");
  EXPECT_TRUE(fs::is_symlink(dir.path() / "loop1"));

  const std::string pipe = dir.file("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = read_whole_file(pipe).value_or("(unread)"); });
  EXPECT_EQ(write_file_atomically(pipe, "through the pipe"), "");
  reader.join();
  EXPECT_EQ(received, "through the pipe");
  EXPECT_TRUE(fs::is_fifo(pipe));
}

// Two writers of one file shared the temporary name "<file>.tmp": their bytes mixed, or one lost its
// temporary under the other's rename ("No such file or directory"). Each writer has its own now, and
// the file holds one writer's content whole.
TEST(AtomicFile, TwoWritersAtOnceLeaveOneWholeFile) {
  test::TempDir dir;
  const std::string path = dir.file("same.tpx");
  AtomicFile first, second;
  ASSERT_EQ(first.open(path), "");
  ASSERT_EQ(second.open(path), "");
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(first.write("AAAA"), "");
    ASSERT_EQ(second.write("BB"), "");
  }
  EXPECT_EQ(second.commit(), "");
  EXPECT_EQ(dir.read("same.tpx"), std::string(2000, 'B'));
  EXPECT_EQ(first.commit(), "");
  EXPECT_EQ(dir.read("same.tpx"), std::string(4000, 'A'));
  EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"same.tpx"});

  // Abandoned, or gone without a commit: the file stays, the temporary goes.
  {
    AtomicFile dropped;
    ASSERT_EQ(dropped.open(path), "");
    ASSERT_EQ(dropped.write("half"), "");
  }
  EXPECT_EQ(dir.read("same.tpx"), std::string(4000, 'A'));
  EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"same.tpx"});
}

// "my.stu.tmp" and "vireo.dat.tmp" belonging to someone else were deleted by a write of the setup or
// workspace file, or stopped it. vireo never touches a file it did not create.
TEST(AtomicFile, StrangersFilesBesideTheTargetAreLeftAlone) {
  test::TempDir dir;
  dir.write("my.stu.tmp", "a stranger's notes");
  fs::create_directory(dir.path() / "vireo.dat.tmp");
  EXPECT_EQ(write_setup_file(dir.file("my.stu"), SettingsRecord{}), "");
  EXPECT_EQ(write_workspace(dir.file("vireo.dat"), Workspace{}), "");
  EXPECT_EQ(dir.read("my.stu.tmp"), "a stranger's notes");
  EXPECT_TRUE(fs::is_directory(dir.path() / "vireo.dat.tmp"));
  EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"my.stu", "my.stu.tmp", "vireo.dat", "vireo.dat.tmp"}));
}

}  // namespace
}  // namespace vireo
