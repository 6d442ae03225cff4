// The windows a tool change shows the operator: the manual prompt and the tool window. A Qt host
// hands its show_manual_prompt and show_tool_window here; the windows are made once and reused, so
// a button handler that is still waiting never runs on a deleted window.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string_view>

#include "app/gui/manual_prompt.h"
#include "app/gui/tool_select_window.h"

namespace vireo {

struct UiContext;

class OperatorWindows {
 public:
  // `main` is the main window: where they open when no better place is known. The windows are top-level
  // windows of their own, kept above the others; they are not among the main window's children.
  OperatorWindows(UiContext& context, QWidget* main);

  // The job window the tool window opens over when a tool change asks for a tool number, and the
  // jog keypad it opens beside when the keypad asks.
  void set_job_window(QWidget* window) { job_window_ = window; }
  void set_keypad(QWidget* window) { keypad_ = window; }

  void show_tool_window(std::string_view caption, bool show_put_away, bool show_cancel);
  void show_manual_prompt(std::string_view text);

  ToolSelectWindow* tool_window() const { return tool_window_.get(); }
  ManualPrompt* prompt() const { return prompt_.get(); }

 private:
  UiContext& context_;
  QPointer<QWidget> main_;
  QPointer<QWidget> job_window_;
  QPointer<QWidget> keypad_;
  std::unique_ptr<ManualPrompt> prompt_;
  std::unique_ptr<ToolSelectWindow> tool_window_;
};

}  // namespace vireo
