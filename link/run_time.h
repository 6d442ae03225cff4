// The length of a run and the time of day, as status panels 6 and 7 show them.
#pragma once

#include <chrono>
#include <string>

namespace vireo {

struct Context;

// Whole seconds as hours, minutes and seconds, two digits each: 3725 gives "01:02:05". Each field
// keeps its last two digits, so a run of 100 hours shows "00" as its hour field.
std::string run_time_text(long long seconds);

// The local time of day as "hh:mm:ss".
std::string time_of_day_text(std::chrono::system_clock::time_point when);

// Status panel 7: the time elapsed since the run's start time.
void show_run_time(Context& context);

}  // namespace vireo
