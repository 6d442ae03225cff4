// Runs a built program of the project and captures what it printed.
#pragma once

#include <string>
#include <vector>

namespace vireo::test {

struct ProcessResult {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs `program` with `args`, feeding `input` on its standard input.
ProcessResult run_process(const std::string& program, const std::vector<std::string>& args,
                          const std::string& input = {});

}  // namespace vireo::test
