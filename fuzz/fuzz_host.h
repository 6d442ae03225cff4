// The host of the conversion fuzzers: the document and the output view in memory, a pause released
// at once, the operator's answers given at once (the tool window with `tool_answer`, 99 cancelling
// it; the manual prompt with OK; the type selection with `file_type`), the job window's tool list
// kept for drill files listed tool by tool, and a line budget that presses the stop button, so that
// every run ends whatever the text.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

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

// A folder of this process for the program files of the fuzzer `name`.
inline std::filesystem::path work_folder(std::string_view name) {
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / (std::string(name) + "-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  return folder;
}

class FuzzHost : public Host {
 public:
  MemoryTextView document;
  MemoryTextView output;
  std::string caption;
  std::string file_type;
  std::vector<std::string> tools;  // the job window's tool list
  std::string chosen;              // its text: the entry chosen
  int tool_answer = 1;
  Context* context = nullptr;

  // Takes `text` as the document `file_name` of the fuzzer `fuzzer`, answers for `run` and puts its
  // runs on the line budget. The host owns the budget and is made before the context, so the
  // channel's listener outlives the context.
  void start(Context& run, std::string_view text, std::string_view fuzzer, std::string_view file_name) {
    context = &run;
    budget_.emplace(run);
    run.channel.listener = &*budget_;
    document.forget_colours(true);
    output.forget_colours(true);
    document.set_text(text);
    caption = (work_folder(fuzzer) / file_name).string();
  }

  void wait_events(int) override {
    if (context) context->channel.pause = false;
  }
  TextView* document_view() override { return &document; }
  std::string document_caption() override { return caption; }
  TextView* show_output_window(std::string_view) override { return &output; }
  TextView* output_view() override { return &output; }
  std::string select_file_type() override { return file_type; }
  void clear_tool_list() override { tools.clear(); }
  void add_tool_list_item(std::string_view text) override { tools.emplace_back(text); }
  std::string tool_list_text() override { return chosen; }
  void set_tool_list_text(std::string_view text) override { chosen = text; }
  void show_tool_window(std::string_view, bool, bool) override {
    tool_window_loaded(*context);
    if (tool_answer == 99) tool_window_cancel(*context);
    else tool_window_choose(*context, tool_answer);
    tool_window_unloaded(*context);
  }
  void show_manual_prompt(std::string_view) override { answer_manual_prompt(*context, {}); }

 private:
  std::optional<LineBudget> budget_;
};

}  // namespace vireo::fuzz
