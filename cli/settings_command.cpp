// vireo-cli settings: the derived values of a setup, its 200 slots, or a rewritten setup file.
#include <iostream>

#include "core/context.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/commands.h"
#include "base/number_text.h"
#include "settings/setup_file.h"

namespace vireo {
namespace {

void print_derived(const DerivedSettings& d, std::ostream& out) {
  const auto line = [&](std::string_view key, const std::string& value) { out << key << '=' << value << '\n'; };
  line("digits", number_text(d.digits));
  line("mask", d.mask);
  line("travel_z", d.travel_z);
  line("cutting_z", d.cutting_z);
  line("bull", d.bull);
  line("glue", d.glue);
  line("vertex", d.vertex);
  line("dsr_delay", number_text(d.dsr_delay));
  line("feed_a", d.feed_a);
  line("feed_b", d.feed_b);
  line("feed_c", d.feed_c);
  line("scale_rml", number_text(d.scale_rml));
  line("scale_dxf", number_text(d.scale_dxf));
  line("scale_excellon", number_text(d.scale_excellon));
  line("scale_gerber", number_text(d.scale_gerber));
  line("scale_hpgl", number_text(d.scale_hpgl));
  line("scale_gc", number_text(d.scale_gc));
}

void print_slots(const SettingsRecord& record, std::ostream& out) {
  for (int i = 0; i < kSlotCount; ++i) out << i << ' ' << slot_display_name(i) << '=' << record.text(i) << '\n';
}

}  // namespace

int settings_command(ArgReader& args) {
  CommonOptions options;
  bool dump = false;
  std::string write_to;
  while (!args.done()) {
    const std::string_view argument = args.take();
    if (args.take_common(argument, options)) continue;
    if (argument == "--dump") {
      dump = true;
    } else if (argument == "--write") {
      write_to = args.value(argument);
    } else {
      throw UsageError{"unknown option " + std::string(argument)};
    }
  }

  CliSession session(options);
  Context& context = session.context();
  if (int status = load_cli_settings(options, context); status != 0) return status;

  if (dump) {
    print_slots(context.settings, std::cout);
  } else {
    print_derived(context.derived, std::cout);
  }
  if (!write_to.empty()) {
    if (std::string error = write_setup_file(write_to, context.settings); !error.empty()) {
      std::cerr << "vireo-cli: " << error << "\n";
      return 1;
    }
  }
  return 0;
}

}  // namespace vireo
