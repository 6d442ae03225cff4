// What a vireo-cli command runs on: a context with a terminal host and the machine devices of this
// system (the serial ports, with the --port paths, and the ISA card driver library).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/host.h"
#include "core/line_sink.h"
#include "core/memory_text_view.h"
#include "link/devices/iocard_library.h"
#include "link/devices/posix_serial_port.h"
#include "link/operator_prompts.h"

namespace vireo {

struct CommonOptions;

// The terminal as host: messages go to stderr, waits sleep, the document and output windows are
// views in memory. Nobody is there to answer the operator's prompts, so a run is never left waiting:
// a pause is released at once (with a warning), the manual tool-change prompt gives the answer chosen
// for the run (OK unless told otherwise), and a tool request the tool window would have to answer ends
// the run.
class CliHost : public Host {
 public:
  void attach(Context& context) { context_ = &context; }

  // Raises the abort flag once the terminal's interrupt (Ctrl-C) came, after stop_on_interrupt.
  void pump_events() override;
  void wait_events(int max_ms) override;
  // Prints to stderr, or keeps the text in held_messages while hold_messages is set.
  void message_box(std::string_view text) override;
  void set_pause_button_alert(bool alert) override;
  // The terminal shows no status bar; a run's outcome is its summary line.
  bool has_status_bar() const override { return false; }

  TextView* document_view() override { return &document; }
  std::string document_caption() override { return caption; }
  void clear_tool_list() override {
    tool_list.clear();
    tool_list_choice.clear();
  }
  void add_tool_list_item(std::string_view text) override { tool_list.emplace_back(text); }
  std::string tool_list_text() override { return tool_list_choice; }
  void set_tool_list_text(std::string_view text) override { tool_list_choice = text; }

  TextView* show_output_window(std::string_view title) override;
  TextView* output_view() override { return output_open ? &output : nullptr; }

  std::string select_file_type() override;
  void show_tool_window(std::string_view caption, bool show_put_away, bool show_cancel) override;
  void show_manual_prompt(std::string_view text) override;

  MemoryTextView document;  // the source document
  std::string caption;      // its path
  MemoryTextView output;    // the output window of the "rtf" sink
  bool output_open = false;
  std::vector<std::string> tool_list;  // the job window's tool list
  std::string tool_list_choice;        // its text: the entry chosen

  std::string file_type;         // the type-selection answer (a canonical extension), "" for none
  bool file_type_asked = false;  // the extension was not in the table
  bool tool_request_refused = false;
  // How every manual tool-change prompt of the run is answered, and that answer as the option reads.
  ManualAnswer manual_answer;
  std::string manual_answer_text = "ok";
  std::string last_error;        // the last error text that paused the run
  std::string last_message;      // the last message shown, for a summary of a run that failed
  bool hold_messages = false;    // a command that prints a message as its result takes it from here
  std::vector<std::string> held_messages;

  // From now on the first Ctrl-C ends the run in progress as its stop button would (a stored program
  // that repeats itself with "@" ends only so); a second one ends the process.
  static void stop_on_interrupt();

 private:
  Context* context_ = nullptr;
  int tool_to_give_ = 0;  // the tool the prompt's answer picks in the tool window it opens
};

// Writes every delivered line to a stream, one per text line (--lines, probe).
class EchoSink : public LineSink {
 public:
  explicit EchoSink(std::ostream& out) : out_(out) {}
  void take(std::string_view line) override;

 private:
  std::ostream& out_;
};

class CliSession {
 public:
  explicit CliSession(const CommonOptions& options);
  CliSession(const CliSession&) = delete;
  CliSession& operator=(const CliSession&) = delete;

  Context& context() { return context_; }
  CliHost& host() { return host_; }
  // From now on every line the channel delivers is also written to `out`.
  void echo_lines(std::ostream& out);

 private:
  CliHost host_;
  PosixSerialPort serial_;
  IocardLibrary isa_;
  // The channel's listener when lines are echoed; declared before the context, so that it outlives it.
  std::optional<EchoSink> echo_;
  Context context_;
};

}  // namespace vireo
