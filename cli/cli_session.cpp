#include "cli/cli_session.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <iostream>
#include <thread>

#include "cli/cli_options.h"
#include "link/operator_prompts.h"
#include "base/run_error.h"

namespace vireo {

void CliHost::wait_events(int max_ms) {
  if (context_ && context_->channel.pause) {
    context_->channel.pause = false;
    std::cerr << "vireo-cli: pause released at once (no operator): "
              << (last_error.empty() ? std::string("pause") : last_error) << '\n';
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(max_ms));
}

namespace {

// The signal handler can only set a flag; the host polls it where the interface would run events.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void on_interrupt(int) {
  interrupted = 1;
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace

void CliHost::stop_on_interrupt() { std::signal(SIGINT, on_interrupt); }

void CliHost::pump_events() {
  if (interrupted && context_) context_->conversion.abort = true;
}

void CliHost::message_box(std::string_view text) {
  last_message = text;
  if (hold_messages) {
    held_messages.emplace_back(text);
    return;
  }
  // A message box breaks its lines at CR; the terminal at LF.
  std::string lines(text);
  std::replace(lines.begin(), lines.end(), '\r', '\n');
  std::cerr << lines << '\n';
}

void CliHost::set_pause_button_alert(bool alert) {
  // The output view pauses on a doubtful line and paints the pause button; its error text is the reason.
  if (alert && context_ && !context_->channel.error_text.empty()) last_error = context_->channel.error_text;
}

TextView* CliHost::show_output_window(std::string_view) {
  output_open = true;
  return &output;
}

void EchoSink::take(std::string_view line) { out_ << line << '\n'; }

std::string CliHost::select_file_type() {
  file_type_asked = true;
  return file_type.empty() ? std::string("exit") : file_type;
}

void CliHost::show_tool_window(std::string_view caption_text, bool, bool) {
  // The prompt's "CHANGE TOOL" and "DEV TOOL" of --manual-answer name their tool; any other tool
  // request (a tool beyond the changer's eight) only an operator can answer: the run ends here.
  if (context_ && tool_to_give_ != 0) {
    const int tool = tool_to_give_;
    tool_to_give_ = 0;
    answer_tool_window(*context_, tool);
    return;
  }
  tool_request_refused = true;
  throw RunError(err::kInvalidArgument,
                 "Invalid procedure call or argument: " + std::string(caption_text) + " needs an operator");
}

void CliHost::show_manual_prompt(std::string_view text) {
  std::cerr << "vireo-cli: " << text << ": answered " << manual_answer_text << " (no operator)\n";
  if (!context_) return;
  if (manual_answer.kind == ManualAnswer::Kind::change || manual_answer.kind == ManualAnswer::Kind::dev)
    tool_to_give_ = manual_answer.tool;
  answer_manual_prompt(*context_, manual_answer);
  tool_to_give_ = 0;
}

CliSession::CliSession(const CommonOptions& options) : serial_(options.ports), context_(host_) {
  context_.serial = &serial_;
  context_.isa = &isa_;
  host_.attach(context_);
}

void CliSession::echo_lines(std::ostream& out) {
  echo_.emplace(out);
  context_.channel.listener = &*echo_;
}

}  // namespace vireo
