// The two windows through which the operator answers a tool change: the manual tool-change prompt
// (`manual`) and the tool window (`frm_tool`). Their buttons only set and clear the tool state's flags;
// the tool-change sequence waits for those flags by letting the event loop run.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/placement.h"

namespace vireo {

struct Context;
class SettingsRecord;
struct ToolState;

// --- manual tool-change prompt

// Where the prompt opens, in twips from the main window's corner.
inline constexpr Placement kManualPromptPlacement{200, 1500, 4500, 1800};

// "OK": the tool was changed; its lines go out and it is measured when the settings say so.
void manual_prompt_ok(Context& ctx);
// "SKIP TOOL": the lines of this tool are dropped until the next tool change.
void manual_prompt_skip(Context& ctx);
// "CHANGE TOOL" (skip_calibration false) and "DEV TOOL" (true): asks for the tool in the tool window
// and waits for it. When a tool was chosen the prompt is answered and true is returned (the prompt
// closes); when the tool window was cancelled nothing changes and the prompt stays open.
bool manual_prompt_change(Context& ctx, bool skip_calibration);
// The prompt closed, by a button or its close box: the tool change goes on with the flags as they are.
void manual_prompt_closed(Context& ctx);

// --- tool window

// The caption the prompt's "CHANGE TOOL" and "DEV TOOL" give the tool window.
inline constexpr std::string_view kSelectCaption = "select";
// Its button size and the rounded shape it is clipped to, in pixels.
inline constexpr int kToolWindowClipWidth = 200;
inline constexpr int kToolWindowClipHeight = 260;

// Which window the tool window places itself beside.
enum class ToolWindowPlace {
  beside_manual_prompt,  // the prompt asked for the tool
  over_job_window,       // a tool change asks for a tool number the changer has
  beside_keypad,         // the jog keypad's tool button
};
ToolWindowPlace tool_window_place(const ToolState& tools);

// The description shown beside tool button `tool` (1 to 8): the setting `descrizione1` of that tool.
const std::string& tool_description(const SettingsRecord& settings, int tool);

// The window opened: the tool change waits while it is open. Until a button is chosen the window
// counts as cancelled, so closing it with its close box chooses nothing.
void tool_window_loaded(Context& ctx);
// A tool button (1 to 8) or "Deponi" (0).
void tool_window_choose(Context& ctx, int tool);
void tool_window_cancel(Context& ctx);
void tool_window_unloaded(Context& ctx);

// --- answers without windows

// The answer a front end without windows gives every manual prompt of a run: "ok", "skip",
// "change:N" or "dev:N" (N a tool of 1 to 8: the prompt's tool window has no "Deponi").
struct ManualAnswer {
  enum class Kind { ok, skip, change, dev };
  Kind kind = Kind::ok;
  int tool = 0;
  friend bool operator==(const ManualAnswer&, const ManualAnswer&) = default;
};
std::optional<ManualAnswer> parse_manual_answer(std::string_view text);

// Answers the prompt just shown as the operator would, pressing the answer's button. "change" and
// "dev" open the tool window through the host, which answers it with `answer_tool_window`.
void answer_manual_prompt(Context& ctx, const ManualAnswer& answer);

// Answers the tool window just shown by choosing `tool` (opens, chooses and closes it).
void answer_tool_window(Context& ctx, int tool);

}  // namespace vireo
