#include "app/setup_form.h"

#include <gtest/gtest.h>

#include "core/context.h"
#include "settings/setup_file.h"
#include "tests/support/fake_host.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

// The immediate-command window of a host that has one.
class ImmediateHost : public test::FakeHost {
 public:
  std::optional<std::vector<std::string>> window;
  std::optional<std::vector<std::string>> immediate_texts() override { return window; }
  void set_immediate_texts(const std::vector<std::string>& texts) override { window = texts; }
};

struct SetupFormTest : ::testing::Test {
  test::TempDir home;  // the data directory
  ImmediateHost host;
  Context context{host};
  SetupForm form;
  void SetUp() override {
    context.program_directory = home.path();
    context.setup_path = home.path() / "vireo.stu";
  }
  std::size_t at(Slot slot, int element = 0) const { return static_cast<std::size_t>(slot_index(slot, element)); }
};

TEST_F(SetupFormTest, AMissingFileIsWrittenWithTheDefaultsAndRead) {
  ASSERT_EQ(form.open(context), "");
  EXPECT_EQ(home.read("vireo.stu"), setup_file_text(SettingsRecord{}));
  EXPECT_EQ(form.texts, SetupForm().texts);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SetupFormTest, ADamagedFileIsKeptBesideTheFreshOne) {
  home.write("vireo.stu", "-300,100,F04,");
  ASSERT_EQ(form.open(context), "");
  EXPECT_EQ(home.read("vireo.stu.bad"), "-300,100,F04,");
  EXPECT_EQ(home.read("vireo.stu"), setup_file_text(SettingsRecord{}));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].find("vireo.stu.bad"), std::string::npos);
}

TEST_F(SetupFormTest, SaveThenOpenGivesTheSameTexts) {
  ASSERT_EQ(form.open(context), "");
  form.texts[at(Slot::z_superf)] = "1200";
  form.texts[at(Slot::descrizione1, 2)] = "Fresa, 2 mm \"lunga\"";
  form.texts[at(Slot::initstring)] = "lx1,ly2";
  form.texts[at(Slot::opt_gbr)] = "3";
  form.description_hints[3] = "sale di 5mm";
  host.window = std::vector<std::string>(20, "G1");
  ASSERT_EQ(form.save(context), "");
  SetupForm again;
  ASSERT_EQ(again.open(context), "");
  EXPECT_EQ(again.texts[at(Slot::z_superf)], "1200");
  EXPECT_EQ(again.texts[at(Slot::descrizione1, 2)], "Fresa, 2 mm \"lunga\"");
  EXPECT_EQ(again.texts[at(Slot::initstring)], "lx1,ly2");
  EXPECT_EQ(again.texts[at(Slot::opt_gbr)], "3");
  // Slot 180 holds the fourth description's hint, and gives it back.
  EXPECT_EQ(again.texts[at(Slot::locazione_disponibile)], "sale di 5mm");
  EXPECT_EQ(again.description_hints[3], "sale di 5mm");
  // The immediate-command lines came from that window.
  EXPECT_EQ(again.texts[at(Slot::immediate_command)], "G1");
  EXPECT_EQ(again.texts[at(Slot::immediate_hint, 9)], "G1");
}

TEST_F(SetupFormTest, SaveAsAndLoadSetupUseTheDataDirectoryOnly) {
  ASSERT_EQ(form.open(context), "");
  form.texts[at(Slot::Version)] = "6";
  // Save As under a name chosen in another directory: the file lands in the data directory.
  ASSERT_EQ(form.save_as(context, "/somewhere/else/mill.stu"), "");
  EXPECT_EQ(context.setup_path, home.path() / "mill.stu");
  SettingsRecord mill;
  ASSERT_TRUE(read_setup_file(home.file("mill.stu"), mill).ok);
  EXPECT_EQ(mill.text(Slot::Version), "6");
  EXPECT_EQ(mill.text(Slot::set_in_use), "mill.stu");
  EXPECT_EQ(home.read("vireo.stu"), setup_file_text(SettingsRecord{}));

  // Load setup of the first file: read from the data directory, the immediate window filled.
  SetupForm other;
  ASSERT_EQ(other.load_setup(context, "/another/place/vireo.stu"), "");
  EXPECT_EQ(context.setup_path, home.path() / "vireo.stu");
  EXPECT_EQ(other.texts[at(Slot::Version)], "5");
  EXPECT_EQ(other.texts[at(Slot::set_in_use)], "vireo.stu");
  ASSERT_TRUE(host.window);
  EXPECT_EQ(host.window->front(), SettingsRecord{}.text(Slot::immediate_command));
  // A cancelled choice changes nothing.
  EXPECT_EQ(other.load_setup(context, ""), "");
  EXPECT_EQ(other.save_as(context, ""), "");
  EXPECT_EQ(context.setup_path, home.path() / "vireo.stu");
}

TEST_F(SetupFormTest, AnOldCopyTakesItsOwnFileName) {
  SettingsRecord copy;  // says "vireo.stu"
  ASSERT_EQ(write_setup_file(home.file("copy.stu"), copy), "");
  ASSERT_EQ(form.load_setup(context, "copy.stu"), "");
  EXPECT_EQ(form.texts[at(Slot::set_in_use)], "copy.stu");
}

}  // namespace
}  // namespace vireo
