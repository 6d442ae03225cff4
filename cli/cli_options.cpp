#include "cli/cli_options.h"

#include <iostream>

#include "core/context.h"
#include "app/session.h"
#include "settings/setup_file.h"
#include "settings/text_file.h"

namespace vireo {

std::string ArgReader::value(std::string_view option) {
  if (done()) throw UsageError{std::string(option) + " needs a value"};
  return std::string(take());
}

bool ArgReader::take_common(std::string_view argument, CommonOptions& options) {
  if (argument == "--setup") {
    options.setup = value(argument);
  } else if (argument == "--set") {
    const std::string assignment = value(argument);
    const auto equals = assignment.find('=');
    if (equals == std::string::npos) throw UsageError{"--set needs NAME=VALUE, not " + assignment};
    options.sets.emplace_back(assignment.substr(0, equals), assignment.substr(equals + 1));
  } else if (argument == "--port") {
    const std::string assignment = value(argument);
    const auto equals = assignment.find('=');
    const int number = equals == std::string::npos ? 0 : com_port_number(assignment.substr(0, equals));
    if (number == 0) throw UsageError{"--port needs comN=PATH with N from 1 to 24, not " + assignment};
    options.ports.set(number, assignment.substr(equals + 1));
  } else {
    return false;
  }
  return true;
}

int load_cli_settings(const CommonOptions& options, Context& context) {
  if (!options.setup.empty()) {
    const SetupReadResult read = read_setup_file(options.setup, context.settings);
    if (!read.ok) {
      if (read.read_error != 0) {
        std::cerr << "vireo-cli: cannot read " << file_error(options.setup, read.read_error) << '\n';
      } else {
        std::cerr << "vireo-cli: " << options.setup << ": not a setup file: " << read.fields_read
                  << " fields read, " << kSlotCount << " needed\n";
      }
      return 1;
    }
    context.setup_path = options.setup;
  }
  for (const auto& [name, value] : options.sets) {
    const std::optional<int> slot = find_slot(name);
    if (!slot) {
      std::cerr << "vireo-cli: unknown setting " << name << "\n";
      return 2;
    }
    context.settings.set_text(*slot, value);
  }
  apply_settings(context);
  return 0;
}

}  // namespace vireo
