// The windows of manual control inside the desktop program: opened from the main window, localised,
// their buttons and keys reaching the machine. With VIREO_SHOTS=DIR set, the main window with all four
// windows open is also saved as DIR/manual-<language>-<width>x<height>.png, to look at.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/gui/main_window.h"
#include "base/number_text.h"
#include "app/gui/program.h"
#include "manual/gui/find_centre_window.h"
#include "manual/gui/immediate_window.h"
#include "manual/gui/keypad_window.h"
#include "manual/gui/monitor_window.h"
#include "settings/setup_file.h"

using namespace vireo;

namespace {

struct Sandbox {
  QTemporaryDir dir;
  std::unique_ptr<Program> start(const std::string& language) {
    SettingsRecord record;
    record.set_text(Slot::s_lingua, language);
    record.set_text(Slot::ritardo_dsr, "0");
    write_setup_file(std::filesystem::path(dir.path().toStdString()) / "vireo.stu", record);
    StartupOptions options;
    options.data_directory = dir.path().toStdString();
    options.placement.ini_file = dir.filePath(QStringLiteral("placement.ini"));
    options.splash = false;
    auto program = std::make_unique<Program>(std::move(options));
    if (!program->start()) return nullptr;
    return program;
  }
};

template <typename Window>
Window* content(QMdiSubWindow* sub) {
  return sub ? qobject_cast<Window*>(sub->widget()) : nullptr;
}

template <typename Window>
Window* open_window(MainWindow* window, Command command) {
  window->run(command);
  for (QMdiSubWindow* sub : window->mdi_area()->subWindowList())
    if (auto* w = content<Window>(sub)) return w;
  return nullptr;
}

// Presses the button of the next message box and keeps its text.
void answer_message(QString* text) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    timer->stop();
    timer->deleteLater();
    *text = box->text();
    box->accept();
  });
  timer->start();
}

}  // namespace

class ManualWindowsTest : public QObject {
  Q_OBJECT
 private slots:
  void keypad_buttons_and_keys_jog_the_machine();
  void immediate_lines_are_the_settings_slots();
  void find_centre_without_a_reply_tells_the_operator();
  void windows_open_once_localised_in_both_languages();
};

void ManualWindowsTest::keypad_buttons_and_keys_jog_the_machine() {
  Sandbox box;
  auto program = box.start("Italiano");
  QVERIFY(program);
  MainWindow* window = program->main_window();
  if (!window->tool_sub_window(ToolWindow::keypad)) window->run(Command::keypad);
  auto* keypad = content<KeypadWindow>(window->tool_sub_window(ToolWindow::keypad));
  QVERIFY(keypad);
  DisplayState& display = program->context().display;
  // Every keypad line goes through the encoder, whose step commands the display follows.
  QTest::mousePress(keypad->button("k_xp"), Qt::LeftButton);
  QCOMPARE(display.display_x, 1);
  QVERIFY(keypad->repeat_timer()->isActive());
  QCOMPARE(keypad->repeat_timer()->interval(), kSlowRepeatMs);
  QTRY_VERIFY(display.display_x >= 3);
  QTest::mouseRelease(keypad->button("k_xp"), Qt::LeftButton);
  QVERIFY(!keypad->repeat_timer()->isActive());
  // The keys while the keypad has the focus: Page Down is Z+ (two steps), Left is X--.
  keypad->setFocus();
  const double x = display.display_x;
  QTest::keyPress(keypad, Qt::Key_PageDown);
  QCOMPARE(display.display_z, 2);
  QTest::keyRelease(keypad, Qt::Key_PageDown);
  QTest::keyClick(keypad, Qt::Key_Left);
  QCOMPARE(display.display_x, x - 1);
  QVERIFY(!keypad->repeat_timer()->isActive());
  // The speed button of X and Y in fast mode.
  QAbstractButton* fast = keypad->button("k_fast1");
  QCOMPARE(fast->text(), QStringLiteral("slow"));
  QTest::mouseClick(fast, Qt::LeftButton);
  QCOMPARE(fast->text(), QStringLiteral("fast"));
  QTest::mousePress(keypad->button("k_xm"), Qt::LeftButton);
  QCOMPARE(keypad->repeat_timer()->interval(), kFastRepeatMs);
  QTest::mouseRelease(keypad->button("k_xm"), Qt::LeftButton);
  // The EEROM box shows what the controller does.
  QTest::mouseClick(keypad->load_buffer(), Qt::LeftButton);
  QCOMPARE(keypad->load_buffer()->text(), QStringLiteral("End"));
  QVERIFY(program->context().keypad_load_buffer);
  QTest::mouseClick(keypad->load_buffer(), Qt::LeftButton);
  QCOMPARE(keypad->load_buffer()->text(), QStringLiteral("Load"));
}

void ManualWindowsTest::immediate_lines_are_the_settings_slots() {
  Sandbox box;
  auto program = box.start("Italiano");
  QVERIFY(program);
  MainWindow* window = program->main_window();
  if (!window->tool_sub_window(ToolWindow::immediate)) window->run(Command::immediate);
  auto* immediate = content<ImmediateWindow>(window->tool_sub_window(ToolWindow::immediate));
  QVERIFY(immediate);
  QLineEdit* line = immediate->line(2);
  line->clear();
  QTest::keyClicks(line, QStringLiteral("X01000*"));
  QCOMPARE(program->context().settings.text(162), std::string("X01000*"));
  QCOMPARE(line->toolTip(), QStringLiteral("press <ctrl><c>per inserire un commento"));
  QTest::mouseClick(immediate->send_button(2), Qt::LeftButton);
  QCOMPARE(program->context().display.display_x, 1000);
  QCOMPARE(immediate->send_button(0)->text(), QStringLiteral("INVIA"));
}

void ManualWindowsTest::find_centre_without_a_reply_tells_the_operator() {
  Sandbox box;
  auto program = box.start("Italiano");
  QVERIFY(program);
  auto* finder = open_window<FindCentreWindow>(program->main_window(), Command::find_centre);
  QVERIFY(finder);
  QCOMPARE(finder->findChild<QLineEdit*>(QStringLiteral("Escursio_cava_X"))->text(), QStringLiteral("4000"));
  // The dummy device never answers: the run ends with the operator's message and the centres kept.
  QString message;
  answer_message(&message);
  QTest::mouseClick(finder->start_button(ProbeKind::cave, ProbeAxes::x), Qt::LeftButton);
  QCOMPARE(message, QStringLiteral("[TrovaCentro:]nessuna risposta dal controllore"));
  QCOMPARE(finder->centre_x()->text(), QStringLiteral("0"));
  QVERIFY(finder->progress()->isHidden());
  QVERIFY(finder->start_button(ProbeKind::isle, ProbeAxes::xy)->isEnabled());
  QVERIFY(program->context().channel.suppress);
}

void ManualWindowsTest::windows_open_once_localised_in_both_languages() {
  for (const std::string language : {"Italiano", "English"}) {
    Sandbox box;
    auto program = box.start(language);
    QVERIFY(program);
    MainWindow* window = program->main_window();
    const bool english = language == "English";
    for (ToolWindow which : {ToolWindow::keypad, ToolWindow::immediate})
      if (!window->tool_sub_window(which)) window->run(which == ToolWindow::keypad ? Command::keypad : Command::immediate);
    auto* keypad = content<KeypadWindow>(window->tool_sub_window(ToolWindow::keypad));
    QVERIFY(keypad);
    QCOMPARE(keypad->windowTitle(), english ? QStringLiteral("Keyboard") : QStringLiteral("Tastierino"));
    QCOMPARE(keypad->findChild<QGroupBox*>(QStringLiteral("frame_switch"))->title(),
             english ? QStringLiteral("go to switch") : QStringLiteral("riporta allo switch"));
    QCOMPARE(keypad->button("k_clearx")->toolTip(),
             english ? QStringLiteral("go to switch Xaxis") : QStringLiteral("riporta l'asse X allo switch di zero"));
    auto* immediate = content<ImmediateWindow>(window->tool_sub_window(ToolWindow::immediate));
    QCOMPARE(immediate->send_button(0)->text(), english ? QStringLiteral("LOAD") : QStringLiteral("INVIA"));
    auto* finder = open_window<FindCentreWindow>(window, Command::find_centre);
    QVERIFY(finder);
    QCOMPARE(finder->windowTitle(), english ? QStringLiteral("CenterFinder") : QStringLiteral("TrovaCentro"));
    QCOMPARE(finder->start_button(ProbeKind::isle, ProbeAxes::y)->toolTip(),
             english ? QStringLiteral("Start CenterFinder ISLE on Y axis") : QStringLiteral("Start TrovaCentro ISOLA sull'asse Y"));
    auto* monitor = open_window<MonitorWindow>(window, Command::monitor);
    QVERIFY(monitor);
    QCOMPARE(monitor->windowTitle(), english ? QStringLiteral("CNC Monitor") : QStringLiteral("Monitor CNC"));
    // A second request brings the open window forward instead of opening another.
    const qsizetype windows = window->mdi_area()->subWindowList().size();
    window->run(Command::find_centre);
    QCOMPARE(window->mdi_area()->subWindowList().size(), windows);

    const QString shots = qEnvironmentVariable("VIREO_SHOTS");
    if (shots.isEmpty()) continue;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    window->showMaximized();
    QTest::qWait(300);
    window->grab().save(QStringLiteral("%1/manual-%2-%3x%4.png")
                            .arg(shots, QString::fromStdString(language))
                            .arg(screen.width())
                            .arg(screen.height()));
    for (QMdiSubWindow* sub : window->mdi_area()->subWindowList())
      sub->grab().save(QStringLiteral("%1/%2-%3-%4.png").arg(shots, sub->widget()->objectName(), QString::fromStdString(language)).arg(screen.width()));
  }
}

QTEST_MAIN(ManualWindowsTest)
#include "manual_windows_test.moc"
