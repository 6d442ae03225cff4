// Everything the logic needs from the user interface: the event pump, messages, the status bar, the
// windows a run shows or steers. The desktop program implements it over its windows, the command-line
// front end headlessly, and tests with scripted fakes (a fake host can press "pause" or pick a tool
// while a run waits in `wait_events`).
//
// Every operation has a neutral default, so a host implements only what its front end has.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_view.h"

namespace vireo {

struct Context;

// Controls of the document (job) window that a run enables and disables.
enum class JobControl {
  cancel_button,  // `doc_exit`
  tool_ok,        // `tool_ok`
  tool_list,      // `toollist`
  text_view,      // `rtftext`
};

class Host {
 public:
  virtual ~Host() = default;

  // --- event loop
  // Lets the interface process pending events. Called very often (once per character read), so an
  // implementation may do the real work only every few milliseconds.
  virtual void pump_events() {}
  // Waits up to `max_ms` for events and processes them. Loops that wait for the operator call it, so
  // the wait must not spin a processor core.
  virtual void wait_events(int max_ms) { (void)max_ms; }

  // --- messages
  virtual void message_box(std::string_view text) { (void)text; }
  virtual bool ask_yes_no(std::string_view text) { (void)text; return false; }
  virtual std::optional<std::string> input_box(std::string_view prompt, std::string_view title,
                                               std::string_view initial) {
    (void)prompt, (void)title, (void)initial;
    return std::nullopt;
  }

  // --- main window
  // Status panels 1 to 7 of the main window's status bar.
  virtual void set_status_panel(int panel, std::string_view text) { (void)panel, (void)text; }
  // False for a front end without a status bar: the output channel then does not make the texts of
  // its panels for every line.
  virtual bool has_status_bar() const { return true; }
  // The error picture of status panel 5.
  virtual void set_error_icon(bool shown) { (void)shown; }
  virtual void set_busy(bool busy) { (void)busy; }
  // Shows a value on display digit 1 to 8 of the position display.
  virtual void show_digit(int digit, double value) { (void)digit, (void)value; }
  // Gives display digit 1 to 8 its colour index; the digit shows it from its next value on.
  virtual void set_digit_colour(int digit, int colour) { (void)digit, (void)colour; }
  // Shows the setup dialog modally. Returns true when the operator closed it with OK or saved a setup
  // file in it, false when it was cancelled without saving: a caller that loops until the settings
  // load then stops instead of showing the same failure again.
  virtual bool run_setup_dialog(Context& context) { (void)context; return false; }
  // The position display takes the colour of `colore_display` at once (the setup dialog's colour list).
  virtual void display_colour_changed() {}
  // The immediate-command window's ten command lines, then their ten hints (slots 160 to 179): read
  // when the setup dialog saves, nothing when that window is not there; written when it loads a setup.
  virtual std::optional<std::vector<std::string>> immediate_texts() { return std::nullopt; }
  virtual void set_immediate_texts(const std::vector<std::string>& texts) { (void)texts; }
  // The main window's file-open command with a file-dialog filter ("description|patterns|..."): the
  // chosen file opens as the document and becomes the last opened document. False when cancelled.
  virtual bool open_document_with_filter(std::string_view filter) { (void)filter; return false; }
  // Starts an external program by its command line without waiting for it. Returns an error text,
  // empty when it started.
  virtual std::string start_program(std::string_view command_line) {
    return "cannot start " + std::string(command_line);
  }

  // --- document (job) window
  // The active document's text view, or nullptr when no document window is open.
  virtual TextView* document_view() { return nullptr; }
  // Its caption: the document's full path, or the default caption of a new document.
  virtual std::string document_caption() { return {}; }
  virtual void set_job_control_enabled(JobControl control, bool enabled) { (void)control, (void)enabled; }
  // Paints the job window's pause button in the error colour (255, 192, 128) or the button face.
  virtual void set_pause_button_alert(bool alert) { (void)alert; }
  virtual void clear_tool_list() {}
  virtual void add_tool_list_item(std::string_view text) { (void)text; }
  // The tool list's text: the entry chosen in it. Setting it chooses the first entry of that text.
  virtual std::string tool_list_text() { return {}; }
  virtual void set_tool_list_text(std::string_view text) { (void)text; }

  // --- output window
  // Shows the output window with a caption and returns its text view.
  virtual TextView* show_output_window(std::string_view caption) { (void)caption; return nullptr; }
  // The output window's text view while that window is open, else nullptr.
  virtual TextView* output_view() { return nullptr; }

  // --- conversion
  // The type-selection dialog: a canonical extension (".gc", ".dxf", ".drl", ".gbr", ".plt", ".rml"),
  // "exit" when cancelled, or "" when closed without a choice.
  virtual std::string select_file_type() { return "exit"; }
  // Opens the preview window over the trace just built.
  virtual void show_preview() {}
  // False for a front end without a preview window: a conversion then skips loading the trace of the
  // program file it wrote, which nobody would see.
  virtual bool has_preview() const { return false; }

  // --- tool change
  // Shows the tool window with a caption in its label; `show_put_away` and `show_cancel` choose
  // whether its "Deponi" and "cancel" buttons are visible. The window runs `tool_window_loaded` when
  // it opens and `tool_window_unloaded` when it closes (link/operator_prompts.h); a host that opens no
  // window leaves the tool-window wait flag clear, and a tool change that needs an answer then ends.
  virtual void show_tool_window(std::string_view caption, bool show_put_away, bool show_cancel) {
    (void)caption, (void)show_put_away, (void)show_cancel;
  }
  // Closes the tool window when it is open (its unload runs `tool_window_unloaded`).
  virtual void close_tool_window() {}
  // Shows the manual tool-change prompt with its sentence. The tool change waits in `wait_events`
  // until the prompt clears the manual wait flag, so a host must answer it (its buttons, or at once).
  virtual void show_manual_prompt(std::string_view text) { (void)text; }
};

}  // namespace vireo
