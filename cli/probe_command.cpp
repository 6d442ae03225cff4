// vireo-cli probe: the find-centre sequence of a start button, run headless against the controller on
// the configured port, with the travels the window opens with and the slack and Z step of the settings.
#include <iostream>
#include <string>
#include <string_view>

#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/commands.h"
#include "core/context.h"
#include "link/machine_link.h"
#include "manual/find_centre.h"

namespace vireo {
namespace {

ProbeKind parse_kind(std::string_view word) {
  if (word == "cave") return ProbeKind::cave;
  if (word == "island") return ProbeKind::isle;
  throw UsageError{"probe needs cave or island, not " + std::string(word)};
}

ProbeAxes parse_axes(std::string_view word) {
  if (word == "x") return ProbeAxes::x;
  if (word == "y") return ProbeAxes::y;
  if (word == "xy") return ProbeAxes::xy;
  throw UsageError{"probe needs x, y or xy, not " + std::string(word)};
}

}  // namespace

int probe_command(ArgReader& args) {
  CommonOptions options;
  std::vector<std::string> words;
  while (!args.done()) {
    const std::string_view argument = args.take();
    if (args.take_common(argument, options)) continue;
    if (argument.starts_with("--")) throw UsageError{"unknown option " + std::string(argument)};
    words.emplace_back(argument);
  }
  if (words.size() != 2) throw UsageError{"probe needs cave|island and x|y|xy"};
  const ProbeKind kind = parse_kind(words[0]);
  const ProbeAxes axes = parse_axes(words[1]);

  CliSession session(options);
  Context& context = session.context();
  if (int status = load_cli_settings(options, context); status != 0) return status;
  // The machine is reached as the applied settings reach it: a "comN" device opens its port now.
  if (const std::optional<RunError> failure = open_machine_link(context)) {
    std::cerr << "vireo-cli probe: Errore " << failure->number() << ' ' << failure->description() << '\n';
    return 1;
  }
  session.echo_lines(std::cout);
  CliHost::stop_on_interrupt();
  FindCentreFields fields = opening_fields(context);
  FindCentre finder(context, fields);
  const bool found = finder.run(kind, axes);
  // A line the port could not take is the reason no reply came.
  if (!context.channel.error_text.empty()) std::cerr << context.channel.error_text << '\n';
  if (!found) return 1;
  std::cout << "centre";
  if (axes != ProbeAxes::y) std::cout << " x=" << fields.x_centre;
  if (axes != ProbeAxes::x) std::cout << " y=" << fields.y_centre;
  std::cout << '\n';
  return 0;
}

}  // namespace vireo
