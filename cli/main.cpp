// vireo-cli: the headless front end over the same logic as the desktop program, for scripts and checks.
#include <exception>
#include <iostream>
#include <string_view>

#include "cli/cli_options.h"
#include "cli/commands.h"

namespace {

constexpr std::string_view kUsage =
    "usage: vireo-cli COMMAND [options]\n"
    "commands:\n"
    "  settings [--setup FILE.stu] [--set NAME=VALUE]... [--dump] [--write FILE.stu]\n"
    "  convert INPUT [--setup FILE.stu] [--set NAME=VALUE]... [--sink file|rtf|periferica]\n"
    "          [--output FILE] [--lines] [--type gc|dxf|drl|gbr|plt|rml] [--tool CODE] [--list-tools]\n"
    "          [--manual-answer ok|skip|change:N|dev:N] [--port comN=PATH]\n"
    "  send FILE.tpx|FILE.raw [--setup F] [--set N=V]... [--port comN=PATH] [--lines]\n"
    "  trace FILE.tpx [--setup F] [--set N=V]...\n"
    "  preview FILE.tpx [--setup F] [--set N=V]... --png OUT.png [--size WxH]\n"
    "  autozero FILE.tpx [--setup F] [--set N=V]... [--output FILE]\n"
    "  probe cave|island x|y|xy [--setup F] [--set N=V]... [--port comN=PATH]\n"
    "  decode-frame HEX... [--setup FILE] [--set NAME=VALUE]...\n";

struct Command {
  std::string_view name;
  int (*run)(vireo::ArgReader&);
};

constexpr Command kCommands[] = {
    {"settings", vireo::settings_command},
    {"convert", vireo::convert_command},
    {"send", vireo::send_command},
    {"trace", vireo::trace_command},
    {"preview", vireo::preview_command},
    {"autozero", vireo::autozero_file_command},
    {"probe", vireo::probe_command},
    {"decode-frame", vireo::decode_frame_command},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string_view name = argv[1];
  if (name == "--help" || name == "-h") {
    std::cout << kUsage;
    return 0;
  }
  for (const Command& command : kCommands) {
    if (command.name != name) continue;
    vireo::ArgReader args(argc, argv, 2);
    try {
      return command.run(args);
    } catch (const vireo::UsageError& error) {
      std::cerr << "vireo-cli " << name << ": " << error.message << "\n" << kUsage;
      return 2;
    } catch (const std::exception& error) {
      // The commands report their own failures; whatever still escapes ends with a message, not an abort.
      std::cerr << "vireo-cli " << name << ": " << error.what() << '\n';
      return 1;
    }
  }
  std::cerr << "vireo-cli: unknown command " << name << "\n" << kUsage;
  return 2;
}
