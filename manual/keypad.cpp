#include "manual/keypad.h"

#include "base/command_language.h"
#include "base/run_error.h"
#include "convert/tool_change.h"
#include "core/context.h"
#include "link/operator_prompts.h"
#include "link/output_channel.h"

namespace vireo {
namespace {

constexpr std::string_view kCaptionSlow = "slow";
constexpr std::string_view kCaptionFast = "fast";
constexpr std::string_view kCaptionLoad = "Load";
constexpr std::string_view kCaptionEnd = "End";
constexpr std::string_view kJogZUp = "zu";
constexpr int kChoiceCancelled = 99;
// The wait for the tool window hands the event loop this long per turn.
constexpr int kToolWindowWaitMs = 50;

void send(Context& ctx, std::string_view line) {
  ctx.channel.line = std::string(line);
  send_keypad_line(ctx);
}

// The message of a run-time failure inside a keypad command.
void report(Context& ctx, const RunError& error) {
  ctx.host->message_box("[Tastierino:]Errore " + std::to_string(error.number()) + "\r" + error.description());
}

}  // namespace

bool is_fast(const KeypadState& keypad, SpeedGroup group) {
  return group == SpeedGroup::xy ? keypad.fast_xy : keypad.fast_z;
}

SpeedGroup speed_group(std::string_view jog) { return jog.starts_with('z') ? SpeedGroup::z : SpeedGroup::xy; }

std::string_view speed_caption(bool fast) { return fast ? kCaptionFast : kCaptionSlow; }

void send_keypad_line(Context& ctx) {
  ctx.channel.suppress = false;
  ctx.channel.direct_to_machine = true;
  // The line the button put in the buffer goes out as it is.
  const std::string line = ctx.channel.line;
  emit_line(ctx, line);
  ctx.channel.direct_to_machine = false;
  ctx.channel.suppress = true;
}

void send_keypad_command(Context& ctx, std::string_view command) { send(ctx, command); }

int jog_press(Context& ctx, KeypadState& keypad, std::string_view jog) {
  keypad.jog = std::string(jog);
  send(ctx, jog);
  const int interval = is_fast(keypad, speed_group(jog)) ? kFastRepeatMs : kSlowRepeatMs;
  // Z+ takes a second step at once; Z-- only one.
  if (jog == kJogZUp) send(ctx, jog);
  return interval;
}

void jog_tick(Context& ctx, const KeypadState& keypad) {
  if (keypad.jog.empty()) return;
  std::string line;
  const int count = is_fast(keypad, speed_group(keypad.jog)) ? kFastRepeatCount : 1;
  for (int i = 0; i < count; ++i) line += keypad.jog;
  send(ctx, line);
}

void jog_release(KeypadState& keypad) { keypad.jog.clear(); }

void toggle_speed(KeypadState& keypad, SpeedGroup group) {
  bool& fast = group == SpeedGroup::xy ? keypad.fast_xy : keypad.fast_z;
  fast = !fast;
}

std::string_view load_buffer_clicked(Context& ctx, bool checked) {
  ctx.keypad_load_buffer = checked;
  send(ctx, checked ? cmd::kStoreStart : cmd::kStoreEnd);
  return checked ? kCaptionEnd : kCaptionLoad;
}

void start_buffer(Context& ctx) {
  if (ctx.keypad_load_buffer) return;
  send(ctx, cmd::kRunStored);
}

bool ask_keypad_tool(Context& ctx) {
  if (!ctx.settings.on(Slot::check_ena_tc)) return false;
  ToolState& tools = ctx.tools;
  if (tools.tool_window_wait) {
    // Pressed again while the window asks: the question is withdrawn, nothing changes.
    tool_window_cancel(ctx);
    ctx.host->close_tool_window();
    return false;
  }
  // A front end that opens no tool window leaves the choice cancelled.
  tools.tool_choice = kChoiceCancelled;
  ctx.host->show_tool_window(kSelectCaption, true, true);
  while (tools.tool_window_wait) ctx.host->wait_events(kToolWindowWaitMs);
  return tools.tool_choice != kChoiceCancelled;
}

bool change_keypad_tool(Context& ctx) {
  ctx.host->set_busy(true);
  ctx.channel.suppress = false;
  ctx.channel.direct_to_machine = true;
  ctx.tools.keypad_request = true;
  bool done = true;
  try {
    tool_change(ctx);
  } catch (const RunError& error) {
    report(ctx, error);
    done = false;
  }
  ctx.tools.keypad_request = false;
  ctx.channel.direct_to_machine = false;
  ctx.channel.suppress = true;
  ctx.host->set_busy(false);
  return done;
}

bool take_tool(Context& ctx) { return !ask_keypad_tool(ctx) || change_keypad_tool(ctx); }

bool calibrate(Context& ctx) {
  if (!ctx.settings.on(Slot::Check_ena_sensor)) return true;
  ctx.host->set_busy(true);
  ctx.display.force_z = ctx.display.force_f = true;
  ctx.channel.suppress = false;
  ctx.channel.direct_to_machine = true;
  bool done = true;
  try {
    emit_line(ctx, cmd::kToolOpen);
    calibrate_tool(ctx);
    emit_line(ctx, cmd::kToolClose);
  } catch (const RunError& error) {
    report(ctx, error);
    done = false;
  }
  ctx.channel.direct_to_machine = false;
  ctx.channel.suppress = true;
  ctx.host->set_busy(false);
  return done;
}

}  // namespace vireo
