#include "convert/autozero.h"

#include "core/context.h"
#include "convert/source_reader.h"
#include "core/document_name.h"
#include "base/number_text.h"
#include "preview/trace.h"

namespace vireo {
namespace {

constexpr std::string_view kNotProgram = "[autozero:]non e' un file .tpx";
constexpr long kFarPosition = 1000000000;

// An axis autozero shifts: its letter, the minimum taken off its values, and its counter.
struct Shift {
  char axis;
  double minimum;
  long* changed;
};

}  // namespace

std::optional<AutozeroResult> autozero(Context& context) {
  Host& host = *context.host;
  const std::string caption = host.document_caption();
  if (caption_extension(caption) != kProgramExtension) {
    host.message_box(kNotProgram);
    return std::nullopt;
  }
  TextView* view = host.document_view();
  if (!view) return std::nullopt;
  context.trace.file_name = caption;

  view->set_selection_start(kFarPosition);
  const long length = view->selection_start();
  view->set_selection_start(0);
  context.channel.sink.clear();
  host.set_busy(true);

  // The minima of the cutting moves, as the program holds them (the display correction is for the
  // screen, not for the stored values).
  set_trace_text(context, view->text().substr(0, static_cast<std::size_t>(length)));
  scan_z_levels(context, TraceValues::stored);
  scan_xy_extent(context, TraceValues::stored);
  AutozeroResult result;
  result.x_min = context.trace.x_min == kTraceUnset ? 0 : context.trace.x_min;
  result.y_min = context.trace.y_min == kTraceUnset ? 0 : context.trace.y_min;

  const int digits = context.derived.digits;
  const Shift shifts[] = {{'X', result.x_min, &result.x_changed}, {'Y', result.y_min, &result.y_changed}};
  ConversionState& run = context.conversion;
  run.cursor() = {.read_cursor = 0, .text_length = static_cast<std::size_t>(length)};
  read_from_view(context, *view);
  const std::string_view text = run.source->text();
  view->set_selection_start(0);
  while (run.read_cursor < run.text_length && !run.abort) {
    const std::size_t at = run.read_cursor;
    const std::string c = read_chars(context, 1);
    if (c.size() != 1) continue;
    const Shift* shift = nullptr;
    for (const Shift& s : shifts)
      if (c[0] == s.axis) shift = &s;
    if (!shift) continue;
    const std::string field = read_chars(context, static_cast<std::size_t>(digits));
    // A value cut short by the end of the text, and the positioning moves "RX"/"RY" to fixed machine
    // places (tool slots, the sensor), are left as they are.
    if (static_cast<int>(field.size()) < digits || (at > 0 && text[at - 1] == 'R')) continue;
    const double value = trace_field_value(field);
    std::string replacement(1, shift->axis);
    if (value < shift->minimum) {
      replacement += std::string(static_cast<std::size_t>(digits), '0');
      ++result.zeroed;
    } else {
      replacement += fw(value - shift->minimum, digits);
    }
    // The value keeps its width, so the reader's positions still hold after the replacement.
    view->set_selection_start(static_cast<long>(at));
    view->set_selection_length(digits + 1);
    view->replace_selection(replacement);
    view->set_selection_start(static_cast<long>(run.read_cursor));
    if (shift->minimum != 0) ++*shift->changed;
  }
  result.aborted = context.conversion.abort;

  host.set_busy(false);
  context.channel.line_counter = static_cast<double>(std::min(result.x_changed, result.y_changed));
  result.message = "(" + blank_number_text(static_cast<double>(result.x_changed)) + " )X + (" +
                   blank_number_text(static_cast<double>(result.y_changed)) + " )Y coordinate modificate, (" +
                   blank_number_text(static_cast<double>(result.zeroed)) +
                   " )coordinate negative,le ho impostate a zero.\rRicordati,se vuoi,di salvare il file modificato.";
  host.message_box(result.message);
  return result;
}

std::optional<AutozeroResult> start_autozero(Context& context) {
  context.conversion.abort = false;
  context.host->set_job_control_enabled(JobControl::cancel_button, true);
  return autozero(context);
}

}  // namespace vireo
