// Loading a program file into the trace and scanning it for its Z levels and the extent of its
// cutting moves. The scans work on the context's trace; autozero runs them over a document's text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vireo {

struct Context;

// Loads the program file that belongs to the active document (its caption up to the extension dot,
// then "tpx"), scans it and opens the preview. A caption without extension dot or a missing file ends
// with "[GRAPH:]Errore <n>" and a hint in a message box. Returns true when the preview was opened.
bool build_trace(Context& context);
// The same for a program file named by the caller (a conversion that wrote its program elsewhere).
bool build_trace(Context& context, const std::string& program_file);

// The main window's preview command: clears the abort flag, enables the job window's stop button and
// runs build_trace.
bool preview_program(Context& context);

// Loads the file and runs both scans without opening a window. Throws RunError.
void load_trace(Context& context, const std::string& path);

// Puts a text in the trace and resets its cursor.
void set_trace_text(Context& context, std::string text);

// The next `count` characters of the trace; the cursor advances by `count`.
std::string_view read_trace(Context& context, std::size_t count);

// The value of a fixed-width field as the trace reads it: a "-" inside the field starts the number
// (with five digits "0-200" is -200), otherwise the field's leading number.
double trace_field_value(std::string_view field);

// How the scans read values: as the display shows them (multiplied by the display correction
// factors when that correction is on), or as the program holds them.
enum class TraceValues { displayed, stored };

// The factors X, Y and Z values are multiplied by when read: the display correction factors when that
// correction is on and displayed values are asked for, else 1.
struct Correction {
  double x = 1, y = 1, z = 1;
};
Correction display_correction(const Context& context, TraceValues values);

// Fills the Z minimum and maximum, the level list and the level count. Stops early on the abort flag.
void scan_z_levels(Context& context, TraceValues values = TraceValues::displayed);
// Fills the X/Y extent of the points reached below the highest Z level. Needs scan_z_levels first.
void scan_xy_extent(Context& context, TraceValues values = TraceValues::displayed);

}  // namespace vireo
