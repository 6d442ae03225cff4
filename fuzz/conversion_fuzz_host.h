// The host of the conversion fuzzers: a document and an output view in memory, a pause released at
// once, and operator prompts answered at once (the manual tool change with OK, a tool request beyond
// the changer's eight with tool 1), so that every run ends whatever the text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

#include "core/context.h"
#include "core/memory_text_view.h"
#include "link/operator_prompts.h"

namespace vireo::fuzz {

class FuzzHost : public Host {
 public:
  MemoryTextView document;
  MemoryTextView output;
  std::string caption;
  std::string file_type;
  Context* context = nullptr;

  void wait_events(int) override {
    if (context) context->channel.pause = false;
  }
  TextView* document_view() override { return &document; }
  std::string document_caption() override { return caption; }
  TextView* show_output_window(std::string_view) override { return &output; }
  TextView* output_view() override { return &output; }
  std::string select_file_type() override { return file_type; }
  void show_tool_window(std::string_view, bool, bool) override {
    if (context) answer_tool_window(*context, 1);
  }
  void show_manual_prompt(std::string_view) override {
    if (context) answer_manual_prompt(*context, {});
  }
};

// A folder of this process for the program files.
inline const std::filesystem::path& work_folder(std::string_view name) {
  static const std::filesystem::path folder = [&] {
    std::filesystem::path p =
        std::filesystem::temp_directory_path() / (std::string(name) + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(p);
    return p;
  }();
  return folder;
}

}  // namespace vireo::fuzz
