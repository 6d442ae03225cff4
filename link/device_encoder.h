// The device encoder: the two steps the output channel runs on a line before it delivers it. Both
// work in place on the channel's line buffer.
//
// track_line follows every command of the line into the position display, drops the commands that
// would change nothing (a Z move to the Z already reached, a feed code equal to the current one),
// sends the vertex pulse "pa" as "pc" and drops the "pc" that follows it once. correct_coordinates
// multiplies every axis value by its correction factor when coordinate correction is enabled.
#pragma once

namespace vireo {

struct Context;

// Scans the line once; dropped commands are overwritten with fillers while scanning, so positions stay
// valid, and every filler is removed in one pass at the end. The display digits are shown through the
// host, except while the sink is the program file (the state is updated either way).
void track_line(Context& context);

// When `ena_correzione_coord` is on: rewrites every X, Y, Z, A, B, C value and the value of "zs" as
// Int(value × its factor) in the fixed digit count, and tracks the corrected values. Throws RunError
// (overflow) when a corrected value leaves the 32-bit range.
void correct_coordinates(Context& context);

// The two steps as the output channel runs them on a line before it delivers it: track_line, then
// correct_coordinates where it has something to do (a line of plain X, Y and Z fields of N digits,
// with factors of 1, it leaves as it is and tracks as track_line did).
void encode_line(Context& context);

// Applies the two-letter command held in `step_token` to the display ("xd", "fu", "cz", ...); any
// other token does nothing. Shows the changed digit in every sink.
void apply_step_command(Context& context);

}  // namespace vireo
