// vireo-cli decode-frame, run as a field check runs it.
#include <gtest/gtest.h>

#include "tests/support/process.h"

namespace vireo {
namespace {

const std::string kWorked = "01 F4 00 64 00 00 00 00 00 00 00 00 04 0C";

TEST(CliDecodeFrame, ContractTable) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;  // a piece of stderr
  } cases[] = {
      {{kWorked, "--set", "quote32bit=0"}, 0, "x= 500 y= 100 z= 0 f= 4 s= 12 a=0 b=0 c=0\n", ""},
      {{"--set", "quote32bit=0", "01", "f4", "00", "64", "00 00 00 00", "00 00 00 00", "04", "0c"}, 0,
       "x= 500 y= 100 z= 0 f= 4 s= 12 a=0 b=0 c=0\n", ""},
      {{"00 00 00 07 00 00 00 00 00 00 00 00 00 00 00 AF 00 00 00 00 00 00 00 00 63 0C", "--set", "Step_giro_A=350"},
       0, "x= 7 y= 0 z= 0 f= 99 s= 12 a=18000 b=0 c=0\n", ""},
      {{kWorked}, 1, "", "14 bytes given; a frame is 26 bytes with quote32bit on"},
      {{kWorked, "00", "--set", "quote32bit=0"}, 1, "", "15 bytes given; a frame is 14 bytes"},
      {{"80 00 00 07 00 00 00 00 00 00 00 00 00 00 00 AF 00 00 00 00 00 00 00 00 63 0C"}, 1, "", "discarded"},
      {{"01 F4 0"}, 2, "", "not a hex byte: 0"},
      {{"01F4"}, 2, "", "not a hex byte: 01F4"},
      {{"zz"}, 2, "", "not a hex byte: zz"},
      {{"--set", "quote32bit=0"}, 2, "", "no frame bytes"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"decode-frame"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const test::ProcessResult r = test::run_process(VIREO_CLI, args);
    EXPECT_EQ(r.status, c.status) << c.args.front() << "\n" << r.err;
    EXPECT_EQ(r.out, c.out) << c.args.front();
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace vireo
