// A listener for the lines the output channel delivers: the command-line front end echoes them with
// --lines, tests record them. The channel hands it every line that reached its destination (program
// file, output view, machine or dummy device) with its text as delivered, after encoding ("" when the
// encoder dropped every command of it).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vireo {

class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void take(std::string_view line) = 0;
};

// Keeps every line it is handed, in order.
class RecordingSink : public LineSink {
 public:
  void take(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

}  // namespace vireo
