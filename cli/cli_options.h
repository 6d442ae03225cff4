// Options shared by the subcommands of vireo-cli: the setup file, slot overrides and port paths.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/serial_port.h"

namespace vireo {

struct Context;

// A wrong command line: exit status 2 and the message on stderr.
struct UsageError {
  std::string message;
};

struct CommonOptions {
  std::string setup;                                        // --setup FILE.stu
  std::vector<std::pair<std::string, std::string>> sets;  // --set NAME=VALUE, in order
  PortMap ports;                                            // --port comN=PATH
};

// Walks the arguments of a subcommand.
class ArgReader {
 public:
  ArgReader(int argc, char** argv, int first) : argc_(argc), argv_(argv), next_(first) {}
  bool done() const { return next_ >= argc_; }
  std::string_view take() { return argv_[next_++]; }
  // The value after an option; a missing one is a usage error.
  std::string value(std::string_view option);
  // Takes --setup, --set or --port with its value when the next argument is one of them.
  bool take_common(std::string_view argument, CommonOptions& options);

 private:
  int argc_;
  char** argv_;
  int next_;
};

// Fills the context's record from the built-in defaults or the setup file, applies the --set
// overrides and derives the settings. Returns 0, or the exit status after printing the reason:
// 1 when the setup file is missing or short, 2 when a --set names no slot.
int load_cli_settings(const CommonOptions& options, Context& context);

}  // namespace vireo
