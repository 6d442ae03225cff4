// vireo-cli commands over stored programs: send one to the machine, print its trace, draw its
// preview into a PNG, and shift it to the origin with autozero. Each runs the routine the windows run,
// with the file as the job window's document.
#include <algorithm>
#include <charconv>
#include <iostream>
#include <string>
#include <string_view>

#include "core/context.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/commands.h"
#include "convert/autozero.h"
#include "core/document_name.h"
#include "base/number_text.h"
#include "convert/senders.h"
#include "link/machine_link.h"
#include "preview/plan.h"
#include "preview/raster.h"
#include "preview/trace.h"
#include "settings/text_file.h"

namespace vireo {
namespace {

struct FileOptions {
  CommonOptions common;
  std::string file;
  bool lines = false;    // send: print every delivered line
  std::string png;       // preview: the picture's path
  int width = 800, height = 600;
  std::string output;    // autozero: where the program goes instead of over the file
};

// Which options a command takes beyond the common ones.
enum Takes : unsigned { kLines = 1, kPng = 2, kOutput = 4 };

int parse_size(std::string_view text, int& width, int& height) {
  const std::size_t x = text.find('x');
  if (x == std::string_view::npos) return 1;
  const auto read = [](std::string_view part, int& value) {
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    return error == std::errc() && end == part.data() + part.size() && value > 0;
  };
  return read(text.substr(0, x), width) && read(text.substr(x + 1), height) ? 0 : 1;
}

FileOptions parse(ArgReader& args, std::string_view command, unsigned takes) {
  FileOptions options;
  while (!args.done()) {
    const std::string_view argument = args.take();
    if (args.take_common(argument, options.common)) continue;
    if ((takes & kLines) && argument == "--lines") {
      options.lines = true;
    } else if ((takes & kPng) && argument == "--png") {
      options.png = args.value(argument);
    } else if ((takes & kPng) && argument == "--size") {
      const std::string size = args.value(argument);
      if (parse_size(size, options.width, options.height) != 0) throw UsageError{"--size needs WxH, not " + size};
      if (options.width > kMaxRasterSide || options.height > kMaxRasterSide)
        throw UsageError{"--size is at most " + std::to_string(kMaxRasterSide) + "x" + std::to_string(kMaxRasterSide) +
                         " pixels, not " + size};
    } else if ((takes & kOutput) && argument == "--output") {
      options.output = args.value(argument);
      if (options.output.empty()) throw UsageError{"--output needs a file name"};
    } else if (argument.starts_with("--") || !options.file.empty()) {
      throw UsageError{"unknown option " + std::string(argument)};
    } else {
      options.file = argument;
    }
  }
  if (options.file.empty()) throw UsageError{std::string(command) + " needs a FILE"};
  if ((takes & kPng) && options.png.empty()) throw UsageError{"preview needs --png OUT.png"};
  return options;
}

// Opens the file in the session's document window. False (after a message) when it cannot be read.
bool open_document(CliSession& session, const std::string& file) {
  int error = 0;
  const std::optional<std::string> text = read_whole_file(file, &error);
  if (!text) {
    std::cerr << "vireo-cli: cannot read " << file_error(file, error) << '\n';
    return false;
  }
  session.host().caption = file;
  session.host().document.set_text(*text);
  return true;
}

// The send's summary, always the last line on stderr: the error count, the last error text and the
// number of a delivery that failed.
int send_summary(int status, const ChannelState& channel) {
  std::cerr << "vireo-cli send: errors=" << channel.error_count << " last_error=" << channel.error_text;
  if (channel.error_number != 0) std::cerr << " error=" << channel.error_number;
  std::cerr << '\n';
  return status;
}

}  // namespace

int send_command(ArgReader& args) {
  const FileOptions options = parse(args, "send", kLines);
  CliSession session(options.common);
  Context& context = session.context();
  const ChannelState& channel = context.channel;
  if (int status = load_cli_settings(options.common, context); status != 0) return send_summary(status, channel);
  if (!open_document(session, options.file)) return send_summary(1, channel);
  // The device of the settings is reached as the desktop program reaches it: a "comN" port opens now.
  if (const std::optional<RunError> failure = open_machine_link(context)) {
    const std::string message = failure->message({}, {false, " "});
    std::cerr << "vireo-cli send: " << message << '\n';
    context.channel.error_text = message;
    context.channel.error_number = failure->number();
    return send_summary(1, channel);
  }
  if (options.lines) session.echo_lines(std::cout);
  CliHost::stop_on_interrupt();
  const bool raw = caption_extension(options.file) == kRawExtension;
  const bool sent = raw ? send_raw(context) : send_program(context);
  // Doubtful lines (a minus sign, also a raster byte that happens to be one) are counted and still
  // sent; only a delivery that failed (a port that is not open) fails the send.
  return send_summary(sent && channel.error_number == 0 ? 0 : 1, channel);
}

int trace_command(ArgReader& args) {
  const FileOptions options = parse(args, "trace", 0);
  CliSession session(options.common);
  Context& context = session.context();
  if (int status = load_cli_settings(options.common, context); status != 0) return status;
  session.host().caption = options.file;
  if (!build_trace(context)) return 1;
  const TraceState& trace = context.trace;
  std::string levels;
  for (int i = 0; i < std::min(trace.level_count, kLevelSlots); ++i)
    levels += (i ? "," : "") + number_text(trace.levels[static_cast<std::size_t>(i)]);
  std::cout << "zmin=" << number_text(trace.z_min) << "\nzmax=" << number_text(trace.z_max)
            << "\nzlevels=" << trace.level_count << "\nlevels=" << levels << "\nxmin=" << number_text(trace.x_min)
            << "\nxmax=" << number_text(trace.x_max) << "\nymin=" << number_text(trace.y_min)
            << "\nymax=" << number_text(trace.y_max) << '\n';
  return 0;
}

int preview_command(ArgReader& args) {
  const FileOptions options = parse(args, "preview", kPng);
  CliSession session(options.common);
  Context& context = session.context();
  if (int status = load_cli_settings(options.common, context); status != 0) return status;
  session.host().caption = options.file;
  if (!build_trace(context)) return 1;
  Raster picture(options.width, options.height, kPlanBackground);
  PlanOptions plan;
  plan.line_width = initial_line_width(caption_extension(options.file));
  const PlanDrawing drawing = draw_plan(context, picture, plan);
  if (const std::string error = write_png(picture, options.png); !error.empty()) {
    std::cerr << "vireo-cli: cannot write " << error << '\n';
    return 1;
  }
  std::cout << drawing.caption << '\n';
  return 0;
}

int autozero_file_command(ArgReader& args) {
  const FileOptions options = parse(args, "autozero", kOutput);
  CliSession session(options.common);
  Context& context = session.context();
  if (int status = load_cli_settings(options.common, context); status != 0) return status;
  if (!open_document(session, options.file)) return 1;
  // The closing message is the command's result and goes to stdout; a refusal stays on stderr.
  session.host().hold_messages = true;
  const std::optional<AutozeroResult> result = start_autozero(context);
  session.host().hold_messages = false;
  if (!result) {
    for (const std::string& message : session.host().held_messages) session.host().message_box(message);
    return 1;
  }
  const std::string& target = options.output.empty() ? options.file : options.output;
  const std::string error = write_file_atomically(target, session.host().document.text());
  if (!error.empty()) {
    std::cerr << "vireo-cli: cannot write " << error << '\n';
    return 1;
  }
  std::string message = result->message;
  std::replace(message.begin(), message.end(), '\r', '\n');
  std::cout << message << '\n';
  return 0;
}

}  // namespace vireo
