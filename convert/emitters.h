// The framing every converter shares: the opening and closing sequences of a program, the end of a
// pass and the repeated passes at increasing depth, and the plunge feed.
#pragma once

#include <string>
#include <string_view>

#include "core/context.h"
#include "convert/line_writer.h"

namespace vireo {

// The opening: pulse state "pc", suppression lowered, the start time recorded. A program file gets no
// opening lines; the output view and the machine get the rest Z and speed lines, and the machine the
// outputs line when both multiplexer addresses are in use.
void program_start(Context& context);

// The end of a pass: what is left in the line buffer, "go0", the glue command after a "pb"; then,
// except in a program file, the return to the travel Z and the speed line.
void pass_end(Context& context);

// When passes are on and the sink is not the program file, and passes remain: the cutting Z line
// goes one increment deeper, the reader starts again from the top and `flag` becomes "ripeti".
// Otherwise the cutting Z line is restored to its saved value.
void repeat_pass(Context& context, std::string& flag);

// The closing: run time, "go0", the glue command after a "pb"; a program file is closed there.
// Otherwise the outputs cleared, rest Z, spindle stopped, a loaded tool put away, and the sink reset.
void program_end(Context& context);

// The plunge feed line from the feed setting and `vel_entrata` %: "F04" at 50 % gives "F02"; codes
// 91 to 99 stand for feeds below 1 ("F01" at 50 % gives "F95", at 5 % "F91").
void format_feed(Context& context);
// The same rule as a pure function.
std::string plunge_feed(std::string_view feed_setting, double percent);

}  // namespace vireo
