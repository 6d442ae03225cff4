// The desktop program's windows on the offscreen platform: start-up and shutdown, the status bar,
// the layout step and the toggles, document windows, the find window, the file-type selection dialog
// and localisation.
#include <QApplication>
#include <QTextDocument>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTextBrowser>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <fstream>
#include <set>
#include <sstream>

#include "app/gui/about_dialog.h"
#include "app/gui/document_windows.h"
#include "app/gui/find_window.h"
#include "app/gui/localise.h"
#include "app/gui/main_window.h"
#include "app/gui/program.h"
#include "app/gui/select_dialog.h"
#include "app/session.h"
#include "app/string_ids.h"
#include "link/serial_events.h"
#include "lumen/aff.h"
#include "manual/gui/display_window.h"
#include "preview/gui/preview_window.h"
#include "settings/setup_file.h"

using namespace vireo;

namespace {

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void write_file(const std::filesystem::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// A data directory and a placement store of one test.
struct Sandbox {
  QTemporaryDir dir;
  std::filesystem::path path() const { return std::filesystem::path(dir.path().toStdString()); }
  QString ini() const { return dir.filePath(QStringLiteral("placement.ini")); }

  std::unique_ptr<Program> start(std::vector<std::string> arguments = {}) {
    StartupOptions options;
    options.data_directory = path();
    options.placement.ini_file = ini();
    options.arguments = std::move(arguments);
    options.splash = false;
    // A first start passes through the setup dialog, which writes the defaults; it is cancelled.
    if (!std::filesystem::exists(path() / "vireo.stu")) close_setup_dialog_when_shown();
    auto program = std::make_unique<Program>(std::move(options));
    if (!program->start()) return nullptr;
    return program;
  }
  void write_setup(const SettingsRecord& record) const { write_setup_file(path() / "vireo.stu", record); }
  static void close_setup_dialog_when_shown() {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || modal->objectName() != QStringLiteral("frmsetup")) return;
      timer->stop();
      timer->deleteLater();
      static_cast<QDialog*>(modal)->reject();
    });
    timer->start();
  }
};

// Runs `press` once the next modal dialog is up.
void when_modal(std::function<void(QWidget*)> press) {
  QTimer::singleShot(0, [press = std::move(press)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal) press(modal);
  });
}

// Runs `press` once a modal dialog is up, also when the command that shows it lets events run first.
void when_modal_appears(std::function<void(QWidget*)> press) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, press = std::move(press)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    timer->stop();
    timer->deleteLater();
    press(modal);
  });
  timer->start();
}

// Closes the windows that open at start (the tool windows of the workspace), so that a test counts
// only its own.
void close_start_windows(MainWindow* window) {
  for (QMdiSubWindow* sub : window->mdi_area()->subWindowList()) sub->close();
  QTRY_COMPARE(window->mdi_area()->subWindowList().size(), 0);
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void first_start_writes_the_workspace_and_default_settings();
  void english_settings_give_english_texts_and_help();
  void command_line_with_quotes_opens_the_document();
  void placement_is_read_and_written_in_twips();
  void minimised_window_keeps_the_placement_saved_before();
  void a_place_off_every_screen_falls_back_to_the_default();
  void layout_at_a_narrow_width_gives_the_document_no_width();
  void toggles_open_and_close_tool_windows();
  void toggle_display_needs_the_display_setting();
  void status_bar_click_clears_the_error_picture_and_count();
  void every_command_is_enabled();
  void conversion_commands_set_the_sink_then_run_the_driver();
  void document_load_and_save_round_trip();
  void saving_a_new_document_asks_for_a_name();
  void new_document_replaces_the_document_window();
  void copy_puts_plain_and_rich_text_on_the_clipboard();
  void find_window_walks_matches_and_restarts();
  void select_dialog_returns_each_choice();
  void localisation_rules_by_control_kind();
  void every_id_used_by_a_window_exists_in_both_languages();
  void view_toggles_flip_their_check_marks();
  void text_view_reads_and_writes_through_the_widget();
  void host_waits_for_events_and_returns();
  void output_view_shows_rows_that_are_not_text();
  void large_text_loads_in_pieces();
  void only_the_operator_moves_the_read_cursor();
  void help_shows_the_language_file_and_reports_a_missing_one();
  void about_box_offers_system_information();
  void window_commands_arrange_the_child_windows();
  void a_dropped_file_opens_as_the_document();
  void parts_plug_in_before_the_first_layout();
  void a_run_keeps_its_document_and_the_program_open();
  void preview_command_opens_the_plan_beside_the_display();
  void position_display_shows_replies_and_widens_beside_the_preview();
  void autozero_command_rewrites_the_document();
  void send_command_reaches_the_simulator();
  void drill_file_tool_by_tool_through_the_job_window();
};

void MainWindowTest::first_start_writes_the_workspace_and_default_settings() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  QCOMPARE(read_file(box.path() / "vireo.dat"), std::string("\"\",#TRUE#,#TRUE#,#TRUE#,\"vireo.stu\"\r\n"));
  QCOMPARE(read_file(box.path() / "vireo.stu"), setup_file_text(SettingsRecord{}));
  // The help files are in place and the Italian one became the help file.
  QVERIFY(std::filesystem::exists(box.path() / "vireo_eng.hlp"));
  QCOMPARE(read_file(box.path() / "vireo.hlp"), read_file(box.path() / "vireo_ita.hlp"));
  MainWindow* window = program->main_window();
  QCOMPARE(window->base_caption(), QStringLiteral("vireo-italian"));
  QCOMPARE(window->windowTitle(), QStringLiteral("vireo-italian"));
  QCOMPARE(window->action(Command::new_document)->text(), QStringLiteral("&Nuovo"));
  QCOMPARE(window->tool_bar()->actions().front()->toolTip(), QStringLiteral("nuovo"));
  QCOMPARE(window->status_panel(6)->toolTip(), QStringLiteral("ora di inizio lavoro"));
  QCOMPARE(program->context().language_offset, 0);
  QVERIFY(window->open_filter().isEmpty());
  // Shutdown writes the workspace again with the tool-window flags.
  program->context().workspace.keypad_open = false;
  window->close();
  QCOMPARE(read_file(box.path() / "vireo.dat"), std::string("\"\",#FALSE#,#TRUE#,#TRUE#,\"vireo.stu\"\r\n"));
}

void MainWindowTest::english_settings_give_english_texts_and_help() {
  Sandbox box;
  SettingsRecord record;
  record.set_text(Slot::s_lingua, "English");
  box.write_setup(record);
  write_file(box.path() / "vireo_eng.hlp", "<html>english help</html>");
  auto program = box.start();
  QVERIFY(program);
  QCOMPARE(program->context().language_offset, 1000);
  QCOMPARE(program->main_window()->windowTitle(), QStringLiteral("vireo-english"));
  QCOMPARE(program->main_window()->action(Command::tile_horizontal)->text(), QStringLiteral("&Horrizontally tile"));
  QCOMPARE(read_file(box.path() / "vireo.hlp"), std::string("<html>english help</html>"));
}

void MainWindowTest::command_line_with_quotes_opens_the_document() {
  Sandbox box;
  const std::filesystem::path document = box.path() / "my job.nc";
  write_file(document, "G00 X1\r\nG01 Y2\r\n");
  auto program = box.start({"\"" + document.string() + "\""});
  QVERIFY(program);
  MainWindow* window = program->main_window();
  DocumentWindow* doc = window->document_window();
  QVERIFY(doc);
  const QString path = QString::fromStdString(document.string());
  QCOMPARE(doc->windowTitle(), path);
  QCOMPARE(window->windowTitle(), QStringLiteral("vireo-italian   ") + path);
  QCOMPARE(doc->view().text(), std::string("G00 X1\nG01 Y2\n"));
  QCOMPARE(read_file(box.path() / "vireo.dat"), "\"" + document.string() + "\",#TRUE#,#TRUE#,#TRUE#,\"vireo.stu\"\r\n");
}

void MainWindowTest::placement_is_read_and_written_in_twips() {
  Sandbox box;
  {
    QSettings store(box.ini(), QSettings::IniFormat);
    store.setValue(QStringLiteral("Settings/MainLeft"), QStringLiteral("1500"));
    store.setValue(QStringLiteral("Settings/MainTop"), QStringLiteral("750"));
    store.setValue(QStringLiteral("Settings/MainWidth"), QStringLiteral("15000"));
    store.setValue(QStringLiteral("Settings/MainHeight"), QStringLiteral("9000"));
  }
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  QCOMPARE(window->size(), QSize(twips_to_pixels(window, 15000), twips_to_pixels(window, 9000)));
  window->resize(twips_to_pixels(window, 12000), twips_to_pixels(window, 6000));
  window->close();
  QSettings store(box.ini(), QSettings::IniFormat);
  QCOMPARE(store.value(QStringLiteral("Settings/MainWidth")).toString(), QStringLiteral("12000"));
  QCOMPARE(store.value(QStringLiteral("Settings/MainHeight")).toString(), QStringLiteral("6000"));
  QVERIFY(store.contains(QStringLiteral("Settings/MainLeft")));
  QVERIFY(store.contains(QStringLiteral("Settings/MainTop")));
}

void MainWindowTest::minimised_window_keeps_the_placement_saved_before() {
  Sandbox box;
  {
    QSettings store(box.ini(), QSettings::IniFormat);
    store.setValue(QStringLiteral("Settings/MainWidth"), QStringLiteral("14000"));
  }
  auto program = box.start();
  QVERIFY(program);
  program->main_window()->resize(200, 200);
  program->main_window()->showMinimized();
  QTRY_VERIFY(program->main_window()->isMinimized());
  program->main_window()->close();
  QSettings store(box.ini(), QSettings::IniFormat);
  QCOMPARE(store.value(QStringLiteral("Settings/MainWidth")).toString(), QStringLiteral("14000"));
}

void MainWindowTest::a_place_off_every_screen_falls_back_to_the_default() {
  Sandbox box;
  {
    QSettings store(box.ini(), QSettings::IniFormat);
    store.setValue(QStringLiteral("Settings/MainLeft"), QStringLiteral("900000"));
    store.setValue(QStringLiteral("Settings/MainTop"), QStringLiteral("900000"));
    store.setValue(QStringLiteral("Settings/MainWidth"), QStringLiteral("12000"));
    store.setValue(QStringLiteral("Settings/MainHeight"), QStringLiteral("6000"));
  }
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  QCOMPARE(window->pos(), QPoint(twips_to_pixels(window, 1000), twips_to_pixels(window, 1000)));
  QCOMPARE(window->width(), twips_to_pixels(window, 12000));
}

void MainWindowTest::layout_at_a_narrow_width_gives_the_document_no_width() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  window->new_document();
  QMdiSubWindow* document = window->document_window()->parentWidget()->inherits("QMdiSubWindow")
                                ? static_cast<QMdiSubWindow*>(window->document_window()->parentWidget())
                                : nullptr;
  QVERIFY(document);
  window->resize(twips_to_pixels(window, 20000), 600);
  QTRY_COMPARE(window->width(), twips_to_pixels(window, 20000));
  const int w = pixels_to_twips(window, window->mdi_area()->width());
  QCOMPARE(document->width(), twips_to_pixels(window, w - 8380));
  QCOMPARE(document->height(), twips_to_pixels(window, 4600));
  window->layout_windows(6000);
  // A window frame cannot be narrower than one pixel.
  QVERIFY(document->width() <= 1);
  QCOMPARE(document->pos(), QPoint(0, 0));
}

void MainWindowTest::toggles_open_and_close_tool_windows() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  Workspace& workspace = program->context().workspace;
  window->set_tool_window_factory(ToolWindow::keypad, nullptr);
  QVERIFY(!window->action(Command::keypad)->isEnabled());
  window->set_tool_window_factory(ToolWindow::keypad, [] { return new QLabel(QStringLiteral("keypad")); });
  QVERIFY(window->action(Command::keypad)->isEnabled());
  // The flag from the workspace is on: the layout step opens the window in its place.
  window->resize(twips_to_pixels(window, 20000), 700);
  window->layout_windows();
  QMdiSubWindow* keypad = window->tool_sub_window(ToolWindow::keypad);
  QVERIFY(keypad);
  const int w = pixels_to_twips(window, window->mdi_area()->width());
  QCOMPARE(keypad->geometry(), placement_rect(window, shell_layout(w).keypad));
  window->run(Command::keypad);
  QVERIFY(!workspace.keypad_open);
  QTRY_VERIFY(!window->tool_sub_window(ToolWindow::keypad));
  window->run(Command::keypad);
  QVERIFY(workspace.keypad_open);
  QVERIFY(window->tool_sub_window(ToolWindow::keypad));
  // Closed by the operator, the window is not reopened at the next start.
  window->tool_sub_window(ToolWindow::keypad)->close();
  QTRY_VERIFY(!workspace.keypad_open);
}

void MainWindowTest::toggle_display_needs_the_display_setting() {
  Sandbox box;
  SettingsRecord record;
  record.set_text(Slot::check_enable_display, "0");
  box.write_setup(record);
  write_file(box.path() / "vireo.dat", "\"\",#TRUE#,#TRUE#,#FALSE#,\"vireo.stu\"\r\n");
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  int made = 0;
  window->set_tool_window_factory(ToolWindow::display, [&made] {
    ++made;
    return new QLabel(QStringLiteral("display"));
  });
  window->run(Command::display);
  QCOMPARE(made, 0);
  QVERIFY(!program->context().workspace.display_open);
  program->context().settings.set_text(Slot::check_enable_display, "1");
  window->run(Command::display);
  QCOMPARE(made, 1);
  QVERIFY(program->context().workspace.display_open);
}

void MainWindowTest::status_bar_click_clears_the_error_picture_and_count() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  program->context().channel.error_count = 3;
  program->host().set_error_icon(true);
  program->host().set_status_panel(5, " ZBOTTOM mancante");
  QVERIFY(window->error_icon_shown());
  QTRY_COMPARE(window->status_panel(5)->text(), QStringLiteral(" ZBOTTOM mancante"));
  QTest::mouseClick(window->status_panel(5), Qt::LeftButton);
  QVERIFY(!window->error_icon_shown());
  QCOMPARE(program->context().channel.error_count, 0);
}

void MainWindowTest::every_command_is_enabled() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  for (Command c : {Command::new_document, Command::open_document, Command::find, Command::about, Command::cascade,
                    Command::setup, Command::firmware,
                    Command::convert_to_file, Command::convert_to_text, Command::convert_to_machine,
                    Command::send_program, Command::send_raw, Command::show_program, Command::autozero,
                    Command::keypad, Command::immediate, Command::find_centre, Command::monitor})
    QVERIFY(window->action(c)->isEnabled());
  int sent = 0;
  window->set_command_handler(Command::send_program, [&sent] { ++sent; });
  QVERIFY(window->action(Command::send_program)->isEnabled());
  window->toolbar_key(QStringLiteral("invia"));
  QCOMPARE(sent, 1);
  // The toolbar has its sixteen buttons.
  int buttons = 0;
  for (QAction* a : window->tool_bar()->actions()) buttons += a->isSeparator() ? 0 : 1;
  QCOMPARE(buttons, 16);
}

void MainWindowTest::conversion_commands_set_the_sink_then_run_the_driver() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  std::vector<std::string> sinks;
  window->set_conversion([&sinks](UiContext& context) { sinks.push_back(context.channel.sink); });
  window->run(Command::convert_to_file);
  window->toolbar_key(QStringLiteral("converti_rtf"));
  window->action(Command::convert_to_machine)->trigger();
  QCOMPARE(sinks, (std::vector<std::string>{"file (.tpx)", "rtf", "periferica"}));
}

void MainWindowTest::document_load_and_save_round_trip() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  const std::filesystem::path source = box.path() / "pezzo.nc";
  write_file(source, "G00 X1\nG01 Y2\n");
  window->dialogs.open = [&](const QString& title, const QString& filter, const QString&) {
    if (title != QStringLiteral("apri")) return QString();
    return filter.contains(QStringLiteral("*.tpx")) ? QString::fromStdString(source.string()) : QString();
  };
  window->run(Command::open_document);  // the menu's Open: no filter set yet, so the stub cancels
  QVERIFY(!window->document_window());
  window->toolbar_key(QStringLiteral("Open"));  // the toolbar's Open selects the document filter
  QVERIFY(window->document_window());
  QCOMPARE(program->context().workspace.last_document, source.string());
  QtTextView& view = window->document_window()->view();
  view.set_selection_start(view.length());
  view.replace_selection("G00 Z3\n");
  window->run(Command::save_document);
  QCOMPARE(read_file(source), std::string("G00 X1\nG01 Y2\nG00 Z3\n"));
  // Save As under a new name moves both captions there.
  const std::filesystem::path copy = box.path() / "copia.nc";
  window->dialogs.save = [&](const QString& title, const QString&, const QString&) {
    return title == QStringLiteral("Salva con nome") ? QString::fromStdString(copy.string()) : QString();
  };
  window->run(Command::save_document_as);
  QCOMPARE(read_file(copy), read_file(source));
  QCOMPARE(window->windowTitle(), QStringLiteral("vireo-italian   ") + QString::fromStdString(copy.string()));
}

void MainWindowTest::saving_a_new_document_asks_for_a_name() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  window->run(Command::new_document);
  window->document_window()->view().set_text("riga 1\nriga 2");
  QStringList asked;
  QString answer;
  window->dialogs.save = [&](const QString& title, const QString&, const QString&) {
    asked << title;
    return answer;
  };
  window->run(Command::save_document);  // cancelled: nothing written, caption unchanged
  QCOMPARE(asked, QStringList{QStringLiteral("Salva")});
  QCOMPARE(window->document_window()->windowTitle(), QString::fromLatin1(kNewDocumentCaption));
  answer = QString::fromStdString((box.path() / "nuovo.txt").string());
  window->document_window()->setWindowTitle(QStringLiteral("DOCUMENT 7"));
  window->run(Command::save_document);
  QCOMPARE(asked.size(), 2);
  QCOMPARE(read_file(box.path() / "nuovo.txt"), std::string("riga 1\r\nriga 2"));
  QCOMPARE(window->document_window()->windowTitle(), answer);
  window->run(Command::save_document);  // named now: saved without asking
  QCOMPARE(asked.size(), 2);
}

void MainWindowTest::new_document_replaces_the_document_window() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  close_start_windows(window);
  window->run(Command::new_document);
  window->document_window()->view().set_text("old");
  window->run(Command::new_document);
  QTRY_COMPARE(window->mdi_area()->subWindowList().size(), 1);
  QCOMPARE(window->document_window()->view().text(), std::string());
  QCOMPARE(window->windowTitle(), QStringLiteral("vireo-italian   ") + QString::fromLatin1(kNewDocumentCaption));
}

void MainWindowTest::copy_puts_plain_and_rich_text_on_the_clipboard() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  window->run(Command::new_document);
  QtTextView& view = window->document_window()->view();
  view.set_text("X00100F04Y");
  view.set_selection_start(6);
  view.set_selection_length(3);
  view.set_selection_color({255, 43, 1});
  view.set_selection_start(0);
  view.set_selection_length(10);
  window->run(Command::copy);
  const QMimeData* data = QApplication::clipboard()->mimeData();
  QVERIFY(data);
  QCOMPARE(data->text(), QStringLiteral("X00100F04Y"));  // others get plain text, no markup
  QVERIFY(data->hasHtml());
  // Pasted inside the program the colour stays.
  view.set_selection_start(view.length());
  window->run(Command::paste);
  QCOMPARE(view.text(), std::string("X00100F04YX00100F04Y"));
  QTextCursor probe(window->document_window()->edit()->document());
  probe.setPosition(17);
  QCOMPARE(probe.charFormat().foreground().color(), QColor(255, 43, 1));
}

void MainWindowTest::find_window_walks_matches_and_restarts() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  window->run(Command::new_document);
  window->document_window()->view().set_text("G00 x1\nG01 X2\ng00 X3\n");
  window->run(Command::find);
  FindWindow* find = window->find_window();
  QVERIFY(find);
  QCOMPARE(find->whole_word()->text(), QStringLiteral("Parole intere"));
  find->search_text()->setText(QStringLiteral("x"));
  find->match_case()->setChecked(true);
  find->find_next();
  QCOMPARE(find->line_label()->text(), QStringLiteral("1"));
  QVERIFY(find->not_found_label()->text().isEmpty());
  find->find_next();  // no other lower-case x
  QCOMPARE(find->not_found_label()->text(), QStringLiteral("non trovato"));
  find->find_next();  // from the top again
  QCOMPARE(find->line_label()->text(), QStringLiteral("1"));
  find->match_case()->setChecked(false);
  find->find_next();
  QCOMPARE(find->line_label()->text(), QStringLiteral("2"));
  // A new search text restarts from the top.
  find->search_text()->setText(QStringLiteral("g0"));
  find->find_next();
  QCOMPARE(find->line_label()->text(), QStringLiteral("1"));
  // A conversion resets the search start as well.
  program->context().conversion.read_cursor = 0;
  find->search_text()->setText(QStringLiteral("X3"));
  QTest::keyClick(find, Qt::Key_F3);
  QCOMPARE(find->line_label()->text(), QStringLiteral("3"));
}

void MainWindowTest::select_dialog_returns_each_choice() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  const std::map<QString, std::string> expected = {
      {QStringLiteral("cmd_gc"), ".gc"},     {QStringLiteral("cmd_dxf"), ".dxf"},    {QStringLiteral("cmd_excellon"), ".drl"},
      {QStringLiteral("cmd_gerber"), ".gbr"}, {QStringLiteral("cmd_hpgl"), ".plt"},   {QStringLiteral("cmd_modela"), ".rml"},
      {QStringLiteral("cmd_annulla"), "exit"}};
  for (const auto& [name, extension] : expected) {
    when_modal([name = name](QWidget* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("seleziona tipo file da convertire"));
      dialog->findChild<QPushButton*>(name)->click();
    });
    QCOMPARE(program->host().select_file_type(), extension);
  }
  // Closed without a choice: the extension stays unknown.
  when_modal([](QWidget* dialog) { dialog->close(); });
  QCOMPARE(program->host().select_file_type(), std::string());
  // The buttons' tool tips, in English as well.
  UiContext& context = program->context();
  SelectDialog italian(context);
  QCOMPARE(italian.findChild<QPushButton*>(QStringLiteral("cmd_hpgl"))->toolTip(),
           QStringLiteral("considera questo file come file hpgl(corel draw)"));
  QCOMPARE(italian.findChild<QPushButton*>(QStringLiteral("cmd_annulla"))->text(), QStringLiteral("annulla"));
  context.language_offset = 1000;
  SelectDialog english(context);
  QCOMPARE(english.findChild<QPushButton*>(QStringLiteral("cmd_gerber"))->toolTip(),
           QStringLiteral("this file is  gerber type (pcb)"));
  QCOMPARE(english.findChild<QPushButton*>(QStringLiteral("cmd_annulla"))->text(), QStringLiteral("cancel"));
  // At least 4500 twips, wider where the English title needs it to be read whole.
  QVERIFY(english.width() >= twips_to_pixels(&english, 4500));
  QVERIFY(english.width() >= english.fontMetrics().horizontalAdvance(english.windowTitle()));
}

void MainWindowTest::localisation_rules_by_control_kind() {
  const StringTable table = builtin_string_table();
  for (int offset : {0, 1000}) {
    QWidget window;
    window.setWindowTitle(QStringLiteral("1200"));
    auto* label = new QLabel(QStringLiteral("1202"), &window);
    auto* plain_label = new QLabel(QStringLiteral("File setup in uso:"), &window);
    auto* check = new QCheckBox(QStringLiteral("Manual TC"), &window);
    check->setToolTip(QStringLiteral("1419"));
    auto* box = new QLineEdit(&window);
    box->setToolTip(QStringLiteral("1303"));
    auto* button = new QPushButton(QStringLiteral("1219"), &window);
    button->setToolTip(QStringLiteral("1499"));  // no such id: left as it is
    auto* group = new QGroupBox(QStringLiteral("1201"), &window);
    auto* option = new QRadioButton(QStringLiteral("2/3"), &window);
    option->setProperty(kTagProperty, 1235);
    auto* untagged = new QRadioButton(QStringLiteral("3/3"), &window);
    untagged->setProperty(kTagProperty, QStringLiteral("x"));
    auto* tabs = new QTabWidget(&window);
    tabs->addTab(new QWidget, QStringLiteral("1225"));
    tabs->setTabToolTip(0, QStringLiteral("1226"));
    auto* list = new QTreeWidget(&window);
    list->setHeaderLabels({QStringLiteral("1247"), QStringLiteral("descr")});

    localise_window(&window, table, offset);
    const bool en = offset == 1000;
    QCOMPARE(window.windowTitle(), en ? QStringLiteral("Machine setup") : QStringLiteral("Setup macchina"));
    QCOMPARE(label->text(), en ? QStringLiteral("Moving Z") : QStringLiteral("Z iniziale"));
    QCOMPARE(plain_label->text(), QStringLiteral("File setup in uso:"));
    QCOMPARE(check->text(), QStringLiteral("Manual TC"));
    QCOMPARE(check->toolTip(), en ? QStringLiteral("automatic (Auto TC) or manual (Manual TC) tool change")
                                  : QStringLiteral("cambio utensile automatico (Auto TC) o manuale (Manual TC)"));
    QCOMPARE(box->toolTip(), en ? QStringLiteral("milling Z offset (cent/mm)") : QStringLiteral("offset Z di fresatura (cent/mm)"));
    QCOMPARE(button->text(), QStringLiteral("OK"));
    QCOMPARE(button->toolTip(), QStringLiteral("1499"));
    QCOMPARE(group->title(), en ? QStringLiteral("Z levels") : QStringLiteral("Quote Z"));
    QCOMPARE(option->text(), en ? QStringLiteral("unit") : QString::fromUtf8("unità"));
    QCOMPARE(untagged->text(), QStringLiteral("3/3"));
    QCOMPARE(tabs->tabText(0), en ? QStringLiteral("General") : QStringLiteral("Generale"));
    QCOMPARE(tabs->tabToolTip(0), en ? QStringLiteral("Tools") : QStringLiteral("Utensili"));
    QCOMPARE(list->headerItem()->text(0), en ? QStringLiteral("tool description") : QStringLiteral("descrizione utensile"));
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("descr"));
    // A second pass changes nothing: the texts are no longer ids.
    localise_window(&window, table, offset);
    QCOMPARE(label->text(), en ? QStringLiteral("Moving Z") : QStringLiteral("Z iniziale"));
  }
}

namespace {
// Every numeric text of a window's localisable properties before localisation.
void collect_ids(QWidget* window, std::set<int>& ids) {
  auto add = [&ids](const QString& text) {
    bool ok = false;
    const int id = text.trimmed().toInt(&ok);
    if (ok && id > 0) ids.insert(id);
  };
  add(window->windowTitle());
  for (QWidget* w : window->findChildren<QWidget*>()) {
    add(w->toolTip());
    if (auto* label = qobject_cast<QLabel*>(w)) add(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) add(button->text());
    if (auto* group = qobject_cast<QGroupBox*>(w)) add(group->title());
    add(w->property(kTagProperty).toString());
  }
  for (QAction* action : window->findChildren<QAction*>()) {
    add(action->text());
    add(action->toolTip());
  }
}
}  // namespace

void MainWindowTest::every_id_used_by_a_window_exists_in_both_languages() {
  QtHost host;
  UiContext context(host);  // an empty table: the windows keep their ids
  std::set<int> ids;
  MainWindow main(context);
  collect_ids(&main, ids);
  DocumentWindow document(context);
  collect_ids(&document, ids);
  FindWindow find(context, {});
  collect_ids(&find, ids);
  SelectDialog select(context);
  collect_ids(&select, ids);
  AboutDialog about(context);
  collect_ids(&about, ids);
  QVERIFY(ids.size() > 80);
  const StringTable table = builtin_string_table();
  for (int id : ids) {
    QVERIFY2(table.find(id), qPrintable(QStringLiteral("id %1 has no Italian text").arg(id)));
    QVERIFY2(table.find(id + 1000), qPrintable(QStringLiteral("id %1 has no English text").arg(id)));
  }
}

void MainWindowTest::view_toggles_flip_their_check_marks() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  QVERIFY(window->action(Command::view_status_bar)->isChecked());
  window->action(Command::view_status_bar)->trigger();
  QVERIFY(!window->action(Command::view_status_bar)->isChecked());
  QVERIFY(window->statusBar()->isHidden());
  window->action(Command::view_toolbar)->trigger();
  QVERIFY(!window->action(Command::view_toolbar)->isChecked());
  QVERIFY(window->tool_bar()->isHidden());
  window->action(Command::view_toolbar)->trigger();
  QVERIFY(!window->tool_bar()->isHidden());
}

void MainWindowTest::text_view_reads_and_writes_through_the_widget() {
  TextEdit edit;
  QtTextView view(&edit);
  view.set_text("N1 G00\r\nN2 G01\rN3");
  QCOMPARE(view.text(), std::string("N1 G00\nN2 G01\nN3"));
  QCOMPARE(view.length(), 16L);
  view.set_selection_start(1000000000);
  QCOMPARE(view.selection_start(), 16L);
  view.set_selection_start(7);
  view.set_selection_length(6);
  QCOMPARE(view.selected_text(), std::string("N2 G01"));
  QCOMPARE(view.line_of(view.selection_start()), 1L);
  view.replace_selection("X\xE0");
  QCOMPARE(view.text(), std::string("N1 G00\nX\xE0\nN3"));
  QCOMPARE(view.find("n3", 0, 1000000000, {}), 10L);
  QCOMPARE(view.find("n3", 0, 1000000000, {.whole_word = false, .match_case = true}), -1L);
  QCOMPARE(view.find("N3", 0, 11, {}), -1L);  // the match would end past `to`
  view.set_selection_start(3);
  view.set_selection_length(3);
  view.set_selection_color({0, 105, 230});
  QTextCursor probe(edit.document());
  probe.setPosition(5);
  QCOMPARE(probe.charFormat().foreground().color(), QColor(0, 105, 230));
  view.set_enabled(false);
  QVERIFY(!edit.isEnabled());
}

void MainWindowTest::host_waits_for_events_and_returns() {
  QtHost host;
  bool fired = false;
  QTimer::singleShot(5, [&fired] { fired = true; });
  for (int i = 0; i < 100 && !fired; ++i) host.wait_events(50);
  QVERIFY(fired);
  // Pumping many times processes events only now and then.
  for (int i = 0; i < 100000; ++i) host.pump_events();
  QVERIFY(host.processed() < 1000);
}

void MainWindowTest::output_view_shows_rows_that_are_not_text() {
  TextEdit edit;
  QtTextView view(&edit);
  view.set_row_per_append(true);
  QVERIFY(edit.isReadOnly());
  // As the text sink appends: select the end, replace, then colour the feed code.
  for (const std::string line : {"F04X00100*", "X00200Y00300*", "S12"}) {
    view.set_selection_start(view.length());
    view.set_selection_length(static_cast<long>(line.size()));
    view.replace_selection(line);
    QCOMPARE(view.selection_start(), view.length());
  }
  QCOMPARE(view.text(), std::string("F04X00100*X00200Y00300*S12"));
  QCOMPARE(view.length(), 26L);
  QCOMPARE(edit.document()->blockCount(), 3);
  QCOMPARE(view.find("X", 3, 1000000000, {.whole_word = false, .match_case = true}), 3L);
  QCOMPARE(view.find("X", 4, 1000000000, {.whole_word = false, .match_case = true}), 10L);
  QCOMPARE(view.find("X0020", 4, 14, {.whole_word = false, .match_case = true}), -1L);
  QCOMPARE(view.line_of(10), 0L);
  view.set_selection_start(9);
  view.set_selection_length(4);
  QCOMPARE(view.selected_text(), std::string("*X00"));
  view.set_selection_start(23);
  view.set_selection_length(3);
  QCOMPARE(view.selected_text(), std::string("S12"));
  view.set_selection_color({0, 105, 230});
  QTextCursor probe(edit.document());
  probe.setPosition(23 + 2 + 1);  // two row breaks before it
  QCOMPARE(probe.charFormat().foreground().color(), QColor(0, 105, 230));
  // The widget follows the newest line rather than the colouring's selections.
  QTRY_COMPARE(edit.textCursor().position(), edit.document()->characterCount() - 1);
  QVERIFY(!edit.textCursor().hasSelection());
  view.set_text("");
  QCOMPARE(view.length(), 0L);
  QCOMPARE(view.text(), std::string());
}

void MainWindowTest::large_text_loads_in_pieces() {
  std::string text;
  for (int i = 0; text.size() < 5'000'000; ++i) text += "N" + std::to_string(i) + " G01 X" + std::to_string(i % 977) + "\r\n";
  TextEdit edit;
  QtTextView view(&edit);
  std::vector<int> progress;
  view.on_load_progress = [&progress](int percent) { progress.push_back(percent); };
  view.set_text(text);
  QVERIFY(progress.size() >= 2);
  QCOMPARE(progress.back(), 100);
  std::string expected = text;
  std::erase(expected, '\r');
  QCOMPARE(view.length(), static_cast<long>(expected.size()));
  QVERIFY(view.text() == expected);
  QCOMPARE(view.line_of(view.length()), static_cast<long>(std::count(expected.begin(), expected.end(), '\n')));
  QVERIFY(!edit.document()->isUndoAvailable());
}

void MainWindowTest::only_the_operator_moves_the_read_cursor() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  window->run(Command::new_document);
  DocumentWindow* doc = window->document_window();
  doc->view().set_text("G00 X1\nG01 X2\n");
  UiContext& context = program->context();
  context.conversion.read_cursor = 3;
  doc->view().set_selection_start(9);
  doc->edit()->setFocus();
  QApplication::processEvents();
  QCOMPARE(context.conversion.read_cursor, std::size_t{3});
  // The operator's own key press moves it.
  QTest::keyClick(doc->edit(), Qt::Key_Right);
  QCOMPARE(context.conversion.read_cursor, std::size_t{10});
  // Esc in the job window, in its view or on its buttons, stops the run.
  context.conversion.abort = false;
  QTest::keyClick(doc->edit(), Qt::Key_Escape);
  QVERIFY(context.conversion.abort);
  context.conversion.abort = false;
  QTest::keyClick(doc->control(JobControl::cancel_button), Qt::Key_Escape);
  QVERIFY(context.conversion.abort);
}

void MainWindowTest::help_shows_the_language_file_and_reports_a_missing_one() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  window->run(Command::help_contents);
  auto* help = window->findChild<HelpViewer*>();
  QVERIFY(help);
  QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Sommario")));
  QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Tasti rapidi")));
  help->close();
  std::filesystem::remove(box.path() / "vireo.hlp");
  QString shown;
  when_modal([&shown](QWidget* dialog) {
    shown = static_cast<QMessageBox*>(dialog)->text();
    dialog->close();
  });
  window->run(Command::help_search);
  QVERIFY2(shown.startsWith(QStringLiteral("Errore 53\n")), qPrintable(shown));
}

void MainWindowTest::about_box_offers_system_information() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  const QString info = system_information(program->context());
  QVERIFY(info.contains(QStringLiteral("Sistema operativo:")));
  QVERIFY(info.contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
  AboutDialog about(program->context());
  QCOMPARE(about.windowTitle(), QStringLiteral("Informazioni su vireo"));
  QVERIFY(about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo")));
  QCOMPARE(about.findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(), QStringLiteral("OK"));
  QCOMPARE(about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->toolTip(), QStringLiteral("informazioni sul sistema"));
}

void MainWindowTest::window_commands_arrange_the_child_windows() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  close_start_windows(window);
  window->run(Command::new_document);
  window->show_output_window(QStringLiteral("out.tpx"));
  QMdiArea* mdi = window->mdi_area();
  QTRY_COMPARE(mdi->subWindowList().size(), 2);
  window->run(Command::tile_horizontal);
  const QList<QMdiSubWindow*> subs = mdi->subWindowList();
  QCOMPARE(subs[0]->width(), mdi->width());
  QCOMPARE(subs[1]->y(), subs[0]->height());
  window->run(Command::tile_vertical);
  QCOMPARE(subs[0]->height(), mdi->height());
  QCOMPARE(subs[1]->x(), subs[0]->width());
  window->run(Command::cascade);
  QVERIFY(subs[0]->pos() != subs[1]->pos());
  subs[1]->showMinimized();
  window->run(Command::arrange_icons);
  QCOMPARE(subs[1]->y() + subs[1]->height(), mdi->height());
}

void MainWindowTest::a_dropped_file_opens_as_the_document() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  const std::filesystem::path file = box.path() / "dropped.gbr";
  write_file(file, "G04 test*\nM02*\n");
  QVERIFY(!window->open_dropped({QUrl(QStringLiteral("https://example.org/x.gbr"))}));
  QVERIFY(!window->document_window());
  QVERIFY(window->open_dropped({QUrl::fromLocalFile(QString::fromStdString(file.string()))}));
  QVERIFY(window->document_window());
  QCOMPARE(window->document_window()->windowTitle(), QString::fromStdString(file.string()));
  QCOMPARE(program->context().workspace.last_document, file.string());
}

void MainWindowTest::parts_plug_in_before_the_first_layout() {
  Sandbox box;
  StartupOptions options;
  options.data_directory = box.path();
  options.placement.ini_file = box.ini();
  options.splash = false;
  options.on_window_created = [](MainWindow& window, UiContext&) {
    window.set_tool_window_factory(ToolWindow::immediate, [] { return new QLabel(QStringLiteral("immediato")); });
  };
  Sandbox::close_setup_dialog_when_shown();
  Program program(std::move(options));
  QVERIFY(program.start());
  // The workspace's flag is on: the first layout step opened it.
  QTRY_VERIFY(program.main_window()->tool_sub_window(ToolWindow::immediate));
}

void MainWindowTest::a_run_keeps_its_document_and_the_program_open() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  window->run(Command::new_document);
  DocumentWindow* doc = window->document_window();
  UiContext& context = program->context();
  bool new_refused = false, document_kept = false, program_kept = false;
  // The run serves events, as the source reader does; the operator tries to replace the document,
  // close it and quit.
  window->set_conversion([&](UiContext&) {
    window->run(Command::new_document);
    new_refused = window->document_window() == doc;
    window->document_window()->parentWidget()->close();
    QApplication::processEvents();
    document_kept = window->document_window() == doc && context.conversion.abort;
    window->close();
    program_kept = window->isVisible();
  });
  context.conversion.abort = false;
  window->run(Command::convert_to_text);
  QVERIFY(new_refused);
  QVERIFY(document_kept);
  QVERIFY(program_kept);
  QVERIFY(!window->running());
  QVERIFY(window->action(Command::new_document)->isEnabled());
}

QTEST_MAIN(MainWindowTest)
void MainWindowTest::position_display_shows_replies_and_widens_beside_the_preview() {
  Sandbox box;
  SettingsRecord record;
  record.set_text(Slot::colore_display, "bleu");
  record.set_text(Slot::quote32bit, "0");
  box.write_setup(record);
  const std::filesystem::path source = box.path() / "board.gbr";
  write_file(source, "G04 board*\r\n");
  write_file(box.path() / "board.tpx", "Z00800*X01000Y01000*Z01100*X03000*Y02000*Z00800*");
  auto program = box.start({source.string()});
  QVERIFY(program);
  MainWindow* window = program->main_window();
  const QMdiArea* area = window->findChild<QMdiArea*>();
  auto* display = window->findChild<DisplayWindow*>();
  QVERIFY(display);
  QCOMPARE(display->windowTitle(), QStringLiteral("Display"));
  QCOMPARE(display->paste_button()->toolTip(), QStringLiteral("copia e incolla i valori X-Y-Z nel Documento"));

  // A reply of the controller reaches the digits, in the colour of the setting.
  Context& context = program->context();
  const std::string frame("\x01\xF4\x00\x64\x00\x00\x00\x00\x00\x00\x00\x00\x04\x0C", 14);
  for (char c : frame) on_comm_event(context, {comm_event::kReceive, std::string(1, c), {}});
  QTRY_COMPARE(display->digit(1)->glyphs(), (std::vector<int>{33, 33, 33, 38, 33, 33}));  // 000500 in blue

  // Expanded, the display is 3500 twips wide and an open preview narrower beside it.
  window->run(Command::show_program);
  auto* preview = window->findChild<PreviewWindow*>();
  QVERIFY(preview);
  const int inner = pixels_to_twips(area, area->width());
  display->size_toggle()->click();
  const auto near = [&](int pixels, int twips) { return std::abs(pixels - twips_to_pixels(area, twips)) <= 1; };
  QVERIFY(near(display->parentWidget()->width(), 3500));
  QVERIFY(near(display->parentWidget()->x(), inner - 3500 - 380));
  QVERIFY(near(preview->parentWidget()->width(), 4500));
  display->size_toggle()->click();
  QVERIFY(near(display->parentWidget()->width(), 1800));
  QVERIFY(near(preview->parentWidget()->width(), 6200));
}

void MainWindowTest::preview_command_opens_the_plan_beside_the_display() {
  Sandbox box;
  const std::filesystem::path source = box.path() / "board.gbr";
  write_file(source, "G04 board*\r\n");
  write_file(box.path() / "board.tpx", "Z00800*X01000Y01000*Z01100*X03000*Y02000*Z00800*");
  auto program = box.start({source.string()});
  QVERIFY(program);
  MainWindow* window = program->main_window();
  const QMdiArea* area = window->findChild<QMdiArea*>();

  window->run(Command::show_program);
  auto* preview = window->findChild<PreviewWindow*>();
  QVERIFY(preview);
  QTRY_VERIFY(preview->drawing().lines > 0);
  QCOMPARE(preview->windowTitle(), QStringLiteral("Simulator   tot:3 linee"));
  const QWidget* frame = preview->parentWidget();
  const int inner = pixels_to_twips(area, area->width());
  QVERIFY(std::abs(frame->x() - twips_to_pixels(area, inner - 6200 - 1800 - 380)) <= 1);
  const int wide = frame->width();

  // With the position display expanded the next preview replaces this one, narrower.
  program->context().display.expanded = true;
  window->run(Command::show_program);
  QTRY_COMPARE(window->findChildren<PreviewWindow*>().size(), qsizetype{1});
  QVERIFY(window->findChild<PreviewWindow*>()->parentWidget()->width() <= wide);

  // Without a program file there is nothing to show: the message says to convert first.
  std::filesystem::remove(box.path() / "board.tpx");
  QString shown;
  when_modal_appears([&shown](QWidget* dialog) {
    shown = static_cast<QMessageBox*>(dialog)->text();
    dialog->close();
  });
  window->run(Command::show_program);
  QVERIFY2(shown.startsWith(QStringLiteral("[GRAPH:]Errore 53")), qPrintable(shown));
  QVERIFY(shown.endsWith(QStringLiteral("Genera prima il file su disco")));
}

void MainWindowTest::autozero_command_rewrites_the_document() {
  Sandbox box;
  const std::filesystem::path program_file = box.path() / "pezzo.tpx";
  write_file(program_file, "Z00800*X01000Y01000*Z01100*X03000*");
  auto program = box.start({program_file.string()});
  QVERIFY(program);
  MainWindow* window = program->main_window();
  QString shown;
  when_modal_appears([&shown](QWidget* dialog) {
    shown = static_cast<QMessageBox*>(dialog)->text();
    dialog->close();
  });
  window->toolbar_key(QStringLiteral("autozero"));
  QCOMPARE(window->document_window()->view().text(), std::string("Z00800*X00000Y00000*Z01100*X02000*"));
  QVERIFY2(shown.startsWith(QStringLiteral("( 2 )X + ( 1 )Y coordinate modificate")), qPrintable(shown));
  // Nothing is saved until the operator saves.
  QCOMPARE(read_file(program_file), std::string("Z00800*X01000Y01000*Z01100*X03000*"));
}

// The desktop program opens "com1" when it loads its settings; a program sent from its document
// window arrives on the simulator's terminal (the command-line send once failed to reach it).
void MainWindowTest::send_command_reaches_the_simulator() {
  Sandbox box;
  QProcess sim;
  const QString log = box.dir.filePath(QStringLiteral("sim.log"));
  sim.start(QStringLiteral(VIREO_SIM), {QStringLiteral("--log"), log});
  QVERIFY(sim.waitForReadyRead(5000));
  const QByteArray pty = sim.readLine().trimmed();
  qputenv("VIREO_COM1", pty);
  SettingsRecord record;
  record.set_text(Slot::s_periferica, "com1");
  record.set_text(Slot::ritardo_dsr, "1");
  box.write_setup(record);
  const std::filesystem::path program_file = box.path() / "p.tpx";
  write_file(program_file, "X01000*\r\nY02000*");
  auto program = box.start({program_file.string()});
  qunsetenv("VIREO_COM1");
  QVERIFY(program);
  program->main_window()->run(Command::send_program);
  sim.terminate();
  QVERIFY(sim.waitForFinished(5000));
  std::string logged;
  for (char c : read_file(box.path() / "sim.log"))
    if (c != '\n') logged += c;
  QCOMPARE(logged, std::string("F45Z00000*F45S12X01000*Y02000*go0F45Z00000*F45S00 "));
}

// One tool at a time: converting lists the tools; choosing one in the list and pressing OK writes
// that tool's program and shows its preview.
void MainWindowTest::drill_file_tool_by_tool_through_the_job_window() {
  Sandbox box;
  SettingsRecord record;
  record.set_text(Slot::atc_excellon, "single");
  box.write_setup(record);
  const std::filesystem::path source = box.path() / "board.drl";
  write_file(source, "M48\r\nM72\r\nT01C0.0236\r\nT02C0.0354\r\n%\r\nT01\r\nX001000Y002000\r\nT02\r\nX003000Y004000\r\nM30\r\n");
  auto program = box.start({source.string()});
  QVERIFY(program);
  MainWindow* window = program->main_window();
  DocumentWindow* doc = window->document_window();
  QListWidget* list = doc->tool_list();
  QWidget* ok = doc->control(JobControl::tool_ok);

  window->run(Command::convert_to_file);
  QCOMPARE(list->count(), 4);
  QCOMPARE(list->item(1)->text(), QStringLiteral("T02"));
  QCOMPARE(list->currentItem()->text(), QStringLiteral("T01"));
  QVERIFY(ok->isEnabled());
  QVERIFY(!std::filesystem::exists(box.path() / "board.tpx"));

  QTest::mouseClick(ok, Qt::LeftButton);
  QCOMPARE(read_file(box.path() / "board.tpx"), std::string("X01000*Y02000*F02Z01100*F04pbpcF45Z00800*go0go0"));
  QVERIFY(!ok->isEnabled());
  QTRY_VERIFY(window->findChild<PreviewWindow*>());

  // Choosing T02 in the list offers the confirmation again; its program replaces the first.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
  QVERIFY(ok->isEnabled());
  QTest::mouseClick(ok, Qt::LeftButton);
  QCOMPARE(read_file(box.path() / "board.tpx"), std::string("X03000*Y04000*F02Z01100*F04pbpcF45Z00800*go0go0"));
}

#include "main_window_test.moc"
