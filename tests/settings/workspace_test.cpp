#include "settings/workspace.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

TEST(Workspace, AFirstStartWritesTheFreshFile) {
  test::TempDir dir;
  const WorkspaceLoad load = read_workspace(dir.file("vireo.dat"), Workspace{});
  EXPECT_TRUE(load.recreated);
  EXPECT_EQ(load.error, "");
  EXPECT_EQ(dir.read("vireo.dat"), "\"\",#TRUE#,#TRUE#,#TRUE#,\"vireo.stu\"\r\n");
  EXPECT_TRUE(load.workspace.keypad_open && load.workspace.immediate_open && load.workspace.display_open);
  EXPECT_EQ(load.workspace.setup_name, "vireo.stu");
}

TEST(Workspace, AnUnreadableFileIsRecreatedKeepingTheDocument) {
  test::TempDir dir;
  dir.write("vireo.dat", "\"a.gbr\",#TRUE#,maybe,#TRUE#,\"x.stu\"\r\n");
  Workspace current;
  current.last_document = "/home/op/board.gbr";
  current.keypad_open = false;
  current.setup_name = "other.stu";
  const WorkspaceLoad load = read_workspace(dir.file("vireo.dat"), current);
  EXPECT_TRUE(load.recreated);
  EXPECT_EQ(load.workspace.last_document, "/home/op/board.gbr");
  EXPECT_TRUE(load.workspace.keypad_open);
  EXPECT_EQ(load.workspace.setup_name, "vireo.stu");
}

TEST(Workspace, ReadsEveryBooleanForm) {
  struct Case {
    const char* content;
    bool ok;
    bool keypad, immediate, display;
  } cases[] = {
      {"\"d\",#TRUE#,#FALSE#,#TRUE#,\"s.stu\"\r\n", true, true, false, true},
      {"\"d\",\"True\",\"False\",\"false\",\"s.stu\"", true, true, false, false},
      {"\"d\",#FALSE#,#FALSE#,#FALSE#,\"s.stu\"", true, false, false, false},
      {"\"d\",1,#FALSE#,#FALSE#,\"s.stu\"", false, false, false, false},
      {"\"d\",#TRUE#,#TRUE#", false, false, false, false},
      {"", false, false, false, false},
  };
  for (const Case& c : cases) {
    const std::optional<Workspace> w = parse_workspace(c.content);
    ASSERT_EQ(w.has_value(), c.ok) << c.content;
    if (!w) continue;
    EXPECT_EQ(w->keypad_open, c.keypad) << c.content;
    EXPECT_EQ(w->immediate_open, c.immediate) << c.content;
    EXPECT_EQ(w->display_open, c.display) << c.content;
    EXPECT_EQ(w->setup_name, "s.stu");
  }
}

TEST(Workspace, RoundTripsAwkwardPaths) {
  test::TempDir dir;
  Workspace w;
  w.last_document = "/home/op/my \"best\", board.gbr";
  w.display_open = false;
  w.setup_name = "mill 2.stu";
  ASSERT_EQ(write_workspace(dir.file("vireo.dat"), w), "");
  const WorkspaceLoad load = read_workspace(dir.file("vireo.dat"), Workspace{});
  EXPECT_FALSE(load.recreated);
  EXPECT_EQ(load.workspace.last_document, w.last_document);
  EXPECT_FALSE(load.workspace.display_open);
  EXPECT_EQ(load.workspace.setup_name, "mill 2.stu");
}

TEST(Workspace, AnUnwritableDirectoryEndsWithAnErrorInsteadOfLooping) {
  test::TempDir dir;
  const WorkspaceLoad load = read_workspace(dir.file("no/such/dir/vireo.dat"), Workspace{});
  EXPECT_TRUE(load.recreated);
  EXPECT_NE(load.error, "");
  EXPECT_EQ(load.workspace.setup_name, "vireo.stu");
}

}  // namespace
}  // namespace vireo
