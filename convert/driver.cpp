#include "convert/driver.h"

#include <algorithm>
#include <utility>
#include <cctype>
#include <exception>
#include <new>

#include "core/context.h"
#include "convert/emitters.h"
#include "convert/dxf.h"
#include "convert/excellon.h"
#include "convert/gcode.h"
#include "convert/gerber.h"
#include "convert/hpgl.h"
#include "convert/rml.h"
#include "convert/source_reader.h"
#include "core/document_name.h"
#include "base/number_text.h"
#include "link/output_channel.h"
#include "base/run_error.h"
#include "preview/trace.h"
#include "settings/text_file.h"

namespace vireo {
namespace {

constexpr std::string_view kTag = "[converti:]";
constexpr std::string_view kPenToolChange = "TC";  // HPGL pens select tools: the settings' depths stand
constexpr std::string_view kHpgl = ".plt";
constexpr std::string_view kDrill = ".drl";
constexpr std::string_view kDrillToolChanger = "TC";  // a drill file in one program, else tool by tool
constexpr std::string_view kExit = "exit";
constexpr long kPastTheEnd = 1000000000;
constexpr int kPens = 8;

// Extensions in the order they are compared; the first match wins. A format whose converter is not
// part of the program yet has no converter and ends the conversion with a message.
constexpr FormatRow kFormats[] = {
    {".rml", ".rml", convert_rml}, {".rol", ".rml", convert_rml}, {".mdx", ".rml", convert_rml},
    {".dxf", ".dxf", convert_dxf},
    {".drl", ".drl", list_excellon_tools},
    {".gbr", ".gbr", convert_gerber},
    {".lgr", ".gbr", convert_gerber}, {".gtl", ".gbr", convert_gerber}, {".gbl", ".gbr", convert_gerber},
    {".gto", ".gbr", convert_gerber}, {".gbo", ".gbr", convert_gerber}, {".gts", ".gbr", convert_gerber},
    {".gbs", ".gbr", convert_gerber}, {".gtp", ".gbr", convert_gerber}, {".gbp", ".gbr", convert_gerber},
    {".gpb", ".gbr", convert_gerber}, {".gpt", ".gbr", convert_gerber}, {".gko", ".gbr", convert_gerber},
    {".gg1", ".gbr", convert_gerber}, {".gd1", ".gbr", convert_gerber}, {".gm1", ".gbr", convert_gerber},
    {".gm2", ".gbr", convert_gerber}, {".gm3", ".gbr", convert_gerber}, {".gm4", ".gbr", convert_gerber},
    {".gm5", ".gbr", convert_gerber}, {".gm6", ".gbr", convert_gerber}, {".gm7", ".gbr", convert_gerber},
    {".gm8", ".gbr", convert_gerber}, {".gm9", ".gbr", convert_gerber},
    {".plt", ".plt", convert_hpgl}, {".hp", ".plt", convert_hpgl},
    {".gc", ".gc", convert_gcode},
    {".iso", ".gc", convert_gcode}, {".cnc", ".gc", convert_gcode}, {".nc", ".gc", convert_gcode},
    {".ncc", ".gc", convert_gcode}, {".dnc", ".gc", convert_gcode}, {".tap", ".gc", convert_gcode},
};

// Step 3: the job window and the status bar at the start of a run.
void prepare_job_window(Context& context) {
  Host& host = *context.host;
  ChannelState& channel = context.channel;
  host.set_job_control_enabled(JobControl::cancel_button, true);
  host.set_job_control_enabled(JobControl::tool_list, false);
  host.clear_tool_list();
  host.set_job_control_enabled(JobControl::tool_ok, false);
  host.set_error_icon(false);
  channel.operation_text.clear();
  channel.tool_text.clear();
  channel.message_text.clear();
  channel.error_text.clear();
  channel.error_count = 0;
  channel.error_number = 0;
  const std::string sink = std::exchange(channel.sink, std::string());
  update_status(context);
  channel.sink = sink;
}

// Step 5 and 6: the text length, the counters, the working depths, and the source to read.
void prepare_source(Context& context, TextView& view) {
  ConversionState& state = context.conversion;
  view.set_selection_start(kPastTheEnd);
  state.cursor() = {.read_cursor = 0, .text_length = static_cast<std::size_t>(std::max(view.selection_start(), 0L))};
  context.channel.line_counter = 0;
  state.pass_counter = 0;
  prepare_depths(context);
  view.set_selection_start(0);
  if (context.channel.sink == sink::kFile) {
    state.source_text = view.snapshot();
    read_from_copy(context);
  } else {
    state.source_text.reset();
    read_from_view(context, view);
  }
}

// Step 7: the converter of the extension, or the one the operator picks.
ConversionOutcome dispatch(Context& context) {
  ChannelState& channel = context.channel;
  for (;;) {
    if (const FormatRow* row = find_format(channel.document_extension)) {
      channel.document_extension = row->canonical;
      row->convert(context);
      return context.conversion.refused ? ConversionOutcome::refused : ConversionOutcome::converted;
    }
    channel.document_extension = context.host->select_file_type();
    if (channel.document_extension == kExit) return ConversionOutcome::cancelled;
  }
}

void report(Context& context, int number, std::string_view description) {
  context.host->message_box(error_message(kTag, number, description));
  context.conversion.failure_number = number;
  // A partly written program file stays as written: its buffered lines go to the disk.
  try {
    close_program_file(context);
  } catch (const RunError&) {
  }
}

}  // namespace

const FormatRow* find_format(std::string_view extension) {
  const auto row = std::find_if(std::begin(kFormats), std::end(kFormats),
                                [&](const FormatRow& r) { return r.extension == extension; });
  return row == std::end(kFormats) ? nullptr : row;
}

void prepare_depths(Context& context) {
  ConversionState& state = context.conversion;
  const SettingsRecord& settings = context.settings;
  state.travel_z_line = context.derived.travel_z;
  state.cutting_z_line = context.derived.cutting_z;
  state.feed_setting = settings.text(Slot::vel_av);
  if (context.channel.document_extension == kHpgl && settings.text(Slot::atc_hpgl) != kPenToolChange) {
    // With no pen selected yet the first pen's depth stands: the tool neither "cuts" above the work
    // nor travels below it.
    const int pen = context.tools.requested == 0 ? 1 : context.tools.requested;
    if (pen < 1 || pen > kPens) throw RunError(err::kOutOfRange, "Subscript out of range: pen " + std::to_string(pen));
    set_pen_depths(context, pen);
  }
  state.saved_cutting_z_line = state.cutting_z_line;
  format_feed(context);
}

ConversionOutcome run_conversion_step(Context& context, const std::function<ConversionOutcome()>& step) {
  try {
    return step();
  } catch (const RunError& error) {
    report(context, error.number(), error.description());
  } catch (const std::bad_alloc&) {
    report(context, 7, "Out of memory");
  } catch (const std::exception& error) {
    report(context, 51, std::string("Internal error: ") + error.what());
  }
  return ConversionOutcome::failed;
}

ConversionOutcome convert_document(Context& context) {
  ChannelState& channel = context.channel;
  channel.suppress = false;
  context.display.force_z = true;
  context.display.force_f = true;
  context.conversion.abort = false;
  context.conversion.failure_number = 0;
  context.conversion.refused = false;
  channel.output_started = false;
  return run_conversion_step(context, [&] {
    const SourceNames names = source_names(context.host->document_caption());
    channel.document_extension = names.extension;
    channel.program_file_name =
        context.conversion.output_path.empty() ? names.program_file : context.conversion.output_path;
    prepare_job_window(context);
    if (channel.document_extension == kProgramExtension) {
      context.host->message_box(std::string(kTag) + "e' un file .tpx");
      return ConversionOutcome::program_file;
    }
    // Writing the program over its own source would destroy the source before it is read.
    if (channel.sink == sink::kFile && same_file(channel.program_file_name, context.host->document_caption())) {
      context.host->message_box(std::string(kTag) + "il file di programma e' il file sorgente: " +
                                channel.program_file_name);
      return ConversionOutcome::failed;
    }
    TextView* view = context.host->document_view();
    if (!view) throw RunError(err::kObjectNotSet, "Object variable or With block variable not set: no document");
    prepare_source(context, *view);
    const ConversionOutcome outcome = dispatch(context);
    context.conversion.source->show_position(context.conversion.read_cursor);
    // A drill file converted one tool at a time has written nothing yet: each confirmation of a tool
    // builds the preview of its own program.
    const bool tools_listed =
        channel.document_extension == kDrill && context.settings.text(Slot::atc_excellon) != kDrillToolChanger;
    if (outcome == ConversionOutcome::converted && channel.sink == sink::kFile && !tools_listed &&
        context.host->has_preview()) {
      context.conversion.abort = false;
      context.host->set_job_control_enabled(JobControl::cancel_button, true);
      build_trace(context, channel.program_file_name);
    }
    return outcome;
  });
}

}  // namespace vireo
