#include "link/operator_prompts.h"

#include <charconv>

#include "core/context.h"

namespace vireo {
namespace {

// A tool choice that was cancelled (or never made).
constexpr int kChoiceCancelled = 99;
constexpr int kChoiceMade = 0;
constexpr int kToolCount = 8;
// The prompt's wait for the tool window hands the event loop this long per turn.
constexpr int kToolWindowWaitMs = 50;

void answer(Context& ctx, bool suppress, bool skip_calibration) {
  ctx.channel.suppress = suppress;
  ctx.tools.skip_calibration = skip_calibration;
  ctx.tools.manual_wait = false;
}

}  // namespace

void manual_prompt_ok(Context& ctx) { answer(ctx, false, false); }

void manual_prompt_skip(Context& ctx) { answer(ctx, true, false); }

bool manual_prompt_change(Context& ctx, bool skip_calibration) {
  // A front end that opens no tool window leaves the choice cancelled.
  ctx.tools.tool_choice = kChoiceCancelled;
  ctx.host->show_tool_window(kSelectCaption, false, true);
  while (ctx.tools.tool_window_wait) ctx.host->wait_events(kToolWindowWaitMs);
  if (ctx.tools.tool_choice == kChoiceCancelled) return false;
  answer(ctx, false, skip_calibration);
  return true;
}

void manual_prompt_closed(Context& ctx) { ctx.tools.manual_wait = false; }

ToolWindowPlace tool_window_place(const ToolState& tools) {
  if (tools.manual_wait) return ToolWindowPlace::beside_manual_prompt;
  if (tools.tool_request_mode) return ToolWindowPlace::over_job_window;
  return ToolWindowPlace::beside_keypad;
}

const std::string& tool_description(const SettingsRecord& settings, int tool) {
  return settings.text(Slot::descrizione1, tool - 1);
}

void tool_window_loaded(Context& ctx) {
  ctx.tools.tool_window_wait = true;
  ctx.tools.tool_choice = kChoiceCancelled;
}

void tool_window_choose(Context& ctx, int tool) {
  ctx.tools.requested = tool;
  ctx.tools.tool_choice = kChoiceMade;
}

void tool_window_cancel(Context& ctx) { ctx.tools.tool_choice = kChoiceCancelled; }

void tool_window_unloaded(Context& ctx) { ctx.tools.tool_window_wait = false; }

std::optional<ManualAnswer> parse_manual_answer(std::string_view text) {
  if (text == "ok") return ManualAnswer{ManualAnswer::Kind::ok, 0};
  if (text == "skip") return ManualAnswer{ManualAnswer::Kind::skip, 0};
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view word = text.substr(0, colon);
  const std::string_view number = text.substr(colon + 1);
  ManualAnswer result;
  if (word == "change")
    result.kind = ManualAnswer::Kind::change;
  else if (word == "dev")
    result.kind = ManualAnswer::Kind::dev;
  else
    return std::nullopt;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), result.tool);
  if (ec != std::errc{} || end != number.data() + number.size() || number.empty()) return std::nullopt;
  if (result.tool < 1 || result.tool > kToolCount) return std::nullopt;
  return result;
}

void answer_manual_prompt(Context& ctx, const ManualAnswer& answer) {
  switch (answer.kind) {
    case ManualAnswer::Kind::ok: manual_prompt_ok(ctx); break;
    case ManualAnswer::Kind::skip: manual_prompt_skip(ctx); break;
    case ManualAnswer::Kind::change: manual_prompt_change(ctx, false); break;
    case ManualAnswer::Kind::dev: manual_prompt_change(ctx, true); break;
  }
  manual_prompt_closed(ctx);
}

void answer_tool_window(Context& ctx, int tool) {
  tool_window_loaded(ctx);
  tool_window_choose(ctx, tool);
  tool_window_unloaded(ctx);
}

}  // namespace vireo
