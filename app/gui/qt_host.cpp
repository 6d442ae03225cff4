#include "app/gui/qt_host.h"

#include "app/gui/operator_windows.h"
#include "preview/gui/preview_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QInputDialog>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include "core/context.h"
#include "app/gui/document_windows.h"
#include "app/gui/main_window.h"
#include "app/gui/select_dialog.h"
#include "app/gui/setup_dialog.h"
#include "app/gui/status_cadence.h"
#include "app/gui/text_edit.h"
#include "link/operator_prompts.h"
#include "manual/gui/display_window.h"
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

namespace {
DisplayWindow* display_window(const MainWindow* window) {
  const QMdiSubWindow* sub = window ? window->tool_sub_window(ToolWindow::display) : nullptr;
  return sub ? qobject_cast<DisplayWindow*>(sub->widget()) : nullptr;
}
}  // namespace

void QtHost::show_digit(int digit, double value) {
  if (window_) window_->status_cadence().keep_digit(digit, value);
}

// The value handed before the colour still shows in the colour it had.
void QtHost::set_digit_colour(int digit, int colour) {
  if (window_) window_->status_cadence().show_digit_now(digit);
  if (DisplayWindow* display = display_window(window_)) display->set_digit_colour(digit, colour);
}

// A run-time failure ("[tag:]Errore N ...") shows with the error icon and ends the run in progress as
// failed; other messages inform.
void QtHost::message_box(std::string_view text) {
  if (text.find("Errore ") != std::string_view::npos) {
    if (window_) window_->note_failure();
    QMessageBox::critical(owner(), QStringLiteral("vireo"), view_text(text));
    return;
  }
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
  if (window_) window_->status_cadence().keep_panel(panel, text);
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
  (void)context;  // the dialog works on the desktop program's own context
  if (!context_) return false;
  return vireo::run_setup_dialog(*context_, window_);
}

bool QtHost::open_document_with_filter(std::string_view filter) {
  return window_ && window_->open_document_with(filter);
}

std::string QtHost::start_program(std::string_view command_line) {
  QStringList words = QString::fromLatin1(command_line.data(), static_cast<qsizetype>(command_line.size()))
                          .split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (words.isEmpty()) return "no program to start";
  const QString name = words.takeFirst();
  // A program of the project sits beside this one; others are looked for on the path.
  QString program = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
  if (!QFileInfo(program).isExecutable()) program = QStandardPaths::findExecutable(name);
  if (program.isEmpty()) return latin1(name) + " non trovato";
  QProcess process;
  process.setProgram(program);
  process.setArguments(words);
  // Nobody reads the loader's report here: it is kept in the data directory.
  if (context_) {
    const QString log = QString::fromStdString((context_->program_directory / (latin1(name) + ".log")).string());
    process.setStandardOutputFile(log);
    process.setStandardErrorFile(log, QIODevice::Append);
  }
  if (!process.startDetached()) return "cannot start " + latin1(program) + ": " + latin1(process.errorString());
  return {};
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

void QtHost::close_tool_window() {
  ToolSelectWindow* tool_window = window_ ? window_->operator_windows().tool_window() : nullptr;
  if (tool_window && tool_window->isVisible()) tool_window->close();
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
