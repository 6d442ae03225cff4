#include "app/gui/operator_windows.h"

#include "app/ui_context.h"
#include "link/operator_prompts.h"

namespace vireo {

OperatorWindows::OperatorWindows(UiContext& context, QWidget* main)
    : context_(context),
      main_(main),
      prompt_(std::make_unique<ManualPrompt>(context)),
      tool_window_(std::make_unique<ToolSelectWindow>(context)) {}

void OperatorWindows::show_tool_window(std::string_view caption, bool show_put_away, bool show_cancel) {
  QWidget* caller = main_;
  bool over = false;
  switch (tool_window_place(context_.tools)) {
    case ToolWindowPlace::beside_manual_prompt:
      if (prompt_->isVisible()) caller = prompt_.get();
      break;
    case ToolWindowPlace::over_job_window:
      if (job_window_) caller = job_window_;
      over = true;
      break;
    case ToolWindowPlace::beside_keypad:
      if (keypad_) caller = keypad_;
      break;
  }
  tool_window_->open(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())), show_put_away,
                     show_cancel, caller, over);
}

void OperatorWindows::show_manual_prompt(std::string_view text) {
  prompt_->open(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), main_);
}

}  // namespace vireo
