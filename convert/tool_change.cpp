#include "convert/tool_change.h"

#include <string>
#include <string_view>

#include "core/context.h"
#include "convert/line_writer.h"
#include "base/command_language.h"
#include "base/number_text.h"
#include "link/output_channel.h"
#include "base/run_error.h"

namespace vireo {
namespace {

// The changer has eight slots, for tools 1 to 8; the slot tables hold one value per slot.
constexpr int kSlotCount = 8;
// The waits for the tool window and the manual prompt hand the event loop this long per turn.
constexpr int kOperatorWaitMs = 50;

constexpr std::string_view kOutputsStart = "00000000";
constexpr std::string_view kOutputsOpen = "00000001";
constexpr std::string_view kOutputsSlot = "00000011";

std::string tool_number(int tool) { return std::to_string(tool); }

int digits(const Context& ctx) { return ctx.derived.digits; }

// A fixed-width coordinate from a setting read as a number.
std::string fw_setting(const Context& ctx, Slot slot, int element = 0) {
  return fw(ctx.settings.number(slot, element), digits(ctx));
}

// A delay for the controller: " T" + the setting's milliseconds in five digits + " ".
void emit_wait(Context& ctx, Slot delay) { write_line(ctx, " T" + fw(ctx.settings.number(delay), 5) + " "); }

bool calibration_enabled(const Context& ctx) {
  return ctx.settings.on(Slot::Check_ena_tara) && ctx.settings.on(Slot::Check_ena_sensor);
}

[[noreturn]] void no_such_slot() { throw RunError(err::kOutOfRange, "Subscript out of range"); }

// The slot of a tool number that is to reach the slot tables. Tool numbers come from the source
// (a "T-1" or an "SP-2"), so one outside 1 to 8 ends the command instead of reading outside them.
int slot_of(int tool) {
  if (tool < 1 || tool > kSlotCount) no_such_slot();
  return tool - 1;
}

// A negative requested tool, or a loaded tool no slot holds, can be neither put away nor fetched,
// by the changer or by hand; the change stops before its first move.
void check_tool_numbers(const ToolState& tools) {
  if (tools.requested < 0 || tools.loaded < 0 || tools.loaded > kSlotCount) no_such_slot();
}

// The four moves to a changer slot: up, over it in X and Y, down into it.
void emit_slot_moves(Context& ctx, int slot) {
  write_line(ctx, "RZ" + fw_setting(ctx, Slot::zatc_up, slot) + "*");
  write_line(ctx, "RX" + fw_setting(ctx, Slot::xatc, slot) + "*");
  write_line(ctx, "RY" + fw_setting(ctx, Slot::yatc, slot) + "*");
  write_line(ctx, "RZ" + fw_setting(ctx, Slot::zatc_dw, slot) + "*");
}

// Puts the loaded tool back into its slot (nothing when none is loaded).
void deposit_tool(Context& ctx) {
  if (ctx.tools.loaded == 0) return;
  const int slot = slot_of(ctx.tools.loaded);
  write_outputs(ctx, kOutputsOpen);
  emit_wait(ctx, Slot::Time_sportelli);
  emit_slot_moves(ctx, slot);
  write_line(ctx, " ");
  write_outputs(ctx, kOutputsSlot);
  ctx.channel.tool_text = "UTENSILE: 0";
  ctx.channel.message_text.clear();
  emit_wait(ctx, Slot::Time_sportelli);
  ctx.tools.loaded = 0;
}

// Takes the requested tool from its slot, and measures it when the sensor is enabled.
void take_tool(Context& ctx) {
  const int tool = ctx.tools.requested;
  const int slot = slot_of(tool);
  write_outputs(ctx, kOutputsSlot);
  emit_slot_moves(ctx, slot);
  write_line(ctx, " ");
  write_outputs(ctx, kOutputsOpen);
  ctx.channel.tool_text = "UTENSILE: " + tool_number(tool);
  ctx.channel.message_text.clear();
  emit_wait(ctx, Slot::Time_sportelli);
  ctx.tools.loaded = tool;
  if (calibration_enabled(ctx)) calibrate_tool(ctx);
}

void restart_spindle(Context& ctx) {
  write_line(ctx, "Z" + fw_setting(ctx, Slot::z_insu) + "* P3 ");
  emit_wait(ctx, Slot::Time_RUN);
}

// Asks the operator, through the tool window, for a tool the changer has, as long as the requested
// number is above 8. The tool window sets its wait flag when it opens and clears it when it closes;
// a front end that opened none would ask for ever, so that ends the command.
void ask_for_tool(Context& ctx) {
  ToolState& tools = ctx.tools;
  while (tools.requested > kSlotCount) {
    if (!tools.manual_wait) tools.tool_request_mode = true;
    // The mode ends with the question, also when the front end ends the command instead.
    struct EndRequestMode {
      ToolState& tools;
      ~EndRequestMode() { tools.tool_request_mode = false; }
    } end_request_mode{tools};
    ctx.host->show_tool_window("REQUEST TOOL " + tool_number(tools.requested), false, false);
    if (!tools.tool_window_wait && tools.requested > kSlotCount)
      throw RunError(err::kObjectNotSet, "Object variable or With block variable not set");
    while (tools.tool_window_wait) ctx.host->wait_events(kOperatorWaitMs);
  }
}

void automatic_change(Context& ctx) {
  ToolState& tools = ctx.tools;
  ChannelState& channel = ctx.channel;
  if (!ctx.settings.on(Slot::ute_pretarati)) write_line(ctx, "cz");
  if (tools.requested == 0) {
    channel.message_text = "    DEPONI UTENSILE " + tool_number(tools.loaded) + "     ";
    deposit_tool(ctx);
    restart_spindle(ctx);
  } else if (tools.loaded > 0) {
    channel.message_text = "    CAMBIA UTENSILE CON " + tool_number(tools.requested) + "     ";
    deposit_tool(ctx);
    take_tool(ctx);
    restart_spindle(ctx);
  } else {
    channel.message_text = "    PRENDI UTENSILE " + tool_number(tools.requested) + " ";
    take_tool(ctx);
    restart_spindle(ctx);
  }
}

// The operator changes the tool by hand at the parking position, prompted by the manual window.
// The loaded tool stays as it was.
void manual_change(Context& ctx) {
  ToolState& tools = ctx.tools;
  ChannelState& channel = ctx.channel;
  const SettingsRecord& settings = ctx.settings;
  write_line(ctx, "cz");
  // The parking position goes out as its settings read, not re-read as numbers.
  write_line(ctx, "Z" + fw_text(settings.text(Slot::z_tmanual), digits(ctx)) + "*");
  write_line(ctx, "RX" + fw_text(settings.text(Slot::x_tmanual), digits(ctx)) + "*");
  write_line(ctx, "RY" + fw_text(settings.text(Slot::y_tmanual), digits(ctx)) + "*");

  tools.manual_wait = true;
  if (tools.requested == 0) {
    channel.message_text = "    DEPONI UTENSILE " + tool_number(tools.loaded) + "     ";
    tools.prompt_text = "deponi manualmente utensile" + tool_number(tools.loaded);
  } else if (tools.loaded > 0) {
    channel.message_text = "    CAMBIA UTENSILE CON " + tool_number(tools.requested) + "     ";
    tools.prompt_text = "cambia manualmente utensile" + tool_number(tools.requested);
  } else {
    channel.message_text = "    PRENDI UTENSILE " + tool_number(tools.requested) + " ";
    tools.prompt_text = "metti manualmente utensile" + tool_number(tools.requested);
  }
  update_status(ctx);
  ctx.host->show_manual_prompt(tools.prompt_text);
  while (tools.manual_wait) ctx.host->wait_events(kOperatorWaitMs);

  channel.tool_text = "UTENSILE: " + tool_number(tools.requested);
  channel.message_text.clear();
  if (!tools.skip_calibration && calibration_enabled(ctx)) calibrate_tool(ctx);
  write_line(ctx, "P3");
  emit_wait(ctx, Slot::Time_RUN);
}

}  // namespace

void tool_change(Context& ctx) {
  if (ctx.display.pulse_state != cmd::kGlue) write_line(ctx, ctx.derived.glue);
  if (!ctx.tools.keypad_request) {
    if (ctx.channel.sink == sink::kFile || !ctx.settings.on(Slot::check_ena_tc)) return;
    // A tool skipped with "Next" or "SKIP TOOL" ends here: the new tool's lines go out again.
    ctx.channel.suppress = false;
  }
  check_tool_numbers(ctx.tools);
  write_line(ctx, "P1 S00 " + ctx.settings.text(Slot::vel_rap));
  ask_for_tool(ctx);
  write_outputs(ctx, kOutputsStart);
  if (ctx.settings.on(Slot::f_tauto))
    automatic_change(ctx);
  else
    manual_change(ctx);
  // The changer and the parking position took the machine away from the work: the next element
  // lifts and positions again instead of cutting on from wherever the change left the tool.
  ctx.conversion.geometry.forget_position();
}

void calibrate_tool(Context& ctx) {
  ctx.channel.message_text = "   TARATURA UTENSILE " + tool_number(ctx.tools.requested) + "    ";
  const std::string& rapid = ctx.settings.text(Slot::vel_rap);
  write_line(ctx, "S00 " + rapid);
  write_line(ctx, "RX" + fw_setting(ctx, Slot::xsensor) + "*");
  write_line(ctx, "RY" + fw_setting(ctx, Slot::ysensor) + "*");
  write_line(ctx, ctx.settings.text(Slot::fsensor) + "Z" + fw_setting(ctx, Slot::zsensor_max) + "*");
  write_line(ctx, "zs" + fw_setting(ctx, Slot::zsensor_offset) + "*");
  write_line(ctx, "rz" + rapid);
  ctx.channel.message_text.clear();
}

}  // namespace vireo
