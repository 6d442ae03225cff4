// The main window around a run, as an operator meets it: the document cannot change under the run,
// Esc stops it from anywhere, the end is told in the status bar, a changed document is never dropped
// without asking, a new document starts without the last run's figures, and the status texts a run
// hands over per line go up at a cadence without covering what the window writes itself.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <fstream>

#include "app/gui/document_windows.h"
#include "app/gui/qt_host.h"
#include "app/gui/main_window.h"
#include "app/gui/program.h"
#include "core/host.h"
#include "settings/setup_file.h"

using namespace vireo;

namespace {

struct Sandbox {
  QTemporaryDir dir;
  std::filesystem::path path() const { return std::filesystem::path(dir.path().toStdString()); }

  std::unique_ptr<Program> start(std::vector<std::string> arguments = {}) {
    StartupOptions options;
    options.data_directory = path();
    options.placement.ini_file = dir.filePath(QStringLiteral("placement.ini"));
    options.arguments = std::move(arguments);
    options.splash = false;
    // A setup file of defaults, so the start does not stop in the first-start setup dialog.
    if (!std::filesystem::exists(path() / "vireo.stu")) write_setup_file(path() / "vireo.stu", SettingsRecord{});
    auto program = std::make_unique<Program>(std::move(options));
    if (!program->start()) return nullptr;
    return program;
  }
  std::string write(const std::string& name, const std::string& content) const {
    std::ofstream(path() / name, std::ios::binary) << content;
    return (path() / name).string();
  }
};

// Serves events as a run does between its lines, until the abort flag rises or the time runs out.
bool serve_until_abort(UiContext& context, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!context.conversion.abort && std::chrono::steady_clock::now() < end) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return context.conversion.abort;
}

}  // namespace

class RunGuardTest : public QObject {
  Q_OBJECT

 private slots:
  void nothing_changes_the_document_a_run_reads();
  void escape_anywhere_in_the_main_window_stops_the_run();
  void the_end_of_a_run_is_told_with_its_own_count();
  void a_changed_document_is_not_dropped_without_asking();
  void a_new_document_starts_without_the_last_run();
  void the_caret_goes_back_where_the_run_found_it();
  void a_run_leaves_its_last_line_and_its_report_in_the_status_bar();
  void status_texts_go_up_at_a_cadence();
};

void RunGuardTest::nothing_changes_the_document_a_run_reads() {
  // A Paste during a send replaced the character at the read position, and more commands went out
  // than the program holds.
  Sandbox box;
  const std::string program_text = "F02Z01100*X00100*";
  auto program = box.start({box.write("pezzo.tpx", program_text)});
  QVERIFY(program);
  MainWindow* window = program->main_window();
  DocumentWindow* doc = window->document_window();
  QApplication::clipboard()->setText(QStringLiteral("F45Z00800*"));
  std::map<Command, bool> enabled;
  bool drop_refused = false;
  window->set_conversion([&](UiContext&) {
    for (Command c : {Command::cut, Command::paste, Command::save_document, Command::save_document_as,
                      Command::new_document, Command::open_document, Command::copy, Command::find})
      enabled[c] = window->action(c)->isEnabled();
    window->run(Command::paste);
    doc->edit()->setFocus();
    QTest::keyClicks(doc->edit(), QStringLiteral("XYZ"));
    drop_refused = !window->open_dropped({QUrl::fromLocalFile(QString::fromStdString(box.write("other.tpx", "Z1*")))});
  });
  window->run(Command::convert_to_text);
  for (Command c : {Command::cut, Command::paste, Command::save_document, Command::save_document_as,
                    Command::new_document, Command::open_document})
    QVERIFY2(!enabled[c], qPrintable(window->action(c)->objectName()));
  QVERIFY(enabled[Command::copy]);
  QVERIFY(enabled[Command::find]);
  QVERIFY(drop_refused);
  QCOMPARE(doc->view().text(), program_text);
  // After the run the document is the operator's again.
  QVERIFY(!doc->edit()->isReadOnly());
  QVERIFY(window->action(Command::paste)->isEnabled());
}

void RunGuardTest::escape_anywhere_in_the_main_window_stops_the_run() {
  // A send started from the Tools menu ignored Esc until the job window was clicked.
  Sandbox box;
  auto program = box.start({box.write("pezzo.tpx", "Z00800*")});
  QVERIFY(program);
  MainWindow* window = program->main_window();
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(window));
  UiContext& context = program->context();
  bool stopped = false;
  window->set_conversion([&](UiContext& ctx) {
    QTimer::singleShot(20, [window] { QTest::keyClick(window->menuBar(), Qt::Key_Escape); });
    stopped = serve_until_abort(ctx, std::chrono::seconds(2));
  });
  context.conversion.abort = false;
  window->run(Command::convert_to_machine);
  QVERIFY(stopped);
  // Between runs Esc belongs to the windows again.
  context.conversion.abort = false;
  QTest::keyClick(window->menuBar(), Qt::Key_Escape);
  QVERIFY(!context.conversion.abort);
}

void RunGuardTest::the_end_of_a_run_is_told_with_its_own_count() {
  // A conversion to a file showed the error picture beside "(tot errors= 0)" while it had counted 30.
  Sandbox box;
  auto program = box.start({box.write("board.gbr", "G04*\r\n")});
  QVERIFY(program);
  MainWindow* window = program->main_window();
  UiContext& context = program->context();
  struct Case {
    bool cancel;
    bool fail;
    QString ending;
  };
  for (const Case& c : {Case{false, false, QStringLiteral("terminato: 12 righe inviate in 00:00:0")},
                        Case{true, false, QStringLiteral("annullato: 12 righe inviate in 00:00:0")},
                        Case{false, true, QStringLiteral("fallito: 12 righe inviate in 00:00:0")}}) {
    window->set_conversion([&](UiContext& ctx) {
      ctx.channel.line_counter = 12;
      ctx.channel.error_count = 30;
      ctx.channel.error_text = "[Invia:] segno negativo XY";
      ctx.conversion.abort = c.cancel;
      if (c.fail) window->note_failure();
    });
    window->run(Command::convert_to_file);
    const QString panel = window->status_panel(5)->text();
    QVERIFY2(panel.startsWith(c.ending), qPrintable(panel));
    QVERIFY2(panel.endsWith(QStringLiteral("   [Invia:] segno negativo XY(tot errors= 30)")), qPrintable(panel));
    QVERIFY(window->error_icon_shown());
  }
  (void)context;
}

void RunGuardTest::a_changed_document_is_not_dropped_without_asking() {
  Sandbox box;
  const std::string first = box.write("first.gc", "G00 X1\r\n");
  auto program = box.start({first});
  QVERIFY(program);
  MainWindow* window = program->main_window();
  std::vector<QMessageBox::StandardButton> answers;
  int asked = 0;
  window->dialogs.ask_changes = [&](const QString&) {
    ++asked;
    const QMessageBox::StandardButton answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  };
  QString save_start = QStringLiteral("(not asked)");
  window->dialogs.save = [&](const QString&, const QString&, const QString& start) {
    save_start = start;
    return QString::fromStdString((box.path() / "saved.gc").string());
  };
  // Loading and saving leave the document unchanged: nothing to ask.
  window->run(Command::new_document);
  QCOMPARE(asked, 0);
  window->open_document_file(QString::fromStdString(first));

  // Cancel keeps the typed text; Discard drops it.
  window->document_window()->edit()->insertPlainText(QStringLiteral("G01 X2\r\n"));
  answers = {QMessageBox::Cancel, QMessageBox::Discard};
  window->run(Command::new_document);
  QVERIFY(window->document_window()->view().text().starts_with("G01 X2"));
  window->run(Command::new_document);
  QCOMPARE(window->document_window()->view().text(), std::string());
  QCOMPARE(asked, 2);

  // Save on a new document asks for a name in the last document's folder, never with its name.
  window->document_window()->edit()->insertPlainText(QStringLiteral("G00 X3"));
  answers = {QMessageBox::Save};
  window->close();
  QCOMPARE(save_start, QString::fromStdString(box.path().string()));
  QVERIFY(std::filesystem::exists(box.path() / "saved.gc"));
}

void RunGuardTest::a_new_document_starts_without_the_last_run() {
  Sandbox box;
  auto program = box.start({box.write("pezzo.tpx", "Z00800*X00100*")});
  QVERIFY(program);
  MainWindow* window = program->main_window();
  window->set_conversion([](UiContext& ctx) {
    ctx.conversion.text_length = 14;
    ctx.conversion.read_cursor = 7;
    ctx.channel.line_counter = 1;
  });
  window->run(Command::convert_to_text);
  QTRY_VERIFY(!window->document_window()->progress_label()->text().isEmpty());
  QVERIFY(!window->status_panel(5)->text().isEmpty());
  window->run(Command::new_document);
  QVERIFY(window->document_window()->progress_label()->text().isEmpty());
  QTest::qWait(600);  // a refresh of the progress figure finds no run to show
  QVERIFY(window->document_window()->progress_label()->text().isEmpty());
  for (int panel = 1; panel <= 7; ++panel) QVERIFY(window->status_panel(panel)->text().isEmpty());
}

void RunGuardTest::the_caret_goes_back_where_the_run_found_it() {
  // After a finished send a stray character stayed selected in the middle of the document.
  Sandbox box;
  auto program = box.start({box.write("pezzo.tpx", "Z00800*X00100*Y00200*")});
  QVERIFY(program);
  MainWindow* window = program->main_window();
  DocumentWindow* doc = window->document_window();
  QTextCursor cursor = doc->edit()->textCursor();
  cursor.setPosition(5);
  doc->edit()->setTextCursor(cursor);
  window->set_conversion([doc](UiContext&) {
    doc->view().set_selection_start(11);
    doc->view().set_selection_length(1);
  });
  window->run(Command::convert_to_text);
  QCOMPARE(doc->edit()->textCursor().position(), 5);
  QVERIFY(!doc->edit()->textCursor().hasSelection());
}

void RunGuardTest::a_run_leaves_its_last_line_and_its_report_in_the_status_bar() {
  Sandbox box;
  auto program = box.start({box.write("board.gbr", "D10*\nX100Y200D02*\nX300Y200D01*\nX300Y900D01*\nM02*\n")});
  QVERIFY(program);
  MainWindow* window = program->main_window();
  window->run(Command::convert_to_text);
  QVERIFY(window->output_window());
  // The last line delivered into the output view (its tail) is on panel 4 as soon as the run has ended.
  const QString last_line = window->status_panel(4)->text();
  QVERIFY(!last_line.trimmed().isEmpty());
  QVERIFY2(QString::fromLatin1(window->output_window()->view().text()).endsWith(last_line), qPrintable(last_line));
  const QString report = window->status_panel(5)->text();
  QVERIFY2(report.startsWith(QStringLiteral("terminato: ")), qPrintable(report));
  // No text of the run comes up later over the report.
  QTest::qWait(60);
  QCOMPARE(window->status_panel(4)->text(), last_line);
  QCOMPARE(window->status_panel(5)->text(), report);
}

void RunGuardTest::status_texts_go_up_at_a_cadence() {
  Sandbox box;
  auto program = box.start();
  QVERIFY(program);
  MainWindow* window = program->main_window();
  QtHost& host = program->host();
  // A burst of texts leaves the label alone until the cadence comes round, then shows the last one.
  window->set_status_panel(4, QStringLiteral("before"));
  for (int line = 1; line <= 1000; ++line) host.set_status_panel(4, "X" + std::to_string(line));
  QCOMPARE(window->status_panel(4)->text(), QStringLiteral("before"));
  QTRY_COMPARE(window->status_panel(4)->text(), QStringLiteral("X1000"));
  // A text the window writes itself is newer than one still waiting for the cadence.
  host.set_status_panel(7, "waiting");
  window->set_status_panel(7, QStringLiteral("00:00:01"));
  QTest::qWait(60);
  QCOMPARE(window->status_panel(7)->text(), QStringLiteral("00:00:01"));
}

QTEST_MAIN(RunGuardTest)
#include "run_guard_test.moc"
