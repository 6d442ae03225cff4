#include "convert/senders.h"

#include "core/context.h"
#include "convert/emitters.h"
#include "convert/source_reader.h"
#include "base/command_language.h"
#include "core/document_name.h"
#include "base/number_text.h"
#include "link/output_channel.h"

namespace vireo {
namespace {

constexpr std::string_view kNotProgram = "[Toolsinvia:]non e' un file .tpx";
constexpr std::string_view kNotRaw = "[ToolsRaw:]non e' un file .raw";
constexpr std::string_view kSendingProgram = " SPOST.*  ";
constexpr long kFarPosition = 1000000000;
constexpr int kBitsPerByte = 8;
constexpr int kBytesPerRasterLine = 256;
constexpr unsigned char kFirstHighCode = 128;

// Sets the document extension from the job window's caption; true when it is the wanted one.
bool document_is(Context& context, std::string_view wanted, std::string_view refusal) {
  context.channel.document_extension = caption_extension(context.host->document_caption());
  if (context.channel.document_extension == wanted) return true;
  context.host->message_box(refusal);
  return false;
}

void clear_status_texts(ChannelState& channel) {
  channel.operation_text.clear();
  channel.tool_text.clear();
  channel.message_text.clear();
  channel.error_text.clear();
  channel.error_number = 0;
}

// The length of the view's text (the caret clamps there) and the caret back at the start.
std::size_t measure(TextView& view) {
  view.set_selection_start(kFarPosition);
  const long length = view.selection_start();
  view.set_selection_start(0);
  return static_cast<std::size_t>(std::max(length, 0L));
}

// The start of a pass of a stored program: from its first character, after the opening sequence.
void start_program_pass(Context& context, TextView& view) {
  ChannelState& channel = context.channel;
  ConversionState& run = context.conversion;
  clear_status_texts(channel);
  run.cursor() = {.read_cursor = 0, .text_length = measure(view)};
  channel.line_counter = 0;
  read_from_view(context, view);
  run.abort = false;
  context.host->set_job_control_enabled(JobControl::cancel_button, true);
  channel.direct_to_machine = true;
  program_start(context);
}

void end_program(Context& context) {
  program_end(context);
  context.channel.direct_to_machine = false;
}

}  // namespace

bool send_program(Context& context) {
  if (!document_is(context, kProgramExtension, kNotProgram)) return false;
  TextView* view = context.host->document_view();
  if (!view) return false;
  ChannelState& channel = context.channel;
  ConversionState& run = context.conversion;
  start_program_pass(context, *view);
  channel.line.clear();
  std::string command;  // the command being read, up to its "*"
  for (;;) {
    if (run.read_cursor >= run.text_length) {
      // What is left without its "*" goes out with the terminator the closing sequence adds.
      channel.line = command;
      end_program(context);
      return true;
    }
    if (run.abort) {
      channel.line.clear();
      end_program(context);
      return true;
    }
    const char c = read_char(context);
    if (c == '\0') continue;  // line ends are dropped (and a NUL byte, which is no command)
    if (c == cmd::kTerminator) {
      command += c;
      ++channel.line_counter;
      channel.operation_text = kSendingProgram;
      emit_line(context, command);
      command.clear();
    } else if (c == cmd::kRepeatMarker && !context.keypad_load_buffer) {
      // The restart would clear the abort flag: a cancel that arrived while the "@" was read ends the
      // run at the next test instead of being lost.
      if (run.abort) continue;
      start_program_pass(context, *view);
      command.clear();
    } else {
      command += c;
    }
  }
}

std::string read_raw_chars(Context& context, TextView& view, std::size_t count) {
  context.host->pump_events();
  ConversionState& run = context.conversion;
  view.set_selection_start(static_cast<long>(run.read_cursor));
  view.set_selection_length(static_cast<long>(count));
  // A view clamps a selection that starts beyond its text; nothing is there to read.
  std::string text = static_cast<std::size_t>(view.selection_start()) == run.read_cursor ? view.selected_text() : std::string();
  run.read_cursor += count;
  view.set_selection_start(static_cast<long>(run.read_cursor));
  return text;
}

bool send_raw(Context& context) {
  if (!document_is(context, kRawExtension, kNotRaw)) return false;
  TextView* view = context.host->document_view();
  if (!view) return false;
  ChannelState& channel = context.channel;
  ConversionState& run = context.conversion;
  Host& host = *context.host;
  clear_status_texts(channel);
  run.cursor() = {.read_cursor = 0, .text_length = measure(*view)};
  channel.line_counter = 0;
  host.set_job_control_enabled(JobControl::text_view, false);
  run.abort = false;
  host.set_job_control_enabled(JobControl::cancel_button, true);
  channel.direct_to_machine = true;
  channel.line.clear();
  std::string raster_line;
  int bytes = 0;
  long raster_lines = 0;
  for (;;) {
    // The end is tested before each byte only: a byte begun near the end is completed with 0 bits.
    if (run.read_cursor >= run.text_length || run.abort) {
      // A partly built raster line is not sent, nor one the channel kept after a failure.
      channel.line.clear();
      channel.direct_to_machine = false;
      host.set_job_control_enabled(JobControl::text_view, true);
      return true;
    }
    unsigned byte = 0;
    for (int bit = 0; bit < kBitsPerByte; ++bit) {
      const std::string c = read_raw_chars(context, *view, 1);
      if (c.size() == 1 && static_cast<unsigned char>(c[0]) < kFirstHighCode) byte |= 1u << bit;
    }
    raster_line += static_cast<char>(byte);
    if (++bytes < kBytesPerRasterLine) continue;
    bytes = 0;
    ++raster_lines;
    channel.line_counter += kBytesPerRasterLine;
    channel.operation_text = " print LINE: " + blank_number_text(static_cast<double>(raster_lines)) + " ";
    emit_line(context, raster_line);
    raster_line.clear();
  }
}

}  // namespace vireo
