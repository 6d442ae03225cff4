// The host of the desktop program: the logic reaches the event loop, message boxes, the status bar
// and the windows of a run through it.
#pragma once

#include <chrono>

#include "app/ui_context.h"
#include "core/host.h"

class QWidget;

namespace vireo {

class MainWindow;

class QtHost : public Host {
 public:
  // The context whose dialogs the host shows (the file-type selection dialog).
  void set_context(UiContext& context) { context_ = &context; }
  // The main window, once it exists; messages before that have no owner window.
  void attach(MainWindow* window) { window_ = window; }
  MainWindow* window() const { return window_; }

  // Processes pending events at most every 15 ms; the clock is read only every 16th call, so the
  // source reader may call this once per character.
  void pump_events() override;
  // Blocks until an event arrives or `max_ms` pass, without spinning.
  void wait_events(int max_ms) override;

  void message_box(std::string_view text) override;
  bool ask_yes_no(std::string_view text) override;
  std::optional<std::string> input_box(std::string_view prompt, std::string_view title,
                                       std::string_view initial) override;

  // The status texts and the position display's digits (while its window is open) go up at the main
  // window's cadence.
  void set_status_panel(int panel, std::string_view text) override;
  void set_error_icon(bool shown) override;
  void set_busy(bool busy) override;
  void show_digit(int digit, double value) override;
  void set_digit_colour(int digit, int colour) override;
  // The setup dialog `frmsetup`, modal over the main window.
  bool run_setup_dialog(Context& context) override;
  bool open_document_with_filter(std::string_view filter) override;
  // Starts the program beside this one (else on the path) detached; its output goes to
  // "<name>.log" in the data directory.
  std::string start_program(std::string_view command_line) override;

  TextView* document_view() override;
  std::string document_caption() override;
  void set_job_control_enabled(JobControl control, bool enabled) override;
  void set_pause_button_alert(bool alert) override;
  void clear_tool_list() override;
  void add_tool_list_item(std::string_view text) override;
  std::string tool_list_text() override;
  void set_tool_list_text(std::string_view text) override;

  TextView* show_output_window(std::string_view caption) override;
  TextView* output_view() override;

  std::string select_file_type() override;
  void show_tool_window(std::string_view caption, bool show_put_away, bool show_cancel) override;
  void close_tool_window() override;
  void show_manual_prompt(std::string_view text) override;
  // Opens the preview window over the trace just built, closing the one before.
  void show_preview() override;
  bool has_preview() const override { return true; }

  // How many times the events were really processed (for the benchmark).
  long processed() const { return processed_; }

 private:
  QWidget* owner() const;

  MainWindow* window_ = nullptr;
  UiContext* context_ = nullptr;
  unsigned pump_calls_ = 0;
  long processed_ = 0;
  std::chrono::steady_clock::time_point last_pump_{};
  int busy_depth_ = 0;
};

}  // namespace vireo
