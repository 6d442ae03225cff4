#include "app/gui/main_window.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTextCharFormat>
#include <QTimer>
#include <QToolBar>

#include "app/ui_context.h"
#include "app/document_file.h"
#include "app/find.h"
#include "app/run_report.h"
#include "core/host.h"
#include "app/gui/about_dialog.h"
#include "app/gui/document_windows.h"
#include "app/gui/find_window.h"
#include "app/gui/icons.h"
#include "app/gui/localise.h"
#include "app/gui/operator_windows.h"
#include "app/gui/status_cadence.h"
#include "app/session.h"
#include "app/shell.h"
#include "app/string_ids.h"
#include "link/firmware_update.h"
#include "link/job_window.h"
#include "link/output_channel.h"
#include "link/run_time.h"
#include "manual/gui/display_window.h"
#include "base/run_error.h"

namespace vireo {

namespace {

// One row of the command table: the menu caption's id, the toolbar key and hint id (when the toolbar
// has the command) and the keyboard shortcut.
struct CommandRow {
  Command command;
  int caption;
  const char* key;
  int hint;
  QKeySequence shortcut;
};

const std::vector<CommandRow>& command_table() {
  static const std::vector<CommandRow> rows = {
      {Command::new_document, sid::kMenuNew, "New", sid::kHintNew, QKeySequence::New},
      {Command::open_document, sid::kMenuOpen, nullptr, 0, QKeySequence::Open},
      {Command::save_document, sid::kMenuSave, "Save", sid::kHintSave, QKeySequence::Save},
      {Command::save_document_as, sid::kMenuSaveAs, nullptr, 0, {}},
      {Command::convert_to_file, sid::kMenuConvertFile, "converti_file", sid::kHintConvertFile, {}},
      {Command::convert_to_text, sid::kMenuConvertText, "converti_rtf", sid::kHintConvertText, {}},
      {Command::convert_to_machine, sid::kMenuConvertMachine, "converti_fresa", sid::kHintConvertMachine, {}},
      {Command::open_aux_file, sid::kMenuOpenAux, "ute", sid::kHintOpenAux, {}},
      {Command::exit, sid::kMenuExit, nullptr, 0, {}},
      {Command::cut, sid::kMenuCut, "cut", sid::kHintCut, {}},
      {Command::copy, sid::kMenuCopy, "Copy", sid::kHintCopy, {}},
      {Command::paste, sid::kMenuPaste, "Paste", sid::kHintPaste, {}},
      {Command::find, sid::kMenuFind, "find", sid::kHintFind, QKeySequence::Find},
      {Command::setup, sid::kMenuSetup, "setup", sid::kHintSetup, {}},
      {Command::keypad, sid::kMenuKeypad, "frecce", sid::kHintKeypad, {}},
      {Command::immediate, sid::kMenuImmediate, "immediato", sid::kHintImmediate, {}},
      {Command::display, sid::kMenuDisplay, "display", sid::kHintDisplay, {}},
      {Command::find_centre, sid::kMenuFindCentre, nullptr, 0, {}},
      {Command::monitor, sid::kMenuMonitor, nullptr, 0, {}},
      {Command::send_program, sid::kMenuSendProgram, nullptr, 0, {}},
      {Command::send_raw, sid::kMenuSendRaw, nullptr, 0, {}},
      {Command::show_program, sid::kMenuShowProgram, "graph", sid::kHintShowProgram, {}},
      {Command::autozero, sid::kMenuAutozero, nullptr, 0, {}},
      {Command::cascade, sid::kMenuCascade, nullptr, 0, {}},
      {Command::tile_horizontal, sid::kMenuTileHorizontal, nullptr, 0, {}},
      {Command::tile_vertical, sid::kMenuTileVertical, nullptr, 0, {}},
      {Command::arrange_icons, sid::kMenuArrangeIcons, nullptr, 0, {}},
      {Command::view_toolbar, sid::kMenuToolbar, nullptr, 0, {}},
      {Command::view_status_bar, sid::kMenuStatusBar, nullptr, 0, {}},
      {Command::help_contents, sid::kMenuHelpContents, nullptr, 0, QKeySequence::HelpContents},
      {Command::help_search, sid::kMenuHelpSearch, nullptr, 0, {}},
      {Command::about, sid::kMenuAbout, nullptr, 0, {}},
      {Command::firmware, sid::kMenuFirmware, nullptr, 0, {}},
  };
  return rows;
}

// The toolbar's sixteen buttons, in order.
constexpr const char* kToolBarKeys[] = {"New",          "Open",  "ute",          "Save",           "cut",   "Copy",
                                        "Paste",        "find",  "converti_file", "graph",          "converti_rtf",
                                        "converti_fresa", "setup", "immediato",    "frecce",         "display"};

// Commands whose work is done by parts that plug in through set_command_handler.
bool handled_elsewhere(Command c) {
  switch (c) {
    case Command::find_centre: case Command::monitor: case Command::send_program:
    case Command::send_raw: case Command::show_program: case Command::autozero:
      return true;
    default:
      return false;
  }
}

QString qt_filter(std::string_view filter) {
  QStringList entries;
  for (const DialogFilter& entry : parse_dialog_filter(filter)) {
    QStringList patterns;
    for (const std::string& p : entry.patterns) patterns << QString::fromLatin1(p.c_str());
    entries << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(entry.description.c_str()), patterns.join(QLatin1Char(' ')));
  }
  return entries.join(QStringLiteral(";;"));
}

QString from_latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
std::string to_latin1(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
std::filesystem::path to_path(const QString& path) { return std::filesystem::path(path.toStdString()); }

constexpr char kPlacementGroup[] = "Settings";

// A string-table text as a dialog title: without its access key and trailing dots.
QString ui_caption(const UiContext& context, int id) {
  QString text = from_latin1(ui_text(context.strings, context.language_offset, id));
  text.remove(QLatin1Char('&'));
  if (text.endsWith(QStringLiteral("..."))) text.chop(3);
  return text;
}

}  // namespace

QRect placement_rect(const QWidget* widget, const Placement& p) {
  return QRect(twips_to_pixels(widget, p.left), twips_to_pixels(widget, p.top), twips_to_pixels(widget, p.width),
               twips_to_pixels(widget, p.height));
}

MainWindow::MainWindow(UiContext& context, PlacementStore store, QWidget* parent)
    : QMainWindow(parent), context_(context), store_(std::move(store)), mdi_(new QMdiArea(this)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QString::number(sid::kMainCaption));
  setWindowIcon(program_icon());
  setAcceptDrops(true);
  mdi_->setObjectName(QStringLiteral("mdi"));
  mdi_->setBackground(QColor(128, 128, 128));
  // Child windows beyond the edge are reached by scrolling; they never hold the main window wide.
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  dialogs.open = [this](const QString& title, const QString& filter, const QString& dir) {
    return QFileDialog::getOpenFileName(this, title, dir, filter);
  };
  dialogs.save = [this](const QString& title, const QString& filter, const QString& dir) {
    return QFileDialog::getSaveFileName(this, title, dir, filter);
  };
  dialogs.ask_changes = [this](const QString& text) {
    return QMessageBox::question(this, base_caption_.isEmpty() ? QStringLiteral("vireo") : base_caption_, text,
                                 QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  };
  // Esc stops a run wherever the focus is in the main window; between runs the key belongs to the
  // windows again.
  stop_key_ = new QAction(this);
  stop_key_->setObjectName(QStringLiteral("stop_key"));
  stop_key_->setShortcut(Qt::Key_Escape);
  stop_key_->setShortcutContext(Qt::WindowShortcut);
  stop_key_->setEnabled(false);
  connect(stop_key_, &QAction::triggered, this, &MainWindow::request_stop);
  addAction(stop_key_);
  run_timer_ = new QTimer(this);
  run_timer_->setInterval(kProgressIntervalMs);
  connect(run_timer_, &QTimer::timeout, this, &MainWindow::refresh_run_figures);
  build_actions();
  build_menus();
  build_tool_bar();
  build_status_bar();
  status_cadence_ = std::make_unique<StatusCadence>(
      [this](int panel, const QString& text) { panels_[static_cast<std::size_t>(panel)]->setText(text); },
      [this](int digit, double value) {
        const QMdiSubWindow* sub = tool_sub_window(ToolWindow::display);
        if (auto* display = sub ? qobject_cast<DisplayWindow*>(sub->widget()) : nullptr)
          display->show_digit(digit, value);
      });
  update_command_states();
  operators_ = std::make_unique<OperatorWindows>(context_, this);
}

MainWindow::~MainWindow() {
  // The tool windows are destroyed after this object (with the QWidget below it): that is no operator
  // closing them, and their handlers must not reach into a main window that is gone.
  for (const QPointer<QMdiSubWindow>& tool : tools_)
    if (tool) disconnect(tool, &QObject::destroyed, this, nullptr);
}

// --- building

void MainWindow::build_actions() {
  for (const CommandRow& row : command_table()) {
    auto* action = new QAction(QString::number(row.caption), this);
    action->setObjectName(row.key ? QString::fromLatin1(row.key) : QStringLiteral("mnu%1").arg(row.caption));
    if (row.hint) action->setToolTip(QString::number(row.hint));
    if (!row.shortcut.isEmpty()) action->setShortcut(row.shortcut);
    if (row.key) action->setIcon(toolbar_icon(QString::fromLatin1(row.key)));
    const Command command = row.command;
    if (row.key) connect(action, &QAction::triggered, this, [this, key = QString::fromLatin1(row.key)] { toolbar_key(key); });
    else connect(action, &QAction::triggered, this, [this, command] { run(command); });
    actions_[command] = action;
  }
  action(Command::view_toolbar)->setCheckable(true);
  action(Command::view_toolbar)->setChecked(true);
  action(Command::view_status_bar)->setCheckable(true);
  action(Command::view_status_bar)->setChecked(true);
  tool_bar_open_ = new QAction(toolbar_icon(QStringLiteral("Open")), QString::number(sid::kMenuOpen), this);
  tool_bar_open_->setObjectName(QStringLiteral("Open"));
  tool_bar_open_->setToolTip(QString::number(sid::kHintOpen));
  connect(tool_bar_open_, &QAction::triggered, this, [this] { toolbar_key(QStringLiteral("Open")); });
  auto* find_again = new QAction(this);
  find_again->setShortcut(QKeySequence::FindNext);
  connect(find_again, &QAction::triggered, this, &MainWindow::find_next);
  addAction(find_again);
}

void MainWindow::build_menus() {
  QMenuBar* bar = menuBar();
  auto add = [this](QMenu* menu, std::initializer_list<Command> commands) {
    for (Command c : commands) menu->addAction(action(c));
  };
  QMenu* file = bar->addMenu(QString::number(sid::kMenuFile));
  add(file, {Command::new_document, Command::open_document, Command::save_document, Command::save_document_as});
  file->addSeparator();
  add(file, {Command::convert_to_file, Command::convert_to_text, Command::convert_to_machine});
  file->addSeparator();
  add(file, {Command::open_aux_file});
  file->addSeparator();
  add(file, {Command::exit});
  QMenu* edit = bar->addMenu(QString::number(sid::kMenuEdit));
  add(edit, {Command::cut, Command::copy, Command::paste});
  edit->addSeparator();
  add(edit, {Command::find});
  QMenu* tools = bar->addMenu(QString::number(sid::kMenuTools));
  add(tools, {Command::setup});
  tools->addSeparator();
  add(tools, {Command::keypad, Command::immediate, Command::display, Command::find_centre, Command::monitor});
  tools->addSeparator();
  add(tools, {Command::send_program, Command::send_raw, Command::show_program, Command::autozero});
  QMenu* view = bar->addMenu(QString::number(sid::kMenuView));
  add(view, {Command::view_toolbar, Command::view_status_bar});
  QMenu* window = bar->addMenu(QString::number(sid::kMenuWindow));
  add(window, {Command::cascade, Command::tile_horizontal, Command::tile_vertical, Command::arrange_icons});
  QMenu* help = bar->addMenu(QString::number(sid::kMenuHelp));
  add(help, {Command::help_contents, Command::help_search});
  help->addSeparator();
  add(help, {Command::firmware});
  help->addSeparator();
  add(help, {Command::about});
}

void MainWindow::build_tool_bar() {
  tool_bar_ = addToolBar(QStringLiteral("tbToolBar"));
  tool_bar_->setObjectName(QStringLiteral("tbToolBar"));
  tool_bar_->setIconSize(QSize(24, 24));
  tool_bar_->setMovable(false);
  std::map<QString, QAction*> by_key;
  for (const CommandRow& row : command_table())
    if (row.key) by_key[QString::fromLatin1(row.key)] = action(row.command);
  by_key[QStringLiteral("Open")] = tool_bar_open_;
  for (const char* key : kToolBarKeys) {
    const QString k = QString::fromLatin1(key);
    tool_bar_->addAction(by_key.at(k));
    if (k == QLatin1String("Save") || k == QLatin1String("find") || k == QLatin1String("converti_fresa"))
      tool_bar_->addSeparator();
  }
  connect(tool_bar_, &QToolBar::visibilityChanged, this, [this](bool visible) {
    if (!isMinimized() && isVisible()) action(Command::view_toolbar)->setChecked(visible);
  });
}

namespace {
// The status bar reports clicks: a click clears the error picture and the error count.
class ClickableStatusBar : public QStatusBar {
 public:
  using QStatusBar::QStatusBar;
  std::function<void()> on_click;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    QStatusBar::mousePressEvent(event);
    if (on_click) on_click();
  }
};

// A status panel passes clicks on to its bar.
class Panel : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void mousePressEvent(QMouseEvent* event) override { event->ignore(); }
};
}  // namespace

void MainWindow::build_status_bar() {
  auto* bar = new ClickableStatusBar(this);
  bar->setObjectName(QStringLiteral("sbStatusBar"));
  bar->setSizeGripEnabled(true);
  bar->on_click = [this] { clear_errors(); };
  setStatusBar(bar);
  // Panels of fixed width, each as wide as its longest usual text, so the bar does not jump as the
  // figures grow; panel 5 takes the rest.
  const QFontMetrics metrics(bar->font());
  const int kWidths[] = {0, metrics.horizontalAdvance(QStringLiteral("items: 000000")) + 12,
                         metrics.horizontalAdvance(QStringLiteral("T00 T00")) + 12,
                         metrics.horizontalAdvance(QStringLiteral("FRESATURA  ")) + 12,
                         metrics.horizontalAdvance(QStringLiteral("X000000Y000000Z000000F00*")) + 12, 0,
                         metrics.horizontalAdvance(QStringLiteral("00:00:00")) + 16,
                         metrics.horizontalAdvance(QStringLiteral("00:00:00")) + 16};
  for (int i = 1; i <= 7; ++i) {
    auto* panel = new Panel(bar);
    panel->setObjectName(QStringLiteral("panel%1").arg(i));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setToolTip(QString::number(sid::kPanelHint1 + i - 1));
    if (i == 5) {
      error_picture_ = new Panel(bar);
      error_picture_->setObjectName(QStringLiteral("panel5_picture"));
      error_picture_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      error_picture_->setFixedWidth(22);
      error_picture_->setToolTip(QString::number(sid::kPanelHint1 + 4));
      bar->addPermanentWidget(error_picture_);
      bar->addPermanentWidget(panel, 1);
    } else {
      panel->setFixedWidth(kWidths[i]);
      bar->addPermanentWidget(panel);
    }
    panels_[static_cast<std::size_t>(i)] = panel;
  }
}

void MainWindow::update_command_states() {
  const bool can_convert = static_cast<bool>(run_conversion_);
  for (Command c : {Command::convert_to_file, Command::convert_to_text, Command::convert_to_machine})
    action(c)->setEnabled(can_convert);
  for (const CommandRow& row : command_table())
    if (handled_elsewhere(row.command)) action(row.command)->setEnabled(handlers_.count(row.command) > 0);
  action(Command::keypad)->setEnabled(static_cast<bool>(tool_factories_[0]));
  action(Command::immediate)->setEnabled(static_cast<bool>(tool_factories_[1]));
  action(Command::display)->setEnabled(static_cast<bool>(tool_factories_[2]));
}

void MainWindow::set_conversion(std::function<void(UiContext&)> run) {
  run_conversion_ = std::move(run);
  update_command_states();
}

void MainWindow::set_command_handler(Command command, std::function<void()> handler) {
  if (handler) handlers_[command] = std::move(handler);
  else handlers_.erase(command);
  update_command_states();
}

void MainWindow::set_tool_window_factory(ToolWindow which, std::function<QWidget*()> make) {
  tool_factories_[static_cast<std::size_t>(which)] = std::move(make);
  update_command_states();
  // A window whose flag is on opens as soon as it can be made.
  if (loaded_ && isVisible()) layout_windows();
}

// --- start-up and shutdown

bool MainWindow::load(const std::vector<std::string>& arguments) {
  read_workspace(context_);
  if (!load_settings(context_)) return false;
  const std::string& language = context_.settings.text(Slot::s_lingua);
  context_.language_offset = language_offset(language);
  copy_language_help(context_.program_directory, language);
  use_qt_translations(context_.language_offset);
  localise_window(this, context_.strings, context_.language_offset);
  base_caption_ = windowTitle();
  restore_placement();
  open_filter_.clear();
  context_.tools.keypad_request = false;
  context_.channel.direct_to_machine = false;
  const std::string document = command_line_document(arguments);
  if (!document.empty() && open_document_file(QString::fromLocal8Bit(document.c_str()))) write_workspace(context_);
  loaded_ = true;
  return true;
}

void MainWindow::restore_placement() {
  QSettings settings = store_.ini_file.isEmpty() ? QSettings(QSettings::UserScope, QStringLiteral("vireo"), QStringLiteral("vireo"))
                                                 : QSettings(store_.ini_file, QSettings::IniFormat);
  settings.beginGroup(QLatin1String(kPlacementGroup));
  const bool stored = settings.contains(QStringLiteral("MainWidth"));
  const Placement defaults = kDefaultMainPlacement;
  Placement p{settings.value(QStringLiteral("MainLeft"), defaults.left).toInt(),
              settings.value(QStringLiteral("MainTop"), defaults.top).toInt(),
              settings.value(QStringLiteral("MainWidth"), defaults.width).toInt(),
              settings.value(QStringLiteral("MainHeight"), defaults.height).toInt()};
  QRect rect = placement_rect(this, p);
  // A place on a screen that is no longer there falls back to the default place.
  bool on_a_screen = false;
  for (const QScreen* screen : QGuiApplication::screens())
    on_a_screen = on_a_screen || screen->availableGeometry().intersects(QRect(rect.topLeft(), QSize(40, 40)));
  if (!on_a_screen) rect.moveTopLeft(placement_rect(this, defaults).topLeft());
  move(rect.topLeft());
  if (stored) {
    resize(rect.size());
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    // A first start opens wide enough for the document column and the tool windows beside it.
    const QRect free = screen->availableGeometry();
    resize(std::max(rect.width(), free.width() * 4 / 5), std::max(rect.height(), free.height() * 4 / 5));
  }
}

void MainWindow::save_placement() {
  QSettings settings = store_.ini_file.isEmpty() ? QSettings(QSettings::UserScope, QStringLiteral("vireo"), QStringLiteral("vireo"))
                                                 : QSettings(store_.ini_file, QSettings::IniFormat);
  settings.beginGroup(QLatin1String(kPlacementGroup));
  settings.setValue(QStringLiteral("MainLeft"), QString::number(pixels_to_twips(this, pos().x())));
  settings.setValue(QStringLiteral("MainTop"), QString::number(pixels_to_twips(this, pos().y())));
  settings.setValue(QStringLiteral("MainWidth"), QString::number(pixels_to_twips(this, width())));
  settings.setValue(QStringLiteral("MainHeight"), QString::number(pixels_to_twips(this, height())));
  settings.sync();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (running()) {
    // A run is under way: stop it; the program closes at the operator's next request.
    request_stop();
    event->ignore();
    return;
  }
  if (!settle_changes()) {
    event->ignore();
    return;
  }
  shutting_down_ = true;
  // 1. A program file left open by a run that did not finish.
  if (context_.channel.program_file.is_open()) {
    try {
      close_program_file(context_);
    } catch (const std::exception&) {
      // The run's own error was reported already; shutting down goes on.
    }
  }
  // 2. The dialogs and helper windows.
  if (find_) find_->close();
  if (help_) help_->close();
  // 3. The placement, unless minimised.
  if (!isMinimized()) save_placement();
  // 4. The serial port.
  if (context_.serial && context_.serial->is_open()) context_.serial->close();
  // 5. The workspace.
  write_workspace(context_);
  event->accept();
}

// --- layout

int MainWindow::inner_width() const { return pixels_to_twips(mdi_, mdi_->width()); }

void MainWindow::place(QMdiSubWindow* sub, const Placement& placement) {
  if (!sub) return;
  // Narrow main windows leave the document column no width: the frame may then shrink to nothing.
  sub->setMinimumSize(1, 1);
  sub->setGeometry(placement_rect(this, placement));
}

QMdiSubWindow* MainWindow::add_sub_window(QWidget* content, const Placement& placement) {
  QMdiSubWindow* sub = mdi_->addSubWindow(content);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  place(sub, placement);
  sub->show();
  return sub;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (loaded_) layout_windows();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (loaded_) layout_windows();
}

void MainWindow::layout_windows() { layout_windows(inner_width()); }

void MainWindow::layout_windows(int width) {
  const ShellLayout layout = shell_layout(width);
  const bool expanded = context_.display.expanded;
  const Placement tool_places[] = {layout.keypad, layout.immediate, display_window_placement(width, expanded)};
  for (std::size_t i = 0; i < tools_.size(); ++i) {
    if (!tool_window_flag(static_cast<ToolWindow>(i))) continue;
    if (!tools_[i]) open_tool_window(static_cast<ToolWindow>(i));
    place(tools_[i], tool_places[i]);
  }
  auto normal = [](const QMdiSubWindow* sub) { return sub && !sub->isMinimized() && !sub->isMaximized(); };
  if (normal(preview_)) place(preview_, preview_placement(width));
  if (normal(document_)) place(document_, layout.document);
  // The output window keeps its column as the main window changes size, never partly off screen.
  if (normal(output_)) place(output_, output_window_placement(width, context_.display.expanded));
  if (normal(aux_)) place(aux_, layout.aux);
}

bool& MainWindow::tool_window_flag(ToolWindow which) {
  switch (which) {
    case ToolWindow::keypad: return context_.workspace.keypad_open;
    case ToolWindow::immediate: return context_.workspace.immediate_open;
    case ToolWindow::display: break;
  }
  return context_.workspace.display_open;
}

QMdiSubWindow* MainWindow::tool_sub_window(ToolWindow which) const { return tools_[static_cast<std::size_t>(which)]; }

void MainWindow::open_tool_window(ToolWindow which) {
  const auto index = static_cast<std::size_t>(which);
  if (tools_[index] || !tool_factories_[index]) return;
  QWidget* content = tool_factories_[index]();
  if (!content) return;
  const ShellLayout layout = shell_layout(inner_width());
  const Placement places[] = {layout.keypad, layout.immediate, layout.display};
  QMdiSubWindow* sub = add_sub_window(content, places[index]);
  // The narrow position display keeps its caption readable: a close button only.
  if (which == ToolWindow::display)
    sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint);
  tools_[index] = sub;
  tool_window_flag(which) = true;
  // Closed by the operator (not at shutdown): the window is no longer open at the next start.
  connect(sub, &QObject::destroyed, this, [this, which] {
    if (!shutting_down_) tool_window_flag(which) = false;
  });
}

void MainWindow::toggle_tool_window(ToolWindow which) {
  const auto index = static_cast<std::size_t>(which);
  bool& flag = tool_window_flag(which);
  if (flag) {
    flag = false;
    if (tools_[index]) tools_[index]->close();
    return;
  }
  if (which == ToolWindow::display && !context_.settings.on(Slot::check_enable_display)) return;
  open_tool_window(which);
  if (tools_[index]) {
    if (which == ToolWindow::display) place(tools_[index], shell_layout(inner_width()).display);
    mdi_->setActiveSubWindow(tools_[index]);
  }
}

QMdiSubWindow* MainWindow::open_sub_window(QWidget* content, const Placement& placement) {
  QMdiSubWindow* sub = add_sub_window(content, placement);
  mdi_->setActiveSubWindow(sub);
  return sub;
}

void MainWindow::place_display_and_preview() {
  const bool expanded = context_.display.expanded;
  place(tools_[static_cast<std::size_t>(ToolWindow::display)], display_window_placement(inner_width(), expanded));
  if (preview_) place(preview_, preview_placement(inner_width()));
}

// The preview takes the output window's column, narrower while the position display is expanded, and
// at least half the main window's height, so the board shows at a useful size.
Placement MainWindow::preview_placement(int width) const {
  Placement place = output_window_placement(width, context_.display.expanded);
  place.height = std::max(place.height, pixels_to_twips(mdi_, mdi_->height() / 2));
  return place;
}

QMdiSubWindow* MainWindow::show_preview_window(QWidget* preview) {
  if (preview_) preview_->close();
  preview_ = add_sub_window(preview, preview_placement(inner_width()));
  return preview_;
}

// --- command routing

void MainWindow::toolbar_key(const QString& key) {
  if (key == QLatin1String("New")) run(Command::new_document);
  else if (key == QLatin1String("Open")) {
    open_filter_ = qt_filter(kDocumentFilter);
    open_document();
  } else if (key == QLatin1String("Save")) run(Command::save_document);
  else if (key == QLatin1String("ute")) run(Command::open_aux_file);
  else if (key == QLatin1String("cut")) run(Command::cut);
  else if (key == QLatin1String("Copy")) run(Command::copy);
  else if (key == QLatin1String("Paste")) run(Command::paste);
  else if (key == QLatin1String("find")) run(Command::find);
  else if (key == QLatin1String("converti_file")) run(Command::convert_to_file);
  else if (key == QLatin1String("converti_rtf")) run(Command::convert_to_text);
  else if (key == QLatin1String("converti_fresa")) run(Command::convert_to_machine);
  else if (key == QLatin1String("graph")) run(Command::show_program);
  else if (key == QLatin1String("setup")) run(Command::setup);
  else if (key == QLatin1String("immediato")) run(Command::immediate);
  else if (key == QLatin1String("frecce")) run(Command::keypad);
  else if (key == QLatin1String("display")) run(Command::display);
  else if (key == QLatin1String("autozero")) {
    if (DocumentWindow* doc = document_window()) doc->control(JobControl::cancel_button)->setEnabled(true);
    run(Command::autozero);
  } else if (key == QLatin1String("invia")) run(Command::send_program);
}

void MainWindow::run(Command command) {
  if (!action(command)->isEnabled()) return;
  switch (command) {
    case Command::new_document: new_document(); return;
    case Command::open_document: open_document(); return;
    case Command::save_document: save_document(); return;
    case Command::save_document_as: save_document_as(); return;
    case Command::convert_to_file: convert(sink::kFile); return;
    case Command::convert_to_text: convert(sink::kTextView); return;
    case Command::convert_to_machine: convert(sink::kMachine); return;
    case Command::open_aux_file: open_aux_file(); return;
    case Command::exit: close(); return;
    case Command::cut: case Command::copy: case Command::paste: {
      DocumentWindow* doc = document_window();
      if (!doc) return;
      mdi_->setActiveSubWindow(document_);
      doc->view().show_selection();
      if (command == Command::cut) doc->edit()->cut();
      else if (command == Command::copy) doc->edit()->copy();
      else doc->edit()->paste();
      return;
    }
    case Command::find: show_find(); return;
    case Command::keypad: toggle_tool_window(ToolWindow::keypad); return;
    case Command::immediate: toggle_tool_window(ToolWindow::immediate); return;
    case Command::display: toggle_tool_window(ToolWindow::display); return;
    case Command::cascade: case Command::tile_horizontal: case Command::tile_vertical: case Command::arrange_icons:
      arrange(command);
      return;
    case Command::view_toolbar:
      tool_bar_->setVisible(action(command)->isChecked());
      return;
    case Command::view_status_bar:
      statusBar()->setVisible(action(command)->isChecked());
      return;
    case Command::help_contents: show_help(false); return;
    case Command::help_search: show_help(true); return;
    case Command::about: show_about(); return;
    case Command::setup: case Command::firmware:
      if (command == Command::setup) context_.host->run_setup_dialog(context_);
      else update_firmware(context_);
      if (!load_settings(context_)) close();
      return;
    case Command::send_program: case Command::send_raw: case Command::autozero:
      run_guarded(handlers_.at(command));
      return;
    case Command::find_centre: case Command::monitor: case Command::show_program:
      handlers_.at(command)();
      return;
  }
}

void MainWindow::convert(std::string_view sink) {
  if (!run_conversion_) return;
  context_.channel.sink = std::string(sink);
  run_guarded([this] { run_conversion_(context_); });
}

// While a run reads the document and serves events, nothing may change that document or pull it from
// under the run: the commands that edit, save over, replace or close it wait and the text is read-only;
// Copy and Find stay. Esc anywhere in the main window stops the run.
void MainWindow::run_guarded(const std::function<void()>& work) {
  const Command held[] = {Command::new_document, Command::open_document, Command::open_aux_file,
                          Command::convert_to_file, Command::convert_to_text, Command::convert_to_machine,
                          Command::send_program, Command::send_raw, Command::autozero, Command::setup,
                          Command::firmware, Command::cut, Command::paste, Command::save_document,
                          Command::save_document_as};
  std::vector<std::pair<QAction*, bool>> states;
  for (Command c : held) states.emplace_back(action(c), action(c)->isEnabled());
  states.emplace_back(tool_bar_open_, tool_bar_open_->isEnabled());
  for (auto& [a, enabled] : states) a->setEnabled(false);
  DocumentWindow* doc = document_window();
  const bool was_read_only = doc && doc->edit()->isReadOnly();
  const int caret = doc ? doc->edit()->textCursor().position() : 0;
  if (doc) doc->edit()->setReadOnly(true);
  // A stored program delivers one command per "*": its total is known before it starts.
  run_lines_total_ = 0;
  if (doc && QFileInfo(doc->windowTitle()).suffix().compare(QLatin1String("tpx"), Qt::CaseInsensitive) == 0) {
    const std::string text = doc->view().text();
    run_lines_total_ = static_cast<double>(std::count(text.begin(), text.end(), '*'));
  }
  run_started_ = std::chrono::steady_clock::now();
  const int failures_before = failures_;
  stop_key_->setEnabled(true);
  run_timer_->start();
  ++running_;
  auto restore = [&] {
    --running_;
    run_timer_->stop();
    stop_key_->setEnabled(running());
    for (auto& [a, enabled] : states) a->setEnabled(enabled);
    // The caret goes back where the run found it, with nothing selected.
    if (DocumentWindow* still = document_window(); still && still == doc) {
      still->edit()->setReadOnly(was_read_only);
      QTextCursor cursor = still->edit()->textCursor();
      cursor.setPosition(std::min(caret, still->edit()->document()->characterCount() - 1));
      still->edit()->setTextCursor(cursor);
    }
  };
  try {
    work();
  } catch (...) {
    restore();
    report_run_end(true);
    throw;
  }
  restore();
  refresh_run_figures();
  report_run_end(failures_ != failures_before);
}

void MainWindow::refresh_run_figures() {
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - run_started_).count();
  if (running()) set_status_panel(7, from_latin1(run_time_text(static_cast<long long>(seconds))));
  DocumentWindow* doc = document_window();
  if (!doc) return;
  const RunProgress progress{static_cast<double>(context_.conversion.read_cursor),
                             static_cast<double>(context_.conversion.text_length), context_.channel.line_counter,
                             run_lines_total_, seconds};
  doc->progress_detail()->setText(from_latin1(progress_detail(progress, context_.language_offset)));
}

void MainWindow::report_run_end(bool failed) {
  // The run's last texts go up first, so that none of them later covers the report.
  status_cadence_->show_all();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - run_started_).count();
  const RunEnd end = failed ? RunEnd::failed : context_.conversion.abort ? RunEnd::cancelled : RunEnd::finished;
  // A conversion to a file shows no status while it runs: the count and last error are the run's now.
  set_status_panel(5, from_latin1(run_end_text(end, context_.channel.line_counter, seconds, context_.language_offset) +
                                  "   " + error_summary(context_.channel)));
  set_error_icon(context_.channel.error_count > 0);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // The document window asked to close during a run: the run is stopped, the window stays.
  if (event->type() == QEvent::Close && running() && watched == document_.data()) {
    request_stop();
    event->ignore();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::arrange(Command how) {
  const QList<QMdiSubWindow*> all = mdi_->subWindowList();
  if (how == Command::cascade) {
    // Each window one title bar lower and to the right of the one before, so every title stays in view.
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 6;
    int i = 0;
    for (QMdiSubWindow* sub : all) {
      if (sub->isMinimized() || !sub->isVisible()) continue;
      sub->showNormal();
      sub->setGeometry(i * step, i * step, std::max(200, mdi_->width() * 2 / 3), std::max(150, mdi_->height() * 2 / 3));
      sub->raise();
      ++i;
    }
    return;
  }
  QList<QMdiSubWindow*> shown, icons;
  for (QMdiSubWindow* sub : all) (sub->isMinimized() ? icons : shown) << sub;
  if (how == Command::arrange_icons) {
    int x = 0;
    for (QMdiSubWindow* sub : icons) {
      sub->move(x, mdi_->height() - sub->height());
      x += sub->width();
    }
    return;
  }
  if (shown.isEmpty()) return;
  const int n = static_cast<int>(shown.size());
  for (int i = 0; i < n; ++i) {
    shown[i]->showNormal();
    if (how == Command::tile_horizontal) {
      const int h = mdi_->height() / n;
      shown[i]->setGeometry(0, i * h, mdi_->width(), h);
    } else {
      const int w = mdi_->width() / n;
      shown[i]->setGeometry(i * w, 0, w, mdi_->height());
    }
  }
}

// --- status bar

void MainWindow::set_status_panel(int panel, const QString& text) {
  if (panel < 1 || panel > 7) return;
  status_cadence_->drop_panel(panel);
  panels_[static_cast<std::size_t>(panel)]->setText(text);
}

void MainWindow::set_error_icon(bool shown) {
  if (shown) error_picture_->setPixmap(error_picture(16));
  else error_picture_->clear();
}

bool MainWindow::error_icon_shown() const { return !error_picture_->pixmap().isNull(); }

void MainWindow::clear_errors() {
  set_error_icon(false);
  context_.channel.error_count = 0;
  context_.channel.error_number = 0;
}

// --- documents

DocumentWindow* MainWindow::document_window() const {
  return document_ ? qobject_cast<DocumentWindow*>(document_->widget()) : nullptr;
}

TextWindow* MainWindow::output_window() const { return output_ ? qobject_cast<TextWindow*>(output_->widget()) : nullptr; }
TextWindow* MainWindow::aux_window() const { return aux_ ? qobject_cast<TextWindow*>(aux_->widget()) : nullptr; }

DocumentWindow* MainWindow::ensure_document_window() {
  if (DocumentWindow* doc = document_window()) return doc;
  auto* doc = new DocumentWindow(context_);
  document_ = add_sub_window(doc, shell_layout(inner_width()).document);
  document_->installEventFilter(this);
  connect(doc, &DocumentWindow::cancel_requested, this, &MainWindow::request_stop);
  // A confirmed tool runs like a conversion: the commands that would pull the document away wait.
  connect(doc, &DocumentWindow::tool_ok_clicked, this, [this] {
    if (confirm_tool_ && !running()) run_guarded([this] { confirm_tool_(context_); });
  });
  connect(doc, &QWidget::windowTitleChanged, this, [this](const QString& title) {
    setWindowTitle(from_latin1(main_caption(to_latin1(base_caption_), to_latin1(title))));
  });
  return doc;
}

void MainWindow::set_document_caption(const QString& caption) {
  DocumentWindow* doc = ensure_document_window();
  doc->setWindowTitle(caption);
  setWindowTitle(from_latin1(main_caption(to_latin1(base_caption_), to_latin1(caption))));
}

void MainWindow::new_document() {
  if (!settle_changes()) return;
  forget_last_run();
  if (document_) {
    document_->close();
    delete document_;
  }
  ensure_document_window();
  set_document_caption(document_window()->windowTitle());
}

void MainWindow::show_error(const std::string& text) {
  QString shown = from_latin1(text);
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QMessageBox::critical(this, base_caption_.isEmpty() ? QStringLiteral("vireo") : base_caption_, shown);
}

void MainWindow::show_document(QtTextView& view, const DocumentText& document) {
  // A large file goes in piece by piece; the status bar shows how far.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  status_cadence_->show_all();  // the text put back after the progress is the latest one
  const QString panel_text = status_panel(5)->text();
  view.on_load_progress = [this](int percent) { set_status_panel(5, QStringLiteral("%1 %").arg(percent)); };
  view.set_text(document.text);
  view.on_load_progress = nullptr;
  set_status_panel(5, panel_text);
  QApplication::restoreOverrideCursor();
  if (!document.colours.empty()) {
    QTextCursor cursor(view.edit()->document());
    for (const ColourRun& run : document.colours) {
      cursor.setPosition(static_cast<int>(run.start));
      cursor.setPosition(static_cast<int>(run.start + run.length), QTextCursor::KeepAnchor);
      QTextCharFormat format;
      format.setForeground(QColor(run.colour.r, run.colour.g, run.colour.b));
      cursor.mergeCharFormat(format);
    }
  }
  view.set_selection_start(0);
}

QString MainWindow::ask_open(const QString& title, const QString& filter) {
  return dialogs.open ? dialogs.open(title, filter, from_latin1(context_.workspace.last_document)) : QString();
}

QString MainWindow::ask_save(const QString& title) {
  // A document never saved offers no name: the dialog opens in the last document's folder.
  QString start = from_latin1(context_.workspace.last_document);
  if (DocumentWindow* doc = document_window(); doc && is_unsaved_caption(to_latin1(doc->windowTitle())))
    start = start.isEmpty() ? QString() : QFileInfo(start).absolutePath();
  return dialogs.save ? dialogs.save(title, open_filter_, start) : QString();
}

bool MainWindow::settle_changes() {
  DocumentWindow* doc = document_window();
  if (!doc || !doc->edit()->document()->isModified() || !dialogs.ask_changes) return true;
  const QString text = context_.language_offset
                           ? QStringLiteral("%1 has changed. Save the changes?").arg(doc->windowTitle())
                           : QStringLiteral("%1 è stato modificato. Salvare le modifiche?").arg(doc->windowTitle());
  switch (dialogs.ask_changes(text)) {
    case QMessageBox::Save:
      save_document();
      return !doc->edit()->document()->isModified();
    case QMessageBox::Discard:
      return true;
    default:
      return false;
  }
}

void MainWindow::forget_last_run() {
  if (preview_) preview_->close();
  context_.conversion.read_cursor = 0;
  context_.conversion.text_length = 0;
  for (int panel = 1; panel <= 7; ++panel) set_status_panel(panel, QString());
  clear_errors();
  if (DocumentWindow* doc = document_window()) {
    doc->progress_label()->clear();
    doc->progress_detail()->clear();
  }
}

bool MainWindow::open_document_with(std::string_view filter) {
  open_filter_ = qt_filter(filter);
  const QString path = ask_open(QStringLiteral("apri"), open_filter_);
  if (path.isEmpty() || !open_document_file(path)) return false;
  write_workspace(context_);
  return true;
}

void MainWindow::open_document() {
  if (!settle_changes()) return;
  const QString path = ask_open(ui_caption(context_, sid::kHintOpen), open_filter_);
  if (path.isEmpty()) return;
  if (open_document_file(path)) write_workspace(context_);
}

bool MainWindow::open_document_file(const QString& path) {
  const std::string name = to_latin1(path);
  const DocumentRead read = read_document(to_path(path));
  if (!read.ok) {
    show_error(read.error + ": " + name);
    return false;
  }
  forget_last_run();
  DocumentWindow* doc = ensure_document_window();
  show_document(doc->view(), read.document);
  doc->edit()->document()->setModified(false);
  doc->line_end = read.document.line_end;
  set_document_caption(path);
  context_.workspace.last_document = name;
  mdi_->setActiveSubWindow(document_);
  return true;
}

bool MainWindow::save_to(const QString& path) {
  DocumentWindow* doc = document_window();
  if (!doc) return false;
  if (const std::string error = write_document(to_path(path), doc->view().text(), doc->line_end); !error.empty()) {
    show_error(error);
    return false;
  }
  doc->edit()->document()->setModified(false);
  set_document_caption(path);
  return true;
}

void MainWindow::save_document() {
  DocumentWindow* doc = document_window();
  if (!doc) return;
  QString name = doc->windowTitle();
  if (is_unsaved_caption(to_latin1(name))) {
    name = ask_save(ui_caption(context_, sid::kMenuSave));
    if (name.isEmpty()) return;
  }
  save_to(name);
}

void MainWindow::save_document_as() {
  if (!document_window()) return;
  const QString name = ask_save(ui_caption(context_, sid::kSetupSaveAs));
  if (name.isEmpty()) return;
  save_to(name);
}

void MainWindow::open_aux_file() {
  const QString path = ask_open(ui_caption(context_, sid::kHintOpen), qt_filter(kAuxFilter));
  if (path.isEmpty()) return;
  const DocumentRead read = read_document(to_path(path));
  if (!read.ok) {
    show_error(read.error + ": " + to_latin1(path));
    return;
  }
  if (aux_) {
    aux_->close();
    delete aux_;
  }
  auto* window = new TextWindow(QStringLiteral("frm_aux"), QStringLiteral("rtfAux"));
  localise_window(window, context_.strings, context_.language_offset);
  connect(window, &TextWindow::escape_pressed, this, &MainWindow::request_stop);
  aux_ = add_sub_window(window, shell_layout(inner_width()).aux);
  show_document(window->view(), read.document);
  window->setWindowTitle(path);
}

TextWindow* MainWindow::show_output_window(const QString& caption) {
  if (!output_) {
    auto* window = new TextWindow(QStringLiteral("frm_out"), QStringLiteral("rtftext"));
    window->view().set_row_per_append(true);
    localise_window(window, context_.strings, context_.language_offset);
    connect(window, &TextWindow::escape_pressed, this, &MainWindow::request_stop);
    connect(window, &TextWindow::closed, this, [this] {
      if (!shutting_down_) request_stop();
    });
    output_ = add_sub_window(window, output_window_placement(inner_width(), false));
  }
  output_window()->setWindowTitle(caption);
  output_->show();
  return output_window();
}

// --- find, help, about

FindWindow* MainWindow::find_window() const { return static_cast<FindWindow*>(find_.data()); }

void MainWindow::show_find() {
  if (!find_) {
    auto* find = new FindWindow(context_, [this]() -> TextView* {
      DocumentWindow* doc = document_window();
      if (!doc) return nullptr;
      mdi_->setActiveSubWindow(document_);
      doc->edit()->setFocus();
      return &doc->view();
    }, this);
    find->setAttribute(Qt::WA_DeleteOnClose);
    connect(find, &FindWindow::escape_pressed, this, &MainWindow::request_stop);
    find_ = find;
  }
  // Beside the document, not over the text it searches.
  if (document_ && !find_->isVisible()) {
    const QRect doc = QRect(document_->mapToGlobal(QPoint(0, 0)), document_->size());
    QPoint place(doc.right() + 8, doc.top());
    if (const QScreen* screen = find_->screen()) {
      const QRect free = screen->availableGeometry();
      if (place.x() + find_->width() > free.right()) place.setX(std::max(free.left(), doc.left() - find_->width() - 8));
      place.setY(std::clamp(place.y(), free.top(), std::max(free.top(), free.bottom() - find_->height())));
    }
    find_->move(place);
  }
  find_->show();
  find_->raise();
  find_->activateWindow();
  find_window()->search_text()->setFocus();
  find_window()->search_text()->selectAll();
}

void MainWindow::find_next() {
  if (find_ && !find_window()->search_text()->text().isEmpty()) find_window()->find_next();
  else show_find();
}

void MainWindow::show_help(bool search) {
  const std::filesystem::path file = context_.program_directory / std::string(kHelpFile);
  if (!help_) {
    auto* viewer = new HelpViewer(this);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    // The search field's hint: the Help > Search caption without its access key and dots.
    QString hint = from_latin1(ui_text(context_.strings, context_.language_offset, sid::kMenuHelpSearch));
    hint.remove(QLatin1Char('&')).remove(QStringLiteral("..."));
    viewer->set_search_hint(hint);
    viewer->set_not_found_text(context_.language_offset ? QStringLiteral("not found") : QStringLiteral("non trovato"));
    help_ = viewer;
  }
  auto* help = static_cast<HelpViewer*>(help_.data());
  if (!help->load(QString::fromStdString(file.string()))) {
    show_error(RunError(err::kFileNotFound, "File not found: " + file.string()).message());
    help_->close();
    return;
  }
  if (search) help->show_search();
  else help->show_contents();
}

void MainWindow::show_about() {
  AboutDialog about(context_, this);
  about.exec();
}

void MainWindow::request_stop() { vireo::request_stop(context_); }

void MainWindow::show_manual_prompt(std::string_view text) { operators_->show_manual_prompt(text); }

void MainWindow::show_tool_window(std::string_view caption, bool show_put_away, bool show_cancel) {
  operators_->set_job_window(document_);
  operators_->set_keypad(tool_sub_window(ToolWindow::keypad));
  operators_->show_tool_window(caption, show_put_away, show_cancel);
}

// --- drops

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  if (open_dropped(event->mimeData()->urls())) event->acceptProposedAction();
}

bool MainWindow::open_dropped(const QList<QUrl>& urls) {
  // A drop would replace the document a run is reading.
  if (running()) return false;
  if (!settle_changes()) return false;
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    if (open_document_file(url.toLocalFile())) write_workspace(context_);
    return true;
  }
  return false;
}

}  // namespace vireo
