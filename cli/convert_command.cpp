// vireo-cli convert: one conversion of a source file through the same driver the windows run, into a
// program file, the output text (printed at the end) or the machine.
#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>

#include "core/context.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/commands.h"
#include "convert/driver.h"
#include "convert/excellon.h"
#include "core/document_name.h"
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
      if (options.output.empty()) throw UsageError{"--output needs a file name"};
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
  if (options.list_tools && !options.tool.empty()) throw UsageError{"--list-tools and --tool exclude each other"};
  return options;
}

// A drill file converted one tool at a time (`atc_excellon` other than "TC") writes nothing until a
// tool of its list is confirmed: the command line lists the tools or names the one to drill.
bool drills_tool_by_tool(const ConvertOptions& options, const Context& context) {
  const FormatRow* row = find_format(caption_extension(options.input));
  const std::string_view format = row ? row->canonical : std::string_view(options.type);
  return format == ".drl" && context.settings.text(Slot::atc_excellon) != "TC";
}

void check_tool_options(const ConvertOptions& options, const Context& context) {
  const bool tool_options = options.list_tools || !options.tool.empty();
  if (drills_tool_by_tool(options, context)) {
    if (!tool_options)
      throw UsageError{"a drill file converted one tool at a time (atc_excellon=single) needs --tool CODE; "
                       "--list-tools lists the codes"};
  } else if (tool_options) {
    throw UsageError{"--list-tools and --tool choose the tools of a drill file converted one tool at a time "
                     "(atc_excellon=single)"};
  }
}

// The summary, always the last line on stderr: the error count, the last error text and, when a
// run-time failure ended or marred the run, its number. A run that failed without a counted error
// still names why, and counts it.
int finish(int status, int errors, std::string last_error, int failure_number) {
  std::replace(last_error.begin(), last_error.end(), '\r', ' ');
  std::cerr << "vireo-cli convert: errors=" << errors << " last_error=" << last_error;
  if (failure_number != 0) std::cerr << " error=" << failure_number;
  std::cerr << '\n';
  return status;
}

// The summary of a run that could not start, after the message that said why.
int finish_without_run(int status, const std::string& reason, int failure_number) {
  return finish(status, 1, reason, failure_number);
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
    return finish_without_run(status, "the settings could not be loaded", 0);
  check_tool_options(options, context);

  int read_error = 0;
  std::optional<std::string> text = read_whole_file(options.input, &read_error);
  if (!text) {
    std::cerr << "vireo-cli convert: cannot read " << file_error(options.input, read_error) << '\n';
    return finish_without_run(1, "cannot read " + options.input, err::kFileNotFound);
  }
  host.document.take_text(std::move(*text));  // no second copy of a large source
  text.reset();
  host.document.forget_colours(true);
  host.output.forget_colours(true);
  // A program text is about as long as its source: room for twice that (address space only, as pages
  // are touched when written) spares the copies of a text that grows line by line.
  if (options.sink == sink::kTextView) host.output.reserve(2 * host.document.content().size());
  host.caption = options.input;
  host.file_type = options.type;
  host.manual_answer = *parse_manual_answer(options.manual_answer);
  host.manual_answer_text = options.manual_answer;
  if (options.lines) session.echo_lines(std::cout);
  context.conversion.output_path = options.output;
  context.channel.sink = options.sink;
  // The machine is reached as the applied settings reach it: a "comN" device opens its port now.
  if (options.sink == sink::kMachine) {
    if (const std::optional<RunError> failure = open_machine_link(context)) {
      const std::string message = failure->message({}, {false, " "});
      std::cerr << "vireo-cli convert: " << message << '\n';
      return finish_without_run(1, message, failure->number());
    }
  }
  // Ctrl-C stops the run as the stop button does: the machine gets its closing sequence.
  CliHost::stop_on_interrupt();

  ConversionOutcome outcome = convert_document(context);
  // The tool list is the result of --list-tools: nothing is drilled.
  const bool listed = outcome == ConversionOutcome::converted && options.list_tools;
  if (listed) {
    for (const std::string& item : host.tool_list) std::cout << item << '\n';
  } else if (outcome == ConversionOutcome::converted && !options.tool.empty()) {
    if (std::find(host.tool_list.begin(), host.tool_list.end(), options.tool) == host.tool_list.end())
      throw UsageError{"no tool " + options.tool + " in the list of " + options.input + " (--list-tools lists them)"};
    host.set_tool_list_text(options.tool);
    outcome = confirm_drill_tool(context);
  }

  if (options.sink == sink::kTextView && !options.lines && !listed) std::cout << host.output.content();
  std::cout.flush();
  const ChannelState& channel = context.channel;
  // A failure that ended the conversion, else the last delivery that failed (a program file that
  // cannot be written): either makes the run a failure, whatever the texts say.
  const int failure_number =
      context.conversion.failure_number != 0 ? context.conversion.failure_number : channel.error_number;
  if (listed) return finish(0, static_cast<int>(channel.error_count), channel.error_text, failure_number);
  int status = failure_number != 0 ? 1 : 0;
  std::string failure;  // why the run has no result, said before the summary
  switch (outcome) {
    case ConversionOutcome::converted:
      if (options.sink == sink::kFile && !channel.output_started) {
        failure = "the program file " + channel.program_file_name + " was not written";
        status = 1;
      } else if (context.conversion.abort) {
        // Stopped (Ctrl-C, or a machine that was lost): the program did not run to its end.
        failure = "stopped before the end of the program";
        status = 1;
      }
      break;
    case ConversionOutcome::cancelled:
      status = 1;
      if (host.file_type_asked && options.type.empty()) {
        failure = "unknown file type of " + options.input + "; name it with --type gc|dxf|drl|gbr|plt|rml";
        status = 2;
      }
      break;
    case ConversionOutcome::program_file:
    case ConversionOutcome::failed:
    case ConversionOutcome::refused:
      status = 1;
      break;
  }
  if (!failure.empty()) std::cerr << "vireo-cli convert: " << failure << '\n';
  std::string last_error = channel.error_text.empty() ? host.last_error : channel.error_text;
  int errors = static_cast<int>(channel.error_count);
  if (status != 0 && last_error.empty()) {
    last_error = failure.empty() ? host.last_message : failure;
    ++errors;
  }
  return finish(status, errors, last_error, failure_number);
}

}  // namespace vireo
