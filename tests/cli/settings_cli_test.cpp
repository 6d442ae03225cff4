// vireo-cli settings, run as scripts run it.
#include <gtest/gtest.h>

#include "settings/setup_file.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

test::ProcessResult cli(const std::vector<std::string>& args) { return test::run_process(VIREO_CLI, args); }

TEST(CliSettings, DefaultsPrintTheDerivedValuesInOrder) {
  const test::ProcessResult r = cli({"settings"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "digits=5\nmask=00000\ntravel_z=Z00800\ncutting_z=Z01100\nbull=pb\nglue=pc\nvertex=pa\n"
            "dsr_delay=100\nfeed_a=F01\nfeed_b=F01\nfeed_c=F41\nscale_rml=1\nscale_dxf=1\nscale_excellon=1\n"
            "scale_gerber=1\nscale_hpgl=1\nscale_gc=1\n");
}

TEST(CliSettings, OverridesBySlotNameElementAndNumber) {
  const test::ProcessResult r = cli({"settings", "--set", "unita_gerber=inch", "--set", "75=3", "--set",
                                     "Version=6", "--set", "check_includi=1", "--set", "Ena_pbpc=0"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("scale_gerber=0.254\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("travel_z=Z000800go0\n"), std::string::npos);
  EXPECT_NE(r.out.find("bull=\nglue=\nvertex=\n"), std::string::npos);

  const test::ProcessResult dump = cli({"settings", "--set", "xatc[2]=123", "--set", "descrizione1[0]=a,b", "--dump"});
  ASSERT_EQ(dump.status, 0);
  EXPECT_NE(dump.out.find("\n14 xatc[2]=123\n"), std::string::npos);
  EXPECT_NE(dump.out.find("\n130 descrizione1[0]=a,b\n"), std::string::npos);
  EXPECT_EQ(dump.out.substr(0, 14), "0 z_iniz_v=-20");
  EXPECT_NE(dump.out.find("\n160 slot=F45RX04800*RY30000*F10\n"), std::string::npos);
  EXPECT_NE(dump.out.find("\n199 slot=1\n"), std::string::npos);
}

TEST(CliSettings, FailuresGiveTheirExitStatus) {
  test::TempDir dir;
  const std::string short_file = dir.write("short.stu", "1,2,3,");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{"settings", "--set", "nonsense=1"}, 2, "nonsense"},
      {{"settings", "--set", "xatc[9]=1"}, 2, "xatc[9]"},
      {{"settings", "--setup", short_file}, 1, "3 fields read"},
      {{"settings", "--setup", dir.file("missing.stu")}, 1, "missing.stu"},
      {{"settings", "--bogus"}, 2, "--bogus"},
      {{"settings", "--set"}, 2, "--set"},
  };
  for (const Case& c : cases) {
    const test::ProcessResult r = cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args.back();
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_NE(cli({"settings", "--setup", short_file}).err.find(short_file), std::string::npos);
}

TEST(CliSettings, WriteThenReadBack) {
  test::TempDir dir;
  const std::string path = dir.file("out.stu");
  ASSERT_EQ(cli({"settings", "--set", "160=G1, \"quoted\"", "--set", "Version=6", "--write", path}).status, 0);
  SettingsRecord record;
  ASSERT_TRUE(read_setup_file(path, record).ok);
  EXPECT_EQ(record.text(160), "G1, \"quoted\"");
  const test::ProcessResult again = cli({"settings", "--setup", path});
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.out.find("digits=6\n"), std::string::npos);
}

}  // namespace
}  // namespace vireo
