// The monitor (`frm_monitor`): asks the controller for its data with "$" and captures every byte that
// comes back, undecoded, until the line has been silent for two whole seconds.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "core/palette.h"
#include "core/placement.h"

namespace vireo {

struct Context;

using Clock = std::function<std::chrono::steady_clock::time_point()>;

// The read button's colour while it reads.
inline constexpr Rgb kReadingColour = colour::kAlert;
// The read ends once this many whole seconds passed since the last byte (or since the request).
inline constexpr long kSilenceSeconds = 2;
// Where the monitor opens, in twips from the main window's corner; its text is 400 twips narrower and
// 1300 twips shorter than the window's inner area.
inline constexpr Placement kMonitorPlacement{1500, 500, 6500, 9000};
inline constexpr int kMonitorTextMarginWidth = 400, kMonitorTextMarginHeight = 1300;

// Sends "$" and captures the reply: at most 2001 bytes, each as the character of its code. Lets the
// event loop run until the controller has been silent for kSilenceSeconds; "" when nothing came.
std::string read_monitor(Context& ctx, const Clock& now = std::chrono::steady_clock::now);

// Closing the monitor ends a capture it left running, and the read that waits for it.
void monitor_closed(Context& ctx);

}  // namespace vireo
