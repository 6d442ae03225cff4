// A scripted host for tests: records what the logic showed (status panels, digits, messages, the
// job window's controls, the tool window and the manual prompt) and runs test code inside the event
// pumps, so a test can press "pause", "Next", the emergency key or a prompt's button while a run
// waits.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/host.h"
#include "tests/support/fake_text_view.h"

namespace vireo::test {

class FakeHost : public Host {
 public:
  // --- scripted behaviour
  std::function<void()> on_pump;  // runs inside every pump_events
  std::function<void()> on_wait;  // runs inside every wait_events
  std::function<void(int, std::string_view)> on_panel;  // runs inside every set_status_panel
  // A wait that never ends would hang the test: past this many waits, wait_events throws.
  long wait_limit = 100000;
  std::deque<bool> yes_no_answers;                 // answers of ask_yes_no, in order; then "No"
  std::deque<std::optional<std::string>> inputs;  // answers of input_box, in order; then cancelled
  // Events posted by the test or by the windows below; each wait_events delivers the oldest one, as
  // the event loop delivers a click while a run waits.
  std::deque<std::function<void()>> events;
  // The windows' loads: run when the logic shows the manual prompt or the tool window.
  std::function<void(std::string_view text)> on_manual_prompt;
  std::function<void(std::string_view caption, bool put_away, bool cancel)> on_tool_window;

  // --- what the logic did
  long pumps = 0;
  long waits = 0;
  std::vector<std::string> messages;               // message boxes and questions, in order
  std::array<std::string, 8> panels;               // status panels 1 to 7 (index 0 unused)
  std::vector<std::pair<int, std::string>> panel_log;  // every panel write, in order
  long panel_writes = 0;
  bool error_icon = false;
  std::vector<std::pair<int, double>> digits;      // show_digit calls, in order
  std::vector<std::pair<int, int>> digit_colours;  // set_digit_colour calls, in order
  std::map<JobControl, bool> job_controls;         // last enabled state of each control
  bool pause_alert = false;
  std::vector<std::string> output_captions;        // one per show_output_window
  FakeTextView output;                             // the output window's view
  bool output_open = false;
  FakeTextView* document = nullptr;                // the document window's view, when a test opens one
  std::string caption;                             // the document window's caption
  struct ToolWindowShow {
    std::string caption;
    bool put_away = true;
    bool cancel = true;
    friend bool operator==(const ToolWindowShow&, const ToolWindowShow&) = default;
  };
  std::vector<ToolWindowShow> tool_windows;        // every show_tool_window, in order
  std::vector<std::string> manual_prompts;         // the sentence of every manual prompt shown
  std::vector<std::string> tool_list;              // the job window's tool list
  std::string tool_list_choice;                    // its text

  void post(std::function<void()> event) { events.push_back(std::move(event)); }
  std::vector<std::string> file_types;             // answers of select_file_type, in order; then "exit"
  long file_type_questions = 0;
  long previews = 0;                               // show_preview calls
  std::vector<bool> busy_changes;                  // set_busy calls, in order

  void pump_events() override {
    ++pumps;
    if (on_pump) on_pump();
  }
  void wait_events(int) override {
    if (++waits > wait_limit) throw std::runtime_error("FakeHost: the logic waited without end");
    if (on_wait) on_wait();
    if (!events.empty()) {
      std::function<void()> event = std::move(events.front());
      events.pop_front();
      event();
    }
  }

  void message_box(std::string_view text) override { messages.emplace_back(text); }
  bool ask_yes_no(std::string_view text) override {
    messages.emplace_back(text);
    if (yes_no_answers.empty()) return false;
    const bool answer = yes_no_answers.front();
    yes_no_answers.pop_front();
    return answer;
  }
  std::optional<std::string> input_box(std::string_view prompt, std::string_view, std::string_view) override {
    messages.emplace_back(prompt);
    if (inputs.empty()) return std::nullopt;
    std::optional<std::string> answer = std::move(inputs.front());
    inputs.pop_front();
    return answer;
  }

  void set_status_panel(int panel, std::string_view text) override {
    panels.at(panel) = text;
    panel_log.emplace_back(panel, text);
    ++panel_writes;
    if (on_panel) on_panel(panel, text);
  }
  void set_error_icon(bool shown) override { error_icon = shown; }
  void set_busy(bool busy) override { busy_changes.push_back(busy); }
  void show_digit(int digit, double value) override { digits.emplace_back(digit, value); }
  void set_digit_colour(int digit, int colour) override { digit_colours.emplace_back(digit, colour); }
  // The value last shown on a digit, or nothing when it was never shown.
  std::optional<double> last_digit(int digit) const {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it)
      if (it->first == digit) return it->second;
    return std::nullopt;
  }

  TextView* document_view() override { return document; }
  std::string document_caption() override { return caption; }
  void set_job_control_enabled(JobControl control, bool enabled) override { job_controls[control] = enabled; }
  void set_pause_button_alert(bool alert) override { pause_alert = alert; }
  void clear_tool_list() override { tool_list.clear(); }
  void add_tool_list_item(std::string_view text) override { tool_list.emplace_back(text); }
  std::string tool_list_text() override { return tool_list_choice; }
  void set_tool_list_text(std::string_view text) override { tool_list_choice = text; }

  TextView* show_output_window(std::string_view title) override {
    output_captions.emplace_back(title);
    output_open = true;
    return &output;
  }
  TextView* output_view() override { return output_open ? &output : nullptr; }

  void show_tool_window(std::string_view caption, bool put_away, bool cancel) override {
    tool_windows.push_back({std::string(caption), put_away, cancel});
    if (on_tool_window) on_tool_window(caption, put_away, cancel);
  }
  void show_manual_prompt(std::string_view text) override {
    manual_prompts.emplace_back(text);
    if (on_manual_prompt) on_manual_prompt(text);
  }

  std::string select_file_type() override {
    const auto asked = static_cast<std::size_t>(file_type_questions++);
    return asked < file_types.size() ? file_types[asked] : "exit";
  }
  void show_preview() override { ++previews; }
  bool has_preview() const override { return true; }
};

}  // namespace vireo::test
