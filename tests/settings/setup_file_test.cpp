#include "settings/setup_file.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

std::string fields(int count, const std::string& each = "1") {
  std::string text;
  for (int i = 0; i < count; ++i) text += each + ",";
  return text;
}

TEST(SetupFile, DefaultsRoundTripAsOneLineEndingWithAComma) {
  test::TempDir dir;
  const SettingsRecord defaults;
  ASSERT_EQ(write_setup_file(dir.file("vireo.stu"), defaults), "");
  const std::string text = dir.read("vireo.stu");
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_EQ(text.back(), ',');
  EXPECT_EQ(text.substr(0, 25), "-200,100,F04,F45,S12,dumm");

  SettingsRecord read;
  read.set_text(0, "changed");
  const SetupReadResult result = read_setup_file(dir.file("vireo.stu"), read);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(read.texts(), defaults.texts());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left
}

TEST(SetupFile, TextsWithCommasQuotesAndBlanksReadBackExactly) {
  const std::string awkward[] = {
      "F45RX04800*,RY30000*", "say \"hi\"", "\"", "  leading", "trailing ", "a,b,\"c\"", "", "line\r\nbreak",
  };
  test::TempDir dir;
  SettingsRecord record;
  for (int i = 0; i < 8; ++i) record.set_text(Slot::immediate_command, i, awkward[i]);
  ASSERT_EQ(write_setup_file(dir.file("odd.stu"), record), "");
  SettingsRecord read;
  ASSERT_TRUE(read_setup_file(dir.file("odd.stu"), read).ok);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(read.text(Slot::immediate_command, i), awkward[i]) << i;
  EXPECT_EQ(read.texts(), record.texts());
}

TEST(SetupFile, ReadsTheOldFormat) {
  struct Case {
    const char* name;
    std::string content;
    int fields_read;
    bool ok;
  } cases[] = {
      {"exactly 200", fields(200), 200, true},
      {"last field without its comma", fields(199) + "1", 200, true},
      {"199 fields", fields(199), 199, false},
      {"empty file", "", 0, false},
      {"extra fields ignored", fields(210), 200, true},
      {"trailing line end", fields(200) + "\r\n", 200, true},
      {"blanks around numbers", fields(200, " 1 "), 200, true},
      {"quoted fields", fields(200, "\"a b\""), 200, true},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    SettingsRecord record;
    const SetupReadResult result = read_setup_file(dir.write("s.stu", c.content), record);
    EXPECT_EQ(result.ok, c.ok) << c.name;
    EXPECT_EQ(result.fields_read, c.fields_read) << c.name;
  }
}

TEST(SetupFile, FieldsAreTrimmedOrTakenWholeWhenQuoted) {
  const auto split = split_settings_fields(" 12 ,\" x, y \" junk,abc def,,\"unterminated", 10);
  ASSERT_EQ(split.size(), 5u);
  EXPECT_EQ(split[0].text, "12");
  EXPECT_EQ(split[1].text, " x, y ");
  EXPECT_TRUE(split[1].quoted);
  EXPECT_EQ(split[2].text, "abc def");
  EXPECT_EQ(split[3].text, "");
  EXPECT_EQ(split[4].text, "unterminated");
}

TEST(SetupFile, AShortFileLeavesTheRecordAlone) {
  test::TempDir dir;
  SettingsRecord record;
  record.set_text(Slot::z_superf, "1234");
  EXPECT_FALSE(read_setup_file(dir.write("short.stu", fields(50, "9")), record).ok);
  EXPECT_EQ(record.text(Slot::z_superf), "1234");
  EXPECT_FALSE(read_setup_file(dir.file("missing.stu"), record).ok);
}

TEST(SetupFile, AFailedWriteKeepsTheOldFile) {
  test::TempDir dir;
  const std::string path = dir.write("keep.stu", "old");
  // A file size limit makes the write fail part way, as a full disk would.
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlimit small{100, limit.rlim_max};
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string error = write_setup_file(path, SettingsRecord{});
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_NE(error, "");
  EXPECT_EQ(dir.read("keep.stu"), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left
}

}  // namespace
}  // namespace vireo
