#include "app/gui/program.h"

#include <QFile>
#include <QSplashScreen>

#include "app/gui/about_dialog.h"
#include "app/session.h"
#include "convert/autozero.h"
#include "convert/senders.h"
#include "preview/trace.h"
#include "app/shell.h"
#include "convert/driver.h"
#include "convert/excellon.h"

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

bool Program::start() {
  // 1. Colours are constants of the program (app/shell.h); the texts are its string table.
  context_.strings = builtin_string_table();
  // 2. The splash; the run starts from tracked positions of zero.
  std::unique_ptr<QSplashScreen> splash;
  if (options_.splash) {
    splash.reset(make_splash(context_));
    splash->show();
    splash->repaint();
  }
  DisplayState& display = context_.display;
  display.tracked_x = display.tracked_y = display.tracked_z = "0";
  display.tracked_a = display.tracked_b = display.tracked_c = "0";
  // 3. The main window and its load step.
  use_program_directory(context_, options_.data_directory);
  install_help_files(options_.data_directory);
  window_ = std::make_unique<MainWindow>(context_, options_.placement);
  host_.attach(window_.get());
  window_->set_conversion([](UiContext& context) { convert_document(context); });
  window_->set_tool_confirmation([](UiContext& context) { confirm_drill_tool(context); });
  window_->set_command_handler(Command::send_program, [this] { send_program(context_); });
  window_->set_command_handler(Command::send_raw, [this] { send_raw(context_); });
  window_->set_command_handler(Command::show_program, [this] { preview_program(context_); });
  window_->set_command_handler(Command::autozero, [this] { start_autozero(context_); });
  if (options_.on_window_created) options_.on_window_created(*window_, context_);
  if (!window_->load(options_.arguments)) return false;
  // 4. The splash goes, the main window shows itself and lays out its windows.
  if (splash) splash->finish(window_.get());
  window_->show();
  return true;
}

}  // namespace vireo
