#include "convert/emitters.h"

#include <chrono>
#include <cstdint>

#include "convert/source_reader.h"
#include "convert/tool_change.h"
#include "base/command_language.h"
#include "base/number_text.h"
#include "base/run_error.h"
#include "link/run_time.h"

namespace vireo {
namespace {

constexpr std::string_view kOutputsStart = "00001100";
constexpr std::string_view kOutputsEnd = "00000000";
constexpr std::string_view kRepeat = "ripeti";

bool to_machine(const Context& context) {
  return context.channel.direct_to_machine || context.channel.sink == sink::kMachine;
}
bool into_program_file(const Context& context) {
  return !context.channel.direct_to_machine && context.channel.sink == sink::kFile;
}
// Neither a program file, nor the output view, nor the machine: nothing is framed.
bool no_sink(const Context& context) {
  const std::string& s = context.channel.sink;
  return !context.channel.direct_to_machine && s != sink::kFile && s != sink::kTextView && s != sink::kMachine;
}

void write_outputs_line(Context& context, std::string_view bits) {
  if (to_machine(context)) write_outputs(context, bits);
}

// What is left in the line buffer (a line dropped or not delivered, a stored program's last command
// without its "*") goes out with its terminator, then "go0" and, after a "pb", the glue command.
void close_work(Context& context) {
  if (!context.channel.line.empty()) write_line(context, context.channel.line, cmd::kTerminator);
  write_line(context, cmd::kFollowOff);
  if (context.display.pulse_state != cmd::kGlue) write_line(context, context.derived.glue);
}

std::string rest_z_line(const Context& context) {
  return context.settings.text(Slot::vel_rit) + "Z" + fw(context.settings.number(Slot::z_insu), context.derived.digits) +
         cmd::kTerminator;
}

}  // namespace

void program_start(Context& context) {
  context.display.pulse_state = cmd::kGlue;
  context.channel.suppress = false;
  // A click into the document view moves the read cursor: the view is locked while the run reads it.
  context.host->set_job_control_enabled(JobControl::text_view, false);
  context.host->set_status_panel(6, time_of_day_text(std::chrono::system_clock::now()));
  context.host->set_status_panel(7, "");
  context.conversion.start_time = std::chrono::steady_clock::now();
  if (into_program_file(context)) {
    context.host->set_status_panel(4, "conversion in progress...");
    return;
  }
  if (no_sink(context)) return;
  write_outputs_line(context, kOutputsStart);
  write_line(context, rest_z_line(context));
  write_line(context, context.settings.text(Slot::vel_rap), context.settings.text(Slot::vel_mand));
}

void pass_end(Context& context) {
  close_work(context);
  if (into_program_file(context)) {
    update_status(context);
    return;
  }
  if (no_sink(context)) return;
  write_line(context, context.settings.text(Slot::vel_rit), context.conversion.travel_z_line, "*");
  write_line(context, context.settings.text(Slot::vel_rap), context.settings.text(Slot::vel_mand));
  context.channel.suppress = false;
}

void repeat_pass(Context& context, std::string& flag) {
  ConversionState& state = context.conversion;
  const SettingsRecord& settings = context.settings;
  if (settings.on(Slot::ena_passate) && context.channel.sink != sink::kFile &&
      state.pass_counter < settings.number(Slot::numero_passate)) {
    // The depth is the number after "Z"; a surface-following tail ("go0"/"go1") is not part of it and
    // is dropped from the deeper line.
    const int digits = context.derived.digits;
    const std::string& cutting = state.cutting_z_line;
    const double depth = leading_number(std::string_view(cutting).substr(cutting.empty() ? 0 : 1, digits));
    state.cutting_z_line = "Z" + fw(depth + settings.number(Slot::incr_passate), digits);
    if (state.pass_counter == INT16_MAX) throw RunError(err::kOverflow, "Overflow: too many passes");
    ++state.pass_counter;
    context.channel.line_counter = 0;
    context.channel.tool_text = "PASSATA N." + blank_number_text(state.pass_counter);
    rewind_source(context);
    flag = kRepeat;
    return;
  }
  state.cutting_z_line = state.saved_cutting_z_line;
}

void program_end(Context& context) {
  context.host->set_job_control_enabled(JobControl::text_view, true);
  show_run_time(context);
  close_work(context);
  if (into_program_file(context)) {
    close_program_file(context);
    context.host->set_status_panel(4, "");
    update_status(context);
    return;
  }
  if (no_sink(context)) return;
  write_outputs_line(context, kOutputsEnd);
  write_line(context, rest_z_line(context));
  write_line(context, context.settings.text(Slot::vel_rap), cmd::kSpindleStop);
  if (context.tools.loaded != 0) {
    context.tools.requested = 0;
    tool_change(context);
  }
  context.channel.suppress = false;
  context.channel.sink.clear();
}

std::string plunge_feed(std::string_view feed_setting, double percent) {
  const std::string_view code = feed_setting.substr(feed_setting.size() < 2 ? 0 : feed_setting.size() - 2);
  double x = leading_number(code) * percent / 100;
  if (x >= 0.1 && x < 1) x = 90 + 10 * x;
  if (x < 0.1) x = 91;
  const std::string digits = "00" + number_text(static_cast<double>(int_part(x)));
  return "F" + digits.substr(digits.size() - 2);
}

void format_feed(Context& context) {
  context.conversion.plunge_feed_line =
      plunge_feed(context.conversion.feed_setting, context.settings.number(Slot::vel_entrata));
}

}  // namespace vireo
