// The job window's behaviour: the progress figure, the pause and "Next" buttons, cancelling a run,
// and the enabling of the drill-file tool list. The window itself only forwards its events here; the
// runs read the flags these routines set at their own pace.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vireo {

struct Context;
struct ConversionState;

// The progress timer refreshes the figure this often.
inline constexpr int kProgressIntervalMs = 500;

// The progress figure: Int(read cursor ÷ progress total × 100) with a leading blank, then " %"
// (" 45 %"). Nothing while the total is 0, so the label keeps its last text.
std::optional<std::string> progress_text(const ConversionState& conversion);

void job_window_loaded(Context& ctx);
// Closing the job window stops its run.
void job_window_unloaded(Context& ctx);

// The operator clicked into the text: the run reads on from there.
void caret_moved(Context& ctx, std::size_t selection_start);

// The pause button: the channel waits before its next line while the flag is up; the button shows it
// in the alert colour.
void toggle_pause(Context& ctx);

// "Next": every line is dropped until the next tool change or pass end, which skips the rest of the
// current tool.
void next_tool(Context& ctx);

// Cancels the run in progress (the job window's "Annulla", Esc in any of the run's windows, closing
// the job window): raises the abort flag; with the job window open, enables its cancel button and,
// for a drill file, its tool confirmation.
void request_stop(Context& ctx);

// A click in the drill file's tool list: enables cancel, and the confirmation for a drill file.
void tool_list_clicked(Context& ctx);

}  // namespace vireo
