// vireo-cli convert: one conversion of a source file through the same driver the windows run, into a
// program file, the output text (printed at the end) or the machine.
#include <iostream>
#include <string>
#include <string_view>

#include "core/context.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/commands.h"
#include "convert/driver.h"
#include "core/channel_state.h"
#include "link/machine_link.h"
#include "base/run_error.h"
#include "link/operator_prompts.h"
#include "settings/text_file.h"

namespace vireo {
namespace {

struct ConvertOptions {
  CommonOptions common;
  std::string input;
  std::string sink = std::string(sink::kFile);
  std::string output;
  bool lines = false;
  std::string type;  // canonical extension, "" when not given
  std::string tool;
  bool list_tools = false;
  std::string manual_answer = "ok";
};

std::string sink_of(std::string_view name) {
  if (name == "file") return std::string(sink::kFile);
  if (name == "rtf") return std::string(sink::kTextView);
  if (name == "periferica") return std::string(sink::kMachine);
  throw UsageError{"--sink takes file, rtf or periferica, not " + std::string(name)};
}

std::string type_of(std::string_view name) {
  for (std::string_view type : {"gc", "dxf", "drl", "gbr", "plt", "rml"})
    if (name == type) return "." + std::string(type);
  throw UsageError{"--type takes gc, dxf, drl, gbr, plt or rml, not " + std::string(name)};
}

ConvertOptions parse(ArgReader& args) {
  ConvertOptions options;
  while (!args.done()) {
    const std::string_view argument = args.take();
    if (args.take_common(argument, options.common)) continue;
    if (argument == "--sink") {
      options.sink = sink_of(args.value(argument));
    } else if (argument == "--output") {
      options.output = args.value(argument);
    } else if (argument == "--lines") {
      options.lines = true;
    } else if (argument == "--type") {
      options.type = type_of(args.value(argument));
    } else if (argument == "--tool") {
      options.tool = args.value(argument);
    } else if (argument == "--manual-answer") {
      options.manual_answer = args.value(argument);
      if (!parse_manual_answer(options.manual_answer))
        throw UsageError{"--manual-answer takes ok, skip, change:N or dev:N (N a tool of 1 to 8), not " +
                         options.manual_answer};
    } else if (argument == "--list-tools") {
      options.list_tools = true;
    } else if (argument.starts_with("--") || !options.input.empty()) {
      throw UsageError{"unknown option " + std::string(argument)};
    } else {
      options.input = argument;
    }
  }
  if (options.input.empty()) throw UsageError{"convert needs an INPUT file"};
  return options;
}

// The summary, always the last line on stderr: the error count, the last error text and, when a
// run-time failure ended or marred the run, its number.
int finish(int status, const ChannelState& channel, std::string_view last_error, int failure_number) {
  std::cerr << "vireo-cli convert: errors=" << channel.error_count << " last_error=" << last_error;
  if (failure_number != 0) std::cerr << " error=" << failure_number;
  std::cerr << '\n';
  return status;
}

}  // namespace

int convert_command(ArgReader& args) {
  // Nothing else prints through C stdio; unsynchronised streams keep --lines fast.
  std::ios::sync_with_stdio(false);
  const ConvertOptions options = parse(args);
  CliSession session(options.common);
  Context& context = session.context();
  CliHost& host = session.host();
  if (int status = load_cli_settings(options.common, context); status != 0)
    return finish(status, context.channel, {}, 0);

  std::optional<std::string> text = read_whole_file(options.input);
  if (!text) {
    std::cerr << "vireo-cli convert: cannot read " << options.input << "\n";
    return finish(1, context.channel, {}, err::kFileNotFound);
  }
  host.document.content = std::move(*text);  // no second copy of a large source
  text.reset();
  host.document.forget_colours(true);
  host.output.forget_colours(true);
  host.caption = options.input;
  host.file_type = options.type;
  host.manual_answer = *parse_manual_answer(options.manual_answer);
  host.manual_answer_text = options.manual_answer;
  if (options.lines) host.echo = &std::cout;
  context.conversion.output_path = options.output;
  context.channel.sink = options.sink;
  // The machine is reached as the applied settings reach it: a "comN" device opens its port now.
  if (options.sink == sink::kMachine) {
    if (const std::optional<RunError> failure = open_machine_link(context)) {
      std::cerr << failure->message("vireo-cli convert: ", {false, " "}) << '\n';
      return finish(1, context.channel, {}, failure->number());
    }
  }

  const ConversionOutcome outcome = convert_document(context);

  if (options.sink == sink::kTextView && !options.lines) std::cout << host.output.content;
  if (options.list_tools)
    for (const std::string& item : host.tool_list) std::cout << item << '\n';
  std::cout.flush();
  const ChannelState& channel = context.channel;
  const std::string& last_error = channel.error_text.empty() ? host.last_error : channel.error_text;
  // A failure that ended the conversion, else the last delivery that failed (a program file that
  // cannot be written): either makes the run a failure, whatever the texts say.
  const int failure_number =
      context.conversion.failure_number != 0 ? context.conversion.failure_number : channel.error_number;
  const auto done = [&](int status) { return finish(status, channel, last_error, failure_number); };

  switch (outcome) {
    case ConversionOutcome::converted:
      if (options.sink == sink::kFile && !channel.output_started)
        std::cerr << "vireo-cli convert: the program file " << channel.program_file_name << " was not written\n";
      return done(failure_number != 0 ? 1 : 0);
    case ConversionOutcome::cancelled:
      if (host.file_type_asked && options.type.empty()) {
        std::cerr << "vireo-cli convert: unknown file type of " << options.input
                  << "; name it with --type gc|dxf|drl|gbr|plt|rml\n";
        return done(2);
      }
      return done(1);
    case ConversionOutcome::program_file:
    case ConversionOutcome::unavailable:
    case ConversionOutcome::failed:
      return done(1);
  }
  return done(1);
}

}  // namespace vireo
