// The jog keypad (`frm_tastierino`): every button sends one short line straight to the machine,
// whatever sink a conversion would use. An axis button held down repeats its step command from the
// repeat timer; the two speed buttons choose slow or fast repetition for X-Y and for Z.
#pragma once

#include <string>
#include <string_view>

#include "core/palette.h"

namespace vireo {

struct Context;

// The speed groups of the jog buttons: X and Y follow `k_fast1`, Z follows `k_fast2`.
enum class SpeedGroup { xy, z };

// Colours of the speed buttons and of the "Load" box while the controller stores.
inline constexpr Rgb kSlowColour = colour::kSlowButton;
inline constexpr Rgb kFastColour = colour::kFastButton;
inline constexpr Rgb kLoadingColour{255, 113, 1};

// Repeat timer intervals: 50 ms in slow mode; fast mode wants 1 ms, which the window turns into the
// shortest interval the platform gives.
inline constexpr int kSlowRepeatMs = 50;
inline constexpr int kFastRepeatMs = 1;
// A fast tick sends the jog command this many times in one line.
inline constexpr int kFastRepeatCount = 10;

// The window's own state: the jog command of the axis button held and the two speed modes.
struct KeypadState {
  std::string jog;  // "xd", "xu", "yd", "yu", "zd", "zu"; "" while no axis button is held
  bool fast_xy = false;
  bool fast_z = false;
};

bool is_fast(const KeypadState& keypad, SpeedGroup group);
// The group of a jog command, by its axis letter.
SpeedGroup speed_group(std::string_view jog);
// The caption of a speed button: "slow" or "fast".
std::string_view speed_caption(bool fast);

// The keypad's one way to send: the line buffer goes to the machine; afterwards the suppression
// flag is up, so lines of other producers are dropped until one of them lowers it.
void send_keypad_line(Context& ctx);
// A button with a fixed command ("cx", "rx", "fd", "su", ...).
void send_keypad_command(Context& ctx, std::string_view command);

// An axis button pressed: one step at once (two for Z+). Returns the repeat timer's interval, which
// the window starts.
int jog_press(Context& ctx, KeypadState& keypad, std::string_view jog);
// A tick of the repeat timer: the held command once, or ten times in one line in fast mode.
void jog_tick(Context& ctx, const KeypadState& keypad);
// The button released: the timer stops; no stop command is sent.
void jog_release(KeypadState& keypad);

// A speed button clicked: slow becomes fast and fast becomes slow.
void toggle_speed(KeypadState& keypad, SpeedGroup group);

// The "Load" box (`LoadBuf`) clicked to `checked`: "(" starts storing in the controller's EEROM,
// ")()" ends it. Returns the box's new caption, "End" while storing, "Load" otherwise.
std::string_view load_buffer_clicked(Context& ctx, bool checked);
// "Start" (`StartBuf`): "?" runs the stored commands; while storing it does nothing.
void start_buffer(Context& ctx);

// "prendi" (`k_utensile`), with tool changes enabled, in two steps. First the tool window asks for a
// tool; pressed while that window is open, the button cancels and closes it instead. True when a tool
// (or "Deponi") was chosen.
bool ask_keypad_tool(Context& ctx);
// Then the change to the chosen tool runs whatever the sink; the window disables the button meanwhile.
// Returns false when the tool change failed (after the message).
bool change_keypad_tool(Context& ctx);
// Both steps, as the button runs them.
bool take_tool(Context& ctx);
// "Taratura" (`tarabutton`), with the sensor enabled: measures the requested tool between "P1" and
// "P3". Returns false when it failed (after the message).
bool calibrate(Context& ctx);

}  // namespace vireo
