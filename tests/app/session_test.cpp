#include "app/session.h"

#include <gtest/gtest.h>

#include "core/context.h"
#include "settings/setup_file.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/temp_dir.h"

#include <map>

namespace vireo {
namespace {

// A host whose setup dialog writes a setup file (the given record) a number of times, then gives up.
class DialogHost : public Host {
 public:
  int dialogs = 0;
  int dialogs_that_save = 1;
  SettingsRecord saved;
  std::vector<std::string> messages;

  bool run_setup_dialog(Context& context) override {
    ++dialogs;
    if (dialogs > dialogs_that_save) return false;
    return write_setup_file(context.setup_path, saved).empty();
  }
  void message_box(std::string_view text) override { messages.emplace_back(text); }
  void set_status_panel(int panel, std::string_view text) override { panels[panel] = text; }
  std::map<int, std::string> panels;
};

struct SessionTest : ::testing::Test {
  test::TempDir dir;
  DialogHost host;
  Context context{host};
  void SetUp() override {
    use_program_directory(context, dir.path());
    read_workspace(context);
  }
};

TEST_F(SessionTest, AFirstStartCreatesBothFilesThroughTheDialog) {
  EXPECT_EQ(dir.read("vireo.dat"), "\"\",#TRUE#,#TRUE#,#TRUE#,\"vireo.stu\"\r\n");
  ASSERT_TRUE(load_settings(context));
  EXPECT_EQ(host.dialogs, 1);
  EXPECT_TRUE(std::filesystem::exists(dir.file("vireo.stu")));
  EXPECT_EQ(context.derived.travel_z, "Z00800");
}

TEST_F(SessionTest, GivingUpInTheDialogEndsTheLoad) {
  host.dialogs_that_save = 0;
  EXPECT_FALSE(load_settings(context));
  EXPECT_EQ(host.dialogs, 1);
}

TEST_F(SessionTest, TheSetupFileNamedByTheWorkspaceIsUsed) {
  SettingsRecord six;
  six.set_text(Slot::Version, "6");
  ASSERT_EQ(write_setup_file(dir.file("mill.stu"), six), "");
  dir.write("vireo.dat", "\"\",#TRUE#,#TRUE#,#TRUE#,\"mill.stu\"\r\n");
  read_workspace(context);
  ASSERT_TRUE(load_settings(context));
  EXPECT_EQ(host.dialogs, 0);
  EXPECT_EQ(context.derived.travel_z, "Z000800");
}

TEST_F(SessionTest, APortIsOpenedOnlyForAComDevice) {
  test::FakeSerialPort port;
  context.serial = &port;
  for (const char* device : {"dummy", "isa300", "isa310"}) {
    host.saved.set_text(Slot::s_periferica, device);
    ASSERT_EQ(write_setup_file(context.setup_path, host.saved), "");
    ASSERT_TRUE(load_settings(context));
    EXPECT_EQ(port.opened_number, 0) << device;
  }
  host.saved.set_text(Slot::s_periferica, "com17");
  host.saved.set_text(Slot::speed_com, "115200");
  ASSERT_EQ(write_setup_file(context.setup_path, host.saved), "");
  ASSERT_TRUE(load_settings(context));
  EXPECT_EQ(port.opened_number, 17);
  EXPECT_EQ(port.opened_baud, 115200);
}

TEST_F(SessionTest, APortThatWillNotOpenShowsItsErrorThenTheDialog) {
  test::FakeSerialPort port;
  port.refuse_open = true;
  context.serial = &port;
  host.saved.set_text(Slot::s_periferica, "com2");
  ASSERT_EQ(write_setup_file(context.setup_path, host.saved), "");
  host.dialogs_that_save = 0;
  // Cancelled: the program goes on offline instead of showing the message again.
  EXPECT_TRUE(load_settings(context));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "Errore  8005\rPort already open");
  EXPECT_EQ(host.dialogs, 1);
  EXPECT_EQ(context.settings.text(Slot::s_periferica), "dummy");
}

TEST_F(SessionTest, WorkspaceRecordsTheSetupFileInUse) {
  context.setup_path = dir.path() / "lathe.stu";
  context.workspace.last_document = "/tmp/a.gbr";
  write_workspace(context);
  EXPECT_EQ(dir.read("vireo.dat"), "\"/tmp/a.gbr\",#TRUE#,#TRUE#,#TRUE#,\"lathe.stu\"\r\n");
}

TEST_F(SessionTest, SavingInTheDialogTriesThePortAgainThenCancellingGoesOffline) {
  test::FakeSerialPort port;
  port.refuse_open = true;
  context.serial = &port;
  host.saved.set_text(Slot::s_periferica, "com3");
  const std::string file = setup_file_text(host.saved);
  ASSERT_EQ(write_setup_file(context.setup_path, host.saved), "");
  // Saved once in the dialog (the port is still wrong), then cancelled: no third message.
  host.dialogs_that_save = 1;
  ASSERT_TRUE(load_settings(context));
  EXPECT_EQ(host.dialogs, 2);
  EXPECT_EQ(host.messages, std::vector<std::string>(2, "Errore  8005\rPort already open"));
  EXPECT_EQ(context.settings.text(Slot::s_periferica), "dummy");
  EXPECT_EQ(host.panels[5], "non in linea: com3 non aperta, periferica dummy");
  EXPECT_EQ(dir.read("vireo.stu"), file);
}

}  // namespace
}  // namespace vireo
