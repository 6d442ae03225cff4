// The manual prompt and the tool window as widgets, driven by clicks under the offscreen platform,
// with a host whose waits run the Qt event loop as the desktop program's do.
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/ui_context.h"
#include "app/gui/document_windows.h"
#include "app/gui/main_window.h"
#include "app/gui/qt_host.h"
#include "convert/tool_change.h"
#include "app/gui/operator_windows.h"
#include "link/job_window.h"
#include "link/operator_prompts.h"

namespace vireo {
namespace {

class TestHost : public Host {
 public:
  OperatorWindows* windows = nullptr;
  int waits = 0;
  void wait_events(int max_ms) override {
    ++waits;
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(max_ms);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  void show_tool_window(std::string_view caption, bool put_away, bool cancel) override {
    windows->show_tool_window(caption, put_away, cancel);
  }
  void show_manual_prompt(std::string_view text) override { windows->show_manual_prompt(text); }
};

// Runs `action` once `ready` holds, polling the event loop (a click the operator makes later).
void when(std::function<bool()> ready, std::function<void()> action) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, ready, action] {
    if (!ready()) return;
    timer->stop();
    timer->deleteLater();
    action();
  });
  timer->start(5);
}

}  // namespace

class OperatorWindowsTest : public QObject {
  Q_OBJECT

  TestHost host;
  std::unique_ptr<UiContext> ctx;
  std::unique_ptr<QWidget> main;
  std::unique_ptr<OperatorWindows> windows;

 private slots:
  void init() {
    ctx = std::make_unique<UiContext>(host);
    ctx->channel.sink = "periferica";
    ctx->settings.set_text(Slot::check_ena_tc, "1");
    ctx->settings.set_text(Slot::descrizione1, 2, "Punta 1mm");
    main = std::make_unique<QWidget>();
    main->setGeometry(50, 60, 800, 600);
    main->show();
    windows = std::make_unique<OperatorWindows>(*ctx, main.get());
    host.windows = windows.get();
  }
  void cleanup() {
    windows.reset();
    main.reset();
    ctx.reset();
  }

  void toolWindowShowsTheToolsAndChoosesOne() {
    ctx->tools.tool_request_mode = true;
    host.show_tool_window("REQUEST TOOL 12", false, false);
    ToolSelectWindow* w = windows->tool_window();
    QVERIFY(w->isVisible());
    QVERIFY(ctx->tools.tool_window_wait);
    QCOMPARE(w->caption_label()->text(), QString("REQUEST TOOL 12"));
    QCOMPARE(w->caption_label()->toolTip(), QString("REQUEST TOOL 12"));
    for (int i = 0; i < 8; ++i) {
      QCOMPARE(w->tool_button(i)->text(), QString::number(i + 1));
      QCOMPARE(w->description(i)->toolTip(), QString::fromLatin1(ctx->settings.text(Slot::descrizione1, i)));
    }
    QCOMPARE(w->description(2)->text(), QString("Punta 1mm"));
    QVERIFY(w->put_away_button()->isHidden());
    QVERIFY(w->cancel_button()->isHidden());
    QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(w->size(), QSize(200, 260));
    QVERIFY(!w->mask().isEmpty());
    QVERIFY(!w->mask().contains(QPoint(0, 0)));  // the corners are cut
    QVERIFY(w->mask().contains(QPoint(100, 130)));

    QTest::keyClick(w, Qt::Key_Escape);  // Esc stops the run, the window stays
    QVERIFY(ctx->conversion.abort);
    QVERIFY(w->isVisible());

    QTest::mouseClick(w->tool_button(2), Qt::LeftButton);
    QCOMPARE(ctx->tools.requested, 3);
    QCOMPARE(ctx->tools.tool_choice, 0);
    QVERIFY(!ctx->tools.tool_window_wait);
    QVERIFY(!w->isVisible());
  }

  void toolWindowPutAwayCancelAndClose() {
    struct Case {
      const char* name;
      std::function<void(ToolSelectWindow*)> act;
      int requested, choice;
    };
    const Case cases[] = {
        {"Deponi", [](ToolSelectWindow* w) { QTest::mouseClick(w->put_away_button(), Qt::LeftButton); }, 0, 0},
        {"cancel", [](ToolSelectWindow* w) { QTest::mouseClick(w->cancel_button(), Qt::LeftButton); }, 5, 99},
        {"closed", [](ToolSelectWindow* w) { w->close(); }, 5, 99},
    };
    for (const Case& c : cases) {
      ctx->tools.requested = 5;
      ctx->tools.tool_choice = 0;
      host.show_tool_window("T", true, true);
      QVERIFY2(windows->tool_window()->put_away_button()->isVisibleTo(windows->tool_window()), c.name);
      c.act(windows->tool_window());
      QVERIFY2(ctx->tools.requested == c.requested, c.name);
      QVERIFY2(ctx->tools.tool_choice == c.choice, c.name);
      QVERIFY2(!ctx->tools.tool_window_wait, c.name);
    }
  }

  void toolWindowOpensBesideItsCaller() {
    // Beside the prompt while the prompt waits.
    ctx->tools.manual_wait = true;
    host.show_manual_prompt("metti manualmente utensile3");
    host.show_tool_window("select", false, true);
    const QRect prompt = windows->prompt()->frameGeometry();
    const QPoint at = windows->tool_window()->pos();
    QVERIFY(at.x() >= prompt.right() || at.x() + 200 <= prompt.left());
    windows->tool_window()->close();
    windows->prompt()->close();
  }

  void promptShowsItsSentenceAndAnswers() {
    struct Case {
      const char* name;
      std::function<QPushButton*(ManualPrompt*)> button;
      bool suppress, skip_calibration;
    };
    const Case cases[] = {
        {"OK", &ManualPrompt::ok_button, false, false},
        {"SKIP TOOL", &ManualPrompt::skip_button, true, false},
    };
    for (const Case& c : cases) {
      ctx->tools.manual_wait = true;
      ctx->channel.suppress = !c.suppress;
      ctx->tools.skip_calibration = true;
      host.show_manual_prompt("cambia manualmente utensile7");
      ManualPrompt* p = windows->prompt();
      QCOMPARE(p->text_label()->text(), QString("cambia manualmente utensile7"));
      QCOMPARE(p->geometry().size(), QSize(twips_to_pixels(p, 4500), twips_to_pixels(p, 1800)));
      QCOMPARE(p->geometry().topLeft(), main->mapToGlobal(QPoint(twips_to_pixels(p, 200), twips_to_pixels(p, 1500))));
      QTest::mouseClick(c.button(p), Qt::LeftButton);
      QVERIFY2(!p->isVisible(), c.name);
      QVERIFY2(!ctx->tools.manual_wait, c.name);
      QVERIFY2(ctx->channel.suppress == c.suppress, c.name);
      QVERIFY2(ctx->tools.skip_calibration == c.skip_calibration, c.name);
    }
    // Its close box clears only the wait flag; Esc stops the run.
    ctx->tools.manual_wait = true;
    ctx->channel.suppress = true;
    host.show_manual_prompt("x");
    QTest::keyClick(windows->prompt(), Qt::Key_Escape);
    QVERIFY(ctx->conversion.abort);
    QVERIFY(windows->prompt()->isVisible());
    windows->prompt()->close();
    QVERIFY(!ctx->tools.manual_wait);
    QVERIFY(ctx->channel.suppress);
  }

  void devToolThenCancelKeepsThePromptOpen() {
    ctx->tools.manual_wait = true;
    ctx->tools.requested = 3;
    ctx->channel.suppress = false;
    ctx->tools.skip_calibration = false;
    host.show_manual_prompt("metti manualmente utensile3");
    ToolSelectWindow* w = windows->tool_window();
    when([w] { return w->isVisible(); }, [w] { QTest::mouseClick(w->cancel_button(), Qt::LeftButton); });
    QTest::mouseClick(windows->prompt()->dev_button(), Qt::LeftButton);
    QVERIFY(windows->prompt()->isVisible());
    QVERIFY(windows->prompt()->isEnabled());
    QVERIFY(ctx->tools.manual_wait);
    QVERIFY(!ctx->tools.skip_calibration);
    QCOMPARE(ctx->tools.requested, 3);
    QCOMPARE(w->caption_label()->text(), QString("select"));
    QVERIFY(w->put_away_button()->isHidden());

    // Then DEV TOOL with tool 5.
    when([w] { return w->isVisible(); }, [w] { QTest::mouseClick(w->tool_button(4), Qt::LeftButton); });
    QTest::mouseClick(windows->prompt()->dev_button(), Qt::LeftButton);
    QVERIFY(!windows->prompt()->isVisible());
    QVERIFY(!ctx->tools.manual_wait);
    QVERIFY(ctx->tools.skip_calibration);
    QCOMPARE(ctx->tools.requested, 5);
  }

  void toolChangeWaitsForTheWindows() {
    // A manual change: the sequence shows the prompt and goes on once OK is clicked.
    ManualPrompt* p = windows->prompt();
    when([p] { return p->isVisible(); }, [p] { QTest::mouseClick(p->ok_button(), Qt::LeftButton); });
    ctx->tools.requested = 2;
    tool_change(*ctx);
    QVERIFY(!p->isVisible());
    QCOMPARE(ctx->channel.tool_text, std::string("UTENSILE: 2"));
    QVERIFY(host.waits > 0);

    // The changer asks for tool 12: the window opens over the job window and tool 4 is chosen.
    QWidget job(main.get());
    job.setGeometry(0, 0, 400, 300);
    job.show();
    windows->set_job_window(&job);
    ctx->settings.set_text(Slot::f_tauto, "1");
    ToolSelectWindow* w = windows->tool_window();
    QPoint opened_at;
    when([w] { return w->isVisible(); }, [w, &opened_at] {
      opened_at = w->pos();
      QTest::mouseClick(w->tool_button(3), Qt::LeftButton);
    });
    ctx->tools.requested = 12;
    tool_change(*ctx);
    QCOMPARE(ctx->tools.loaded, 4);
    QCOMPARE(opened_at, job.mapToGlobal(QPoint(16, 16)));
  }

  // The desktop program's host and main window: the run's windows open from there.
  void mainWindowSteersTheRun() {
    vireo::QtHost qt_host;
    UiContext c(qt_host);
    qt_host.set_context(c);
    MainWindow window(c);
    qt_host.attach(&window);
    window.show();
    window.new_document();
    DocumentWindow* doc = window.document_window();
    QVERIFY(doc);
    QVERIFY(c.channel.job_window_open);

    // Pause twice: the flag and the button's colour come and go.
    QTest::mouseClick(doc->pause_button(), Qt::LeftButton);
    QVERIFY(c.channel.pause);
    QVERIFY(doc->pause_button()->styleSheet().contains("255, 192, 128"));
    QTest::mouseClick(doc->pause_button(), Qt::LeftButton);
    QVERIFY(!c.channel.pause);
    QVERIFY(doc->pause_button()->styleSheet().isEmpty());
    QTest::mouseClick(doc->findChild<QPushButton*>("but_next"), Qt::LeftButton);
    QVERIFY(c.channel.suppress);
    c.channel.suppress = false;

    // The progress figure follows the read cursor, and keeps its text while there is no total.
    c.conversion.text_length = 200;
    c.conversion.read_cursor = 50;
    QTRY_COMPARE(doc->progress_label()->text(), QString(" 25 %"));
    c.conversion.text_length = 0;
    c.conversion.read_cursor = 100;
    QTest::qWait(600);
    QCOMPARE(doc->progress_label()->text(), QString(" 25 %"));

    // A manual change: DEV TOOL, tool 6 in the tool window.
    c.channel.sink = "periferica";
    c.settings.set_text(Slot::check_ena_tc, "1");
    when([&window] { return window.operator_windows().prompt()->isVisible(); }, [&window] {
      QTest::mouseClick(window.operator_windows().prompt()->dev_button(), Qt::LeftButton);
    });
    when([&window] { return window.operator_windows().tool_window()->isVisible(); }, [&window] {
      QTest::mouseClick(window.operator_windows().tool_window()->tool_button(5), Qt::LeftButton);
    });
    c.tools.requested = 3;
    tool_change(c);
    QCOMPARE(c.tools.requested, 6);
    QVERIFY(c.tools.skip_calibration);
    QVERIFY(!window.operator_windows().prompt()->isVisible());

    // Closing the job window stops the run.
    c.conversion.abort = false;
    doc->close();
    QVERIFY(c.conversion.abort);
    QVERIFY(!c.channel.job_window_open);
  }
};

}  // namespace vireo

QTEST_MAIN(vireo::OperatorWindowsTest)
#include "operator_windows_test.moc"
