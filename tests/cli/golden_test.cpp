// Golden cases: each folder tests/golden/<format>/<case>/ holds a source file and what `vireo-cli convert`
// must make of it. The cases are data; this runner only plays them:
//   input.<ext>      the source; its extension picks the converter as it does for an operator
//   args             the options after the input, one per line (optional)
//   expected.tpx     the program file the run writes (the runner adds --output)
//   expected.out     what the run prints on stdout (with --lines, or the view text of --sink rtf)
//   expected.err     what the run prints on stderr, whole (messages and the summary line)
//   expected.status  the exit status when it is not 0
//   note             why the expected text is what it is (read by people, not by the runner)
// A case needs at least one of expected.tpx and expected.out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "settings/text_file.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenRoot = fs::path(VIREO_SOURCE) / "tests/golden";

struct GoldenCase {
  std::string format;
  std::string name;
  fs::path folder;
};

std::optional<fs::path> input_of(const fs::path& folder) {
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().stem() == "input") return entry.path();
  }
  return std::nullopt;
}

std::vector<GoldenCase> find_cases() {
  std::vector<GoldenCase> cases;
  std::error_code error;
  for (const fs::directory_entry& format : fs::directory_iterator(kGoldenRoot, error)) {
    if (!format.is_directory()) continue;
    // Folders without an input file belong to other runners (frames, probes, firmware records).
    for (const fs::directory_entry& one : fs::directory_iterator(format.path(), error)) {
      if (one.is_directory() && input_of(one.path()))
        cases.push_back({format.path().filename().string(), one.path().filename().string(), one.path()});
    }
  }
  std::sort(cases.begin(), cases.end(),
            [](const GoldenCase& a, const GoldenCase& b) { return a.folder < b.folder; });
  return cases;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, ConvertsAsExpected) {
  const fs::path& folder = GetParam().folder;
  const std::optional<fs::path> source = input_of(folder);
  ASSERT_TRUE(source) << "no input file in " << folder;
  const std::optional<std::string> expected_program = read_whole_file(folder / "expected.tpx");
  const std::optional<std::string> expected_out = read_whole_file(folder / "expected.out");
  ASSERT_TRUE(expected_program || expected_out) << "nothing to compare in " << folder;

  // The source is copied, so that a program file written beside it lands in the test's directory.
  test::TempDir dir;
  const fs::path input = dir.path() / source->filename();
  fs::copy_file(*source, input);
  std::vector<std::string> args = {"convert", input.string()};
  for (const std::string& arg : lines_of(read_whole_file(folder / "args").value_or(""))) args.push_back(arg);
  const fs::path output = dir.path() / "golden-output.tpx";
  if (expected_program) {
    args.push_back("--output");
    args.push_back(output.string());
  }

  const test::ProcessResult r = test::run_process(VIREO_CLI, args);
  const int expected_status = std::stoi(read_whole_file(folder / "expected.status").value_or("0"));
  EXPECT_EQ(r.status, expected_status) << r.err;
  if (expected_program) {
    EXPECT_EQ(read_whole_file(output).value_or("(no program file)"), *expected_program);
  }
  if (expected_out) {
    EXPECT_EQ(r.out, *expected_out);
  }
  if (const std::optional<std::string> expected_err = read_whole_file(folder / "expected.err")) {
    EXPECT_EQ(r.err, *expected_err);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(find_cases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                           std::string name = info.param.format + "_" + info.param.name;
                           std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                           return name;
                         });

}  // namespace
}  // namespace vireo
