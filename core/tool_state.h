// The tool state: the tool a program asks for, the tool in the spindle, and the flags through which
// the tool window and the manual tool-change prompt steer a tool change.
#pragma once

#include <string>

namespace vireo {

struct ToolState {
  int requested = 0;  // 0 puts the loaded tool away and loads none
  int loaded = 0;     // 0 = none; changed only by the automatic changer's sequences

  bool keypad_request = false;     // the jog keypad's tool button runs whatever the sink
  bool manual_wait = false;        // the manual prompt waits for the operator
  bool skip_calibration = false;   // set by the prompt's "DEV TOOL" button
  bool tool_window_wait = false;   // the tool window is open
  bool tool_request_mode = false;  // the tool window asks for a tool number
  // How the tool window was left: 0 after a tool button or "Deponi", 99 when cancelled or closed.
  int tool_choice = 0;

  std::string prompt_text;  // the sentence the manual prompt shows
};

}  // namespace vireo
