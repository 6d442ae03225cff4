// vireo-cli decode-frame, run as a field check runs it, over the cases of its golden file.
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/process.h"

namespace vireo {
namespace {

std::vector<std::string> split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + separator.size())
    parts.push_back(text.substr(from, at - from));
  parts.push_back(text.substr(from));
  return parts;
}

TEST(CliDecodeFrame, GoldenCases) {
  std::ifstream cases(VIREO_SOURCE "/tests/golden/frames/decode_frame.txt");
  ASSERT_TRUE(cases);
  int count = 0;
  for (std::string line; std::getline(cases, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> fields = split(line, "\t");
    ASSERT_EQ(fields.size(), 3u) << line;
    std::vector<std::string> args = split(fields[1], " | ");
    args.insert(args.begin(), "decode-frame");
    const test::ProcessResult r = test::run_process(VIREO_CLI, args);
    const int status = std::stoi(fields[0]);
    EXPECT_EQ(r.status, status) << line << "\n" << r.err;
    if (status == 0) {
      EXPECT_EQ(r.out, fields[2] + "\n") << line;
    } else {
      EXPECT_EQ(r.out, "") << line;
      EXPECT_NE(r.err.find(fields[2]), std::string::npos) << line << "\n" << r.err;
    }
    ++count;
  }
  EXPECT_EQ(count, 11);
}

}  // namespace
}  // namespace vireo
