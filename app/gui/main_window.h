// The main window `frmMain`: an MDI frame holding the document window, the output and auxiliary
// windows, the preview and the tool windows; its menus, the toolbar `tbToolBar` and the status bar
// `sbStatusBar` route every command to the part of the program that carries it out.
#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QList>
#include <QString>
#include <QUrl>
#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/shell.h"

class QAction;
class QDialog;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QStatusBar;
class QToolBar;

namespace vireo {

struct UiContext;
class DocumentWindow;
class OperatorWindows;
struct DocumentText;
class QtTextView;
class FindWindow;
class HelpViewer;
class TextWindow;
class StatusCadence;

// Every command of the menus and the toolbar.
enum class Command {
  new_document, open_document, save_document, save_document_as, convert_to_file, convert_to_text,
  convert_to_machine, open_aux_file, exit, cut, copy, paste, find, setup, keypad, immediate, display,
  find_centre, monitor, send_program, send_raw, show_program, autozero, cascade, tile_horizontal,
  tile_vertical, arrange_icons, view_toolbar, view_status_bar, help_contents, help_search, about, firmware,
};

// The tool windows of manual control, opened by the three toggles and by the layout step.
enum class ToolWindow { keypad, immediate, display };

// Where the main window's placement is kept: the per-user store, or an INI file (tests).
struct PlacementStore {
  QString ini_file;  // empty: the per-user settings store of the program
};

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(UiContext& context, PlacementStore store = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The load step of start-up, in order: workspace, settings, language, help file, localisation,
  // placement, filters, flags, the command-line document. False when the settings could not be loaded
  // and the operator gave up.
  bool load(const std::vector<std::string>& arguments);

  // --- commands
  void run(Command command);
  // The toolbar's handler by button key; also accepts "autozero" and "invia".
  void toolbar_key(const QString& key);
  void new_document();
  void open_document();
  // The open command with another filter (the firmware update's): false when cancelled or unreadable.
  bool open_document_with(std::string_view filter);
  // Opens a file in the document window (open dialog, command line, drop). False when it cannot be read.
  bool open_document_file(const QString& path);
  // Opens the first local file of a drop as the document.
  bool open_dropped(const QList<QUrl>& urls);
  void save_document();
  void save_document_as();
  void open_aux_file();
  void show_find();
  void find_next();
  // Sets the conversion sink and runs the conversion driver.
  void convert(std::string_view sink);
  void toggle_tool_window(ToolWindow which);
  // The layout step for the main window's inner width, or for a given inner width in twips.
  void layout_windows();
  void layout_windows(int inner_width);
  void show_help(bool search);
  void show_about();
  // The job cancel routine: raises the abort flag and re-enables the job window's buttons.
  void request_stop();
  // A click on the status bar: clears panel 5's picture and the error count.
  void clear_errors();
  // True while a conversion or another run works on the document (events are served inside it).
  bool running() const { return running_ > 0; }
  // A failure message was shown ("Errore ..."): the run in progress ends as failed.
  void note_failure() { ++failures_; }

  // --- status bar
  void set_status_panel(int panel, const QString& text);
  void set_error_icon(bool shown);
  QLabel* status_panel(int panel) const { return panels_.at(static_cast<std::size_t>(panel)); }
  // The texts and position-display digits a run hands over per line, shown at a cadence.
  StatusCadence& status_cadence() const { return *status_cadence_; }
  bool error_icon_shown() const;

  // --- windows
  DocumentWindow* document_window() const;
  TextWindow* output_window() const;
  TextWindow* show_output_window(const QString& caption);
  TextWindow* aux_window() const;
  FindWindow* find_window() const;
  QMdiArea* mdi_area() const { return mdi_; }
  QMdiSubWindow* tool_sub_window(ToolWindow which) const;
  QToolBar* tool_bar() const { return tool_bar_; }
  QAction* action(Command command) const { return actions_.at(command); }
  QString base_caption() const { return base_caption_; }
  const QString& open_filter() const { return open_filter_; }
  // Opens a window built elsewhere (find centre, the monitor) in the main window at its placement.
  QMdiSubWindow* open_sub_window(QWidget* content, const Placement& placement);
  // Places the preview window (built elsewhere) in the main window.
  QMdiSubWindow* show_preview_window(QWidget* preview);
  // Places the position display and an open preview for the display's expanded flag.
  void place_display_and_preview();
  // The manual tool-change prompt and the tool window of a tool change; the tool window opens beside
  // the prompt, over the job window or beside the keypad.
  void show_manual_prompt(std::string_view text);
  void show_tool_window(std::string_view caption, bool show_put_away, bool show_cancel);
  OperatorWindows& operator_windows() const { return *operators_; }

  // --- parts built elsewhere plug in here; their commands stay disabled until they do
  // The conversion driver, run after a conversion command has set the sink.
  void set_conversion(std::function<void(UiContext&)> run);
  // What the job window's tool confirmation (`tool_ok`) runs: the drill program of the chosen tool.
  void set_tool_confirmation(std::function<void(UiContext&)> run) { confirm_tool_ = std::move(run); }
  // The handler of a command whose work lives elsewhere (send, preview, tool windows' own commands...).
  void set_command_handler(Command command, std::function<void()> handler);
  // Makes a tool window: the toggles and the layout step open it through this.
  void set_tool_window_factory(ToolWindow which, std::function<QWidget*()> make);

  // File dialogs: title, filter (as for QFileDialog), starting place; an empty answer is a cancel.
  // Tests replace them.
  struct FileDialogs {
    std::function<QString(const QString&, const QString&, const QString&)> open;
    std::function<QString(const QString&, const QString&, const QString&)> save;
    // A changed document is about to be replaced or closed: Save, Discard or Cancel.
    std::function<QMessageBox::StandardButton(const QString& text)> ask_changes;
  };
  FileDialogs dialogs;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void build_actions();
  void build_menus();
  void build_tool_bar();
  void build_status_bar();
  void update_command_states();
  QMdiSubWindow* add_sub_window(QWidget* content, const Placement& placement);
  void place(QMdiSubWindow* sub, const Placement& placement);
  DocumentWindow* ensure_document_window();
  void set_document_caption(const QString& caption);
  void show_document(QtTextView& view, const DocumentText& document);
  bool save_to(const QString& path);
  void arrange(Command how);
  void restore_placement();
  void save_placement();
  int inner_width() const;
  void open_tool_window(ToolWindow which);
  bool& tool_window_flag(ToolWindow which);
  QString ask_open(const QString& title, const QString& filter);
  QString ask_save(const QString& title);
  void show_error(const std::string& text);
  Placement preview_placement(int inner_width) const;
  // Asks what to do with a changed document before it is replaced or closed; false to keep it.
  bool settle_changes();
  // A new or newly opened document starts clean: no progress, preview or status texts of the last run.
  void forget_last_run();
  // The job window's live figures and panel 7 while a run goes.
  void refresh_run_figures();
  // One line in the status bar saying how the run ended.
  void report_run_end(bool failed);

  UiContext& context_;
  PlacementStore store_;
  QMdiArea* mdi_;
  QToolBar* tool_bar_ = nullptr;
  std::map<Command, QAction*> actions_;
  QAction* tool_bar_open_ = nullptr;  // the toolbar's Open first selects the document filter
  std::array<QLabel*, 8> panels_{};   // status panels 1 to 7
  QLabel* error_picture_ = nullptr;
  std::unique_ptr<StatusCadence> status_cadence_;
  QString base_caption_;
  QString open_filter_;  // the filter of the open and save dialogs; empty until the toolbar sets it
  QPointer<QMdiSubWindow> document_;
  QPointer<QMdiSubWindow> output_;
  QPointer<QMdiSubWindow> aux_;
  QPointer<QMdiSubWindow> preview_;
  std::array<QPointer<QMdiSubWindow>, 3> tools_;
  std::array<std::function<QWidget*()>, 3> tool_factories_;
  QPointer<QDialog> find_;   // a FindWindow
  QPointer<QDialog> help_;   // a HelpViewer
  std::unique_ptr<OperatorWindows> operators_;
  std::function<void(UiContext&)> run_conversion_;
  std::function<void(UiContext&)> confirm_tool_;
  std::map<Command, std::function<void()>> handlers_;
  bool shutting_down_ = false;
  int running_ = 0;
  int failures_ = 0;
  QAction* stop_key_ = nullptr;  // Esc anywhere in the main window while a run goes
  QTimer* run_timer_ = nullptr;
  double run_lines_total_ = 0;
  std::chrono::steady_clock::time_point run_started_{};
  // Runs the work of a command that reads the document while events are served.
  void run_guarded(const std::function<void()>& work);
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool loaded_ = false;
};

// Twips of a placement as pixels of the widget's screen.
QRect placement_rect(const QWidget* widget, const Placement& placement);

}  // namespace vireo
