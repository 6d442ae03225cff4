#include "app/gui/qt_host.h"

#include "preview/gui/preview_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>

#include "core/context.h"
#include "app/gui/document_windows.h"
#include "app/gui/main_window.h"
#include "app/gui/select_dialog.h"
#include "app/gui/text_edit.h"
#include "link/operator_prompts.h"
#include "settings/setup_file.h"

namespace vireo {

namespace {
constexpr auto kPumpInterval = std::chrono::milliseconds(15);
constexpr unsigned kCallsPerClockRead = 16;

std::string latin1(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
}  // namespace

QWidget* QtHost::owner() const { return window_; }

void QtHost::pump_events() {
  if (++pump_calls_ % kCallsPerClockRead != 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_pump_ < kPumpInterval) return;
  last_pump_ = now;
  ++processed_;
  QCoreApplication::processEvents();
}

void QtHost::wait_events(int max_ms) {
  // The timer ends the wait when nothing else happens; any event ends it sooner.
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(std::max(0, max_ms));
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  last_pump_ = std::chrono::steady_clock::now();
  ++processed_;
}

void QtHost::message_box(std::string_view text) {
  QMessageBox::information(owner(), QStringLiteral("vireo"), view_text(text));
}

bool QtHost::ask_yes_no(std::string_view text) {
  return QMessageBox::question(owner(), QStringLiteral("vireo"), view_text(text), QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

std::optional<std::string> QtHost::input_box(std::string_view prompt, std::string_view title, std::string_view initial) {
  bool ok = false;
  const QString answer = QInputDialog::getText(owner(), view_text(title), view_text(prompt), QLineEdit::Normal,
                                               view_text(initial), &ok);
  if (!ok) return std::nullopt;
  return latin1(answer);
}

void QtHost::set_status_panel(int panel, std::string_view text) {
  if (window_) window_->set_status_panel(panel, QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void QtHost::set_error_icon(bool shown) {
  if (window_) window_->set_error_icon(shown);
}

void QtHost::set_busy(bool busy) {
  if (busy) {
    ++busy_depth_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busy_depth_ > 0) {
    --busy_depth_;
    QApplication::restoreOverrideCursor();
  }
}

bool QtHost::run_setup_dialog(Context& context) {
  std::error_code error;
  if (std::filesystem::exists(context.setup_path, error)) {
    SettingsRecord probe;
    // A readable file that still failed to load: the machine link could not be opened. Without the
    // setup dialog nothing can change that here, so loading ends (the port's message was shown).
    if (read_setup_file(context.setup_path, probe).ok) return false;
    // An unreadable file is kept beside the new one, so that nothing the operator set is lost.
    std::filesystem::path kept = context.setup_path;
    kept += ".bad";
    std::filesystem::rename(context.setup_path, kept, error);
    if (error) return false;
    message_box("[setup:]file " + context.setup_path.filename().string() + " non leggibile: conservato come " +
                kept.filename().string() + ", scritto un setup nuovo");
  }
  return write_setup_file(context.setup_path, SettingsRecord{}).empty();
}

TextView* QtHost::document_view() {
  DocumentWindow* doc = window_ ? window_->document_window() : nullptr;
  return doc ? &doc->view() : nullptr;
}

std::string QtHost::document_caption() {
  DocumentWindow* doc = window_ ? window_->document_window() : nullptr;
  return doc ? latin1(doc->windowTitle()) : std::string();
}

void QtHost::set_job_control_enabled(JobControl control, bool enabled) {
  DocumentWindow* doc = window_ ? window_->document_window() : nullptr;
  if (doc) doc->control(control)->setEnabled(enabled);
}

void QtHost::set_pause_button_alert(bool alert) {
  if (DocumentWindow* doc = window_ ? window_->document_window() : nullptr) doc->set_pause_alert(alert);
}

void QtHost::clear_tool_list() {
  if (DocumentWindow* doc = window_ ? window_->document_window() : nullptr) doc->tool_list()->clear();
}

void QtHost::add_tool_list_item(std::string_view text) {
  if (DocumentWindow* doc = window_ ? window_->document_window() : nullptr)
    doc->tool_list()->addItem(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

std::string QtHost::tool_list_text() {
  DocumentWindow* doc = window_ ? window_->document_window() : nullptr;
  const QListWidgetItem* item = doc ? doc->tool_list()->currentItem() : nullptr;
  return item ? latin1(item->text()) : std::string();
}

void QtHost::set_tool_list_text(std::string_view text) {
  DocumentWindow* doc = window_ ? window_->document_window() : nullptr;
  if (!doc) return;
  const QList<QListWidgetItem*> found = doc->tool_list()->findItems(
      QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), Qt::MatchExactly);
  if (!found.isEmpty()) doc->tool_list()->setCurrentItem(found.first());
}

void QtHost::show_preview() {
  if (!window_ || !context_) return;
  window_->show_preview_window(new PreviewWindow(*context_));
}

TextView* QtHost::show_output_window(std::string_view caption) {
  if (!window_) return nullptr;
  return &window_->show_output_window(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())))->view();
}

TextView* QtHost::output_view() {
  TextWindow* output = window_ ? window_->output_window() : nullptr;
  return output ? &output->view() : nullptr;
}

std::string QtHost::select_file_type() {
  if (!context_) return "exit";
  return run_select_dialog(*context_, window_);
}

// Without the main window there is no tool window: the tool change then ends with its error.
void QtHost::show_tool_window(std::string_view caption, bool show_put_away, bool show_cancel) {
  if (window_) window_->show_tool_window(caption, show_put_away, show_cancel);
}

// Without the main window the prompt is answered "OK" at once, so that no run waits for ever.
void QtHost::show_manual_prompt(std::string_view text) {
  if (window_) {
    window_->show_manual_prompt(text);
  } else if (context_) {
    manual_prompt_ok(*context_);
  }
}

}  // namespace vireo
