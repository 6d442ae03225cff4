// The stand-in loader `fwflash`: its command line, the report of a firmware file (golden files in
// tests/golden/srecord/<case>/), and a load into the simulated controller.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "link/fwflash/srecord.h"
#include "tests/support/background_process.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

const std::string kGolden = std::string(VIREO_SOURCE) + "/tests/golden/srecord/";

std::string read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The report without its first line, which names the file by its path.
std::string without_file_line(const std::string& out) { return out.substr(out.find('\n') + 1); }

TEST(SRecord, OneLineEachFault) {
  struct Case {
    const char* line;
    const char* error;
  };
  const Case cases[] = {
      {"S1130000285F245F2212226A000424290008237C2A", ""},
      {"X1130000285F245F2212226A000424290008237C2A", "a record starts with S"},
      {"S", "no record type after S"},
      {"S4030000FC", "record type S4 is reserved"},
      {"S1130000285F245F2212226A000424290008237C2", "odd number of hex digits"},
      {"S1130000285F245F2212226A00042429000823Z72A", "not a hex digit at column 39"},
      {"S1", "no byte count"},
      {"S1120000285F245F2212226A000424290008237C2A", "byte count 18 but 19 bytes follow"},
      {"S30400000000", "byte count 4 too small for S3"},
      {"S1130000285F245F2212226A000424290008237C2B", "checksum 2B, should be 2A"},
      {"S9040000000FB", "odd number of hex digits"},
      {"S904000000FB", "S9 carries no data"},
  };
  for (const Case& c : cases) {
    srec::Record record;
    EXPECT_EQ(srec::parse_record(c.line, record), c.error) << c.line;
  }
}

TEST(Fwflash, ReportsWhatAFileWouldLoad) {
  for (const char* name : {"good", "bad"}) {
    SCOPED_TRACE(name);
    const std::string dir = kGolden + name + "/";
    const test::ProcessResult result = test::run_process(VIREO_FWFLASH, {"--check", "1:D", dir + "firmware.s19"});
    EXPECT_EQ(result.status, std::string(name) == "good" ? 0 : 1);
    EXPECT_EQ(result.out.rfind("file " + dir + "firmware.s19\n", 0), 0u) << result.out;
    EXPECT_EQ(without_file_line(result.out), read(dir + "report.txt"));
    EXPECT_EQ(result.err, read(dir + "errors.txt"));
  }
}

TEST(Fwflash, RefusesAWrongCommandLine) {
  const std::vector<std::vector<std::string>> wrong = {
      {}, {"1:D"}, {"0:D", "a.s19"}, {"25:D", "a.s19"}, {"1:X", "a.s19"}, {"com1", "a.s19"}, {"--baud", "x", "1:D", "a"}};
  for (const auto& args : wrong) EXPECT_EQ(test::run_process(VIREO_FWFLASH, args).status, 2) << args.size();
  test::TempDir dir;
  EXPECT_EQ(test::run_process(VIREO_FWFLASH, {"1:D", dir.file("missing.s19")}).status, 1);
}

TEST(Fwflash, LoadsIntoTheSimulatedController) {
  test::TempDir dir;
  test::BackgroundProcess sim(VIREO_SIM, {"--log", dir.file("sim.log")});
  const std::optional<std::string> path = sim.read_line(std::chrono::seconds(5));
  ASSERT_TRUE(path);
  ::setenv("VIREO_COM12", path->c_str(), 1);
  const std::string file = kGolden + "good/firmware.s19";
  // The file's path reaches the loader in pieces when it holds blanks; they are joined again.
  dir.write("kora fw.s19", read(file));
  const test::ProcessResult result = test::run_process(VIREO_FWFLASH, {"12:D", dir.file("kora"), "fw.s19"});
  ::unsetenv("VIREO_COM12");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("loaded 7 records, 74 bytes\n"), std::string::npos) << result.out;
  EXPECT_EQ(sim.stop(), 0);
  std::string expected = read(file);
  std::erase(expected, '\r');
  EXPECT_EQ(dir.read("sim.log"), expected);
}

TEST(Fwflash, NoControllerOnThePortEndsTheLoad) {
  test::TempDir dir;
  ::setenv("VIREO_COM5", dir.file("no-such-port").c_str(), 1);
  const test::ProcessResult result = test::run_process(VIREO_FWFLASH, {"5:D", kGolden + "good/firmware.s19"});
  ::unsetenv("VIREO_COM5");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("Errore 8002"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace vireo
