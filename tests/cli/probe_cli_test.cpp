// vireo-cli probe against the simulated controller: the lines sent, the centre found, and the exit
// status and message of a refused or unanswered probe.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/text_file.h"
#include "tests/support/background_process.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

const std::filesystem::path kGolden = std::filesystem::path(VIREO_SOURCE) / "tests/golden/probe";

struct Case {
  const char* name;
  std::vector<std::string> sim;  // the simulator's workpiece and start
  std::vector<std::string> probe;
  int status;
  const char* out;  // the whole output (a golden file's name), or its last line
  const char* err;  // a text stderr holds
};

TEST(ProbeCli, FindsCentresAgainstTheSimulatedController) {
  const std::vector<std::string> cavity = {"--cavity", "8000,12000,8000,12000"};
  const std::vector<std::string> island = {"--island", "3000,7000,4000,6000,500"};
  const auto with = [](std::vector<std::string> a, std::vector<std::string> b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const Case cases[] = {
      {"the worked cavity", with(cavity, {"--start", "10000,10000,0"}), {"cave", "x"}, 0, "cave_x.txt", ""},
      {"half of 4001 rounds down", {"--cavity", "8000,12001,0,0", "--start", "10000,0,0"}, {"cave", "x"}, 0,
       "centre x=10000", ""},
      {"cavity XY", with(cavity, {"--start", "9000,11000,0"}), {"cave", "xy"}, 0, "centre x=10000 y=10000", ""},
      {"cavity Y, 32-bit frames", with(cavity, {"--start", "10000,9000,0", "--32bit"}), {"cave", "y", "--set", "quote32bit=1"},
       0, "centre y=10000", ""},
      {"island from 5000 with travel 4600", with(island, {"--start", "5000,5000,0"}), {"island", "x"}, 0, "island_x.txt",
       ""},
      {"island XY", with(island, {"--start", "5000,5000,0"}), {"island", "xy"}, 0, "centre x=05000 y=05000", ""},
      {"Y too near zero", with(cavity, {"--start", "10000,3000,0"}), {"cave", "y"}, 1, "ga0 gh0", "Y minore di zero"},
      {"no reply from the dummy device", with(cavity, {"--start", "10000,10000,0"}),
       {"cave", "x", "--set", "s_periferica=dummy"}, 1, "ga0 gh0", "[TrovaCentro:]nessuna risposta dal controllore"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    std::vector<std::string> sim_args = {"--log", dir.file("sim.log")};
    sim_args.insert(sim_args.end(), c.sim.begin(), c.sim.end());
    test::BackgroundProcess sim(VIREO_SIM, sim_args);
    const std::optional<std::string> pty = sim.read_line(std::chrono::seconds(5));
    ASSERT_TRUE(pty);
    std::vector<std::string> args = {"probe"};
    args.insert(args.end(), c.probe.begin(), c.probe.end());
    // The probe's own --set options come last and win.
    args.insert(args.begin() + 3, {"--set", "s_periferica=com1", "--set", "quote32bit=0", "--set",
                                   "mem_offset_trovacentro=100", "--set", "memz_trovacent=1000", "--port",
                                   "com1=" + *pty});
    const test::ProcessResult r = test::run_process(VIREO_CLI, args);
    EXPECT_EQ(r.status, c.status) << r.err;
    const std::string name = c.out;
    if (name.ends_with(".txt")) {
      EXPECT_EQ(r.out, read_whole_file(kGolden / name).value_or("(missing golden)"));
    } else {
      EXPECT_TRUE(r.out.ends_with(name + "\n")) << r.out;
    }
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
}

TEST(ProbeCli, WrongCommandLines) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"probe"}, {"probe", "cave"},
                                               {"probe", "pocket", "x"}, {"probe", "cave", "z"},
                                               {"probe", "cave", "x", "--travel", "5"}}) {
    EXPECT_EQ(test::run_process(VIREO_CLI, args).status, 2);
  }
}

}  // namespace
}  // namespace vireo
