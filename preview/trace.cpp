#include "preview/trace.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>

#include "core/context.h"
#include "core/document_name.h"
#include "base/number_text.h"
#include "base/run_error.h"

namespace vireo {
namespace {

constexpr std::string_view kGraphTag = "[GRAPH:]";
constexpr std::string_view kNoExtension = "estensione file mancante";
constexpr std::string_view kConvertFirst = "Genera prima il file su disco";

std::int32_t level_value(double z) {
  const long long whole = round_half_even(z);
  if (whole < std::numeric_limits<std::int32_t>::min() || whole > std::numeric_limits<std::int32_t>::max())
    throw RunError(err::kOverflow, "Overflow");
  return static_cast<std::int32_t>(whole);
}

// Moves entries 0..14 to 1..15 and stores the value at entry 0.
void push_level(TraceState& trace, double z, std::int32_t& insertions) {
  for (int i = kLevelSlots - 1; i > 0; --i) trace.levels[i] = trace.levels[i - 1];
  trace.levels[0] = level_value(z);
  ++insertions;
}

bool listed(const TraceState& trace, double z) {
  const long long whole = round_half_even(z);
  for (std::int32_t level : trace.levels)
    if (level == whole) return true;
  return false;
}

}  // namespace

Correction display_correction(const Context& context, TraceValues values) {
  const SettingsRecord& s = context.settings;
  if (values == TraceValues::stored || !s.on(Slot::ena_correzione_display)) return {};
  return {s.number(Slot::display_corr_x), s.number(Slot::display_corr_y), s.number(Slot::display_corr_z)};
}

double trace_field_value(std::string_view field) {
  const std::size_t minus = field.find('-');
  return leading_number(minus == std::string_view::npos ? field : field.substr(minus));
}

void set_trace_text(Context& context, std::string text) {
  TraceState& trace = context.trace;
  trace.text = std::move(text);
  trace.length = trace.text.size();
  trace.cursor = 0;
}

std::string_view read_trace(Context& context, std::size_t count) {
  TraceState& trace = context.trace;
  const std::string_view text = trace.text;
  const std::size_t from = std::min(trace.cursor, text.size());
  trace.cursor += count;
  return text.substr(from, count);
}

void scan_z_levels(Context& context, TraceValues values) {
  TraceState& trace = context.trace;
  const std::size_t digits = static_cast<std::size_t>(context.derived.digits);
  const double factor = display_correction(context, values).z;
  trace.z_max = 0;
  trace.z_min = kTraceUnset;
  trace.levels.fill(0);
  trace.cursor = 0;
  std::int32_t insertions = 0;
  const char* const text = trace.text.data();
  const std::size_t end = std::min(trace.length, trace.text.size());
  while (trace.cursor < end && !context.conversion.abort) {
    // Only "Z" matters here: skip to the next one.
    const void* z_at = std::memchr(text + trace.cursor, 'Z', end - trace.cursor);
    if (!z_at) {
      trace.cursor = end;
      break;
    }
    trace.cursor = static_cast<std::size_t>(static_cast<const char*>(z_at) - text) + 1;
    const double z = trace_field_value(read_trace(context, digits)) * factor;
    if (z < trace.z_min) {
      push_level(trace, trace.z_min, insertions);
      trace.z_min = z;
    } else if (z != trace.z_min) {
      if (z > trace.z_max) trace.z_max = z;
      if (!listed(trace, z)) push_level(trace, z, insertions);
    }
  }
  // The first insertion is the starting minimum, which is not a level; a trace without any Z has none.
  trace.level_count = insertions > 0 ? insertions - 1 : 0;
}

void scan_xy_extent(Context& context, TraceValues values) {
  TraceState& trace = context.trace;
  const std::size_t digits = static_cast<std::size_t>(context.derived.digits);
  const Correction factor = display_correction(context, values);
  trace.x_min = trace.y_min = kTraceUnset;
  trace.x_max = trace.y_max = 0;
  trace.last_x = trace.last_y = kTraceUnset;
  double z = 0;
  trace.cursor = 0;
  const std::string_view text = trace.text;
  const std::size_t end = std::min(trace.length, text.size());
  while (trace.cursor < end && !context.conversion.abort) {
    const char c = text[trace.cursor++];
    if (c == 'X') {
      trace.last_x = trace_field_value(read_trace(context, digits)) * factor.x;
    } else if (c == 'Y') {
      trace.last_y = trace_field_value(read_trace(context, digits)) * factor.y;
    } else if (c == 'Z') {
      z = trace_field_value(read_trace(context, digits)) * factor.z;
    } else if (c == '*') {
      // Only points reached below the travel height (the machine's Z grows downwards) are cuts.
      if (z <= trace.z_min || trace.last_x == kTraceUnset) continue;
      trace.x_min = std::min(trace.x_min, trace.last_x);
      trace.x_max = std::max(trace.x_max, trace.last_x);
      if (trace.last_y == kTraceUnset) continue;
      trace.y_min = std::min(trace.y_min, trace.last_y);
      trace.y_max = std::max(trace.y_max, trace.last_y);
    }
  }
}

void load_trace(Context& context, const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw RunError(err::kFileNotFound, "File not found");
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) throw RunError(err::kDeviceIo, "Device I/O error");
  context.trace.file_name = path;
  set_trace_text(context, std::move(text));
  Host& host = *context.host;
  host.set_busy(true);
  host.set_status_panel(4, "ricerca z min/max");
  scan_z_levels(context);
  host.set_status_panel(4, "ricerca xy min/max");
  scan_xy_extent(context);
  host.set_busy(false);
}

namespace {

// Loads the trace, opens the preview; a run-time failure ends with the message box.
bool show_trace(Context& context, const std::function<std::string()>& program_file) {
  Host& host = *context.host;
  try {
    load_trace(context, program_file());
    host.set_busy(true);
    host.set_status_panel(4, "traccia");
    host.show_preview();
    host.set_busy(false);
    host.set_status_panel(4, "");
    return true;
  } catch (const RunError& error) {
    host.set_busy(false);
    std::string message = error.message(kGraphTag);
    if (error.number() == err::kInvalidArgument) message += "\r" + std::string(kNoExtension);
    if (error.number() == err::kFileNotFound) message += "\r" + std::string(kConvertFirst);
    host.message_box(message);
    return false;
  }
}

}  // namespace

bool build_trace(Context& context) {
  return show_trace(context, [&] { return source_names(context.host->document_caption()).program_file; });
}

bool build_trace(Context& context, const std::string& program_file) {
  return show_trace(context, [&] { return program_file; });
}

bool preview_program(Context& context) {
  context.conversion.abort = false;
  context.host->set_job_control_enabled(JobControl::cancel_button, true);
  return build_trace(context);
}

}  // namespace vireo
