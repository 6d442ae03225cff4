#include "app/gui/program.h"

#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSplashScreen>
#include <memory>

#include "app/gui/about_dialog.h"
#include "app/gui/localise.h"
#include "app/string_ids.h"
#include "link/serial_events.h"
#include "manual/gui/display_window.h"
#include "manual/gui/find_centre_window.h"
#include "manual/gui/immediate_window.h"
#include "manual/gui/keypad_window.h"
#include "manual/gui/monitor_window.h"
#include "app/session.h"
#include "convert/autozero.h"
#include "convert/senders.h"
#include "preview/trace.h"
#include "app/shell.h"
#include "convert/driver.h"
#include "convert/excellon.h"
#include "settings/setup_file.h"

// The help files are resources of the static library; a program linking it registers them.
static void register_help_resources() { Q_INIT_RESOURCE(help); }

namespace vireo {

Program::Program(StartupOptions options) : options_(std::move(options)), context_(host_) {
  register_help_resources();
  host_.set_context(context_);
  context_.serial = &serial_;
  context_.isa = &isa_;
}

Program::~Program() = default;

void install_help_files(const std::filesystem::path& directory) {
  for (std::string_view name : {kItalianHelpFile, kEnglishHelpFile}) {
    const std::filesystem::path target = directory / name;
    std::error_code error;
    if (std::filesystem::exists(target, error)) continue;
    QFile::copy(QStringLiteral(":/help/%1").arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))),
                QString::fromStdString(target.string()));
    QFile::setPermissions(QString::fromStdString(target.string()), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  }
}

// The windows of manual control: the keypad and the immediate commands open as the main window's tool
// windows; find centre and the monitor open once each, and a second request brings the open one
// forward.
void add_manual_control(MainWindow& window, UiContext& context) {
  const auto localised = [&context](QWidget* content) {
    localise_window(content, context.strings, context.language_offset);
    return content;
  };
  window.set_tool_window_factory(ToolWindow::keypad, [&context, localised] { return localised(new KeypadWindow(context)); });
  window.set_tool_window_factory(ToolWindow::immediate,
                                 [&context, localised] { return localised(new ImmediateWindow(context)); });
  const auto open_once = [&window](std::function<QWidget*()> make, Placement placement) {
    auto opened = std::make_shared<QPointer<QMdiSubWindow>>();
    return [&window, opened, make, placement] {
      if (*opened) window.mdi_area()->setActiveSubWindow(*opened);
      else *opened = window.open_sub_window(make(), placement);
    };
  };
  window.set_command_handler(Command::find_centre, open_once([&context, localised] {
    return localised(new FindCentreWindow(context));
  }, kFindCentrePlacement));
  window.set_command_handler(Command::monitor, open_once([&context, localised] {
    return localised(new MonitorWindow(context));
  }, kMonitorPlacement));
}

bool Program::start() {
  // 1. Colours are constants of the program (app/shell.h); the texts are its string table.
  context_.strings = builtin_string_table();
  // 2. The splash, in the language of the setup in use (read ahead of the load step); the run starts
  // from tracked positions of zero.
  use_program_directory(context_, options_.data_directory);
  read_workspace(context_);
  if (SettingsRecord setup; read_setup_file(context_.setup_path, setup).ok)
    context_.language_offset = language_offset(setup.text(Slot::s_lingua));
  std::unique_ptr<QSplashScreen> splash;
  if (options_.splash) {
    splash.reset(make_splash(context_));
    splash->show();
    splash->repaint();
  }
  DisplayState& display = context_.display;
  display.tracked_x = display.tracked_y = display.tracked_z = 0;
  display.tracked_a = display.tracked_b = display.tracked_c = 0;
  // 3. The main window and its load step.
  install_help_files(options_.data_directory);
  window_ = std::make_unique<MainWindow>(context_, options_.placement);
  host_.attach(window_.get());
  window_->set_conversion([](UiContext& context) { convert_document(context); });
  window_->set_tool_confirmation([](UiContext& context) { confirm_drill_tool(context); });
  window_->set_command_handler(Command::send_program, [this] { send_program(context_); });
  window_->set_command_handler(Command::send_raw, [this] { send_raw(context_); });
  window_->set_command_handler(Command::show_program, [this] { preview_program(context_); });
  window_->set_command_handler(Command::autozero, [this] { start_autozero(context_); });
  add_manual_control(*window_, context_);
  window_->set_tool_window_factory(ToolWindow::display, [this] {
    auto* display = new DisplayWindow(context_);
    display->setWindowTitle(QString::number(sid::kDisplayCaption));
    display->paste_button()->setToolTip(QString::number(sid::kDisplayPasteHint));
    localise_window(display, context_.strings, context_.language_offset);
    display->on_size_changed = [this] { window_->place_display_and_preview(); };
    return display;
  });
  // The controller's replies and the port's line events, taken while the event loop runs (also
  // inside the waits of a run). A message box of an event does not let the next events in.
  serial_events_.setInterval(20);
  QObject::connect(&serial_events_, &QTimer::timeout, [this] {
    if (taking_serial_events_) return;
    taking_serial_events_ = true;
    take_serial_events(context_);
    taking_serial_events_ = false;
  });
  serial_events_.start();
  if (options_.on_window_created) options_.on_window_created(*window_, context_);
  if (!window_->load(options_.arguments)) return false;
  // 4. The splash goes, the main window shows itself and lays out its windows.
  if (splash) splash->finish(window_.get());
  window_->show();
  return true;
}

}  // namespace vireo
