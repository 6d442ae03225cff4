// A host for the fuzzers of converters that change tools: it never waits (a pause is released at
// once), answers every manual tool-change prompt with OK, and answers the tool window at once with
// the tool `tool_answer` names (99 cancels it). Its line budget stops a run that never ends.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

#include "core/context.h"
#include "core/line_sink.h"
#include "core/memory_text_view.h"
#include "link/operator_prompts.h"

namespace vireo::fuzz {

// Presses the stop button once the channel delivered kLineBudget lines: a text may ask for any amount
// of work, but a run must end.
class LineBudget : public LineSink {
 public:
  explicit LineBudget(Context& context) : context_(context) {}
  void take(std::string_view) override {
    if (++lines_ == kLineBudget) context_.conversion.abort = true;
  }

 private:
  static constexpr long kLineBudget = 100000;
  Context& context_;
  long lines_ = 0;
};

class AnsweringHost : public Host {
 public:
  MemoryTextView document;
  MemoryTextView output;
  std::string caption;
  Context* context = nullptr;
  int tool_answer = 3;

  // Answers for `run` and puts its runs on the line budget. The host owns the budget and is made
  // before the context, so the channel's listener outlives the context.
  void attach(Context& run) {
    context = &run;
    budget_.emplace(run);
    run.channel.listener = &*budget_;
  }

  void wait_events(int) override {
    if (context) context->channel.pause = false;
  }
  TextView* document_view() override { return &document; }
  std::string document_caption() override { return caption; }
  TextView* show_output_window(std::string_view) override { return &output; }
  TextView* output_view() override { return &output; }
  void show_tool_window(std::string_view, bool, bool) override {
    tool_window_loaded(*context);
    if (tool_answer == 99) tool_window_cancel(*context);
    else tool_window_choose(*context, tool_answer);
    tool_window_unloaded(*context);
  }
  void show_manual_prompt(std::string_view) override { manual_prompt_ok(*context); }

 private:
  std::optional<LineBudget> budget_;
};

// A folder of this process for the program files.
inline const std::filesystem::path& work_folder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path p = std::filesystem::temp_directory_path() / ("vireo-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(p);
    return p;
  }();
  return folder;
}

}  // namespace vireo::fuzz
