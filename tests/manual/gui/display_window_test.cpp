// The position display window: its digits, the copy on click, the emergency lamp, the size toggle and
// Esc. Runs on the offscreen platform.
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QtTest>

#include "core/context.h"
#include "lumen/aff.h"
#include "manual/gui/display_window.h"
#include "tests/support/fake_host.h"

namespace vireo {

class DisplayWindowTest : public QObject {
  Q_OBJECT

  test::FakeHost host;
  Context context{host};

 private slots:
  void init() {
    context.settings = SettingsRecord{};
    derive_settings(context.settings, context.derived);
    context.channel.emergency = false;
    context.conversion.abort = false;
    context.display = DisplayState{};
    context.workspace.display_open = false;
  }

  void opening_builds_the_eight_readouts() {
    context.display.display_x = 1234;
    context.display.colour = 2;
    DisplayWindow window(context);
    QVERIFY(context.workspace.display_open);
    QCOMPARE(context.display.display_x, 0);
    const int counts[] = {6, 6, 6, 2, 2, 5, 5, 5};
    const char* tips[] = {"X axis (centesimi)", "Y axis (centesimi)", "Z axis (centesimi)", "Feed(mm/sec)",
                          "Speed Spindle", "A axis (centesimi di grado)", "B axis (centesimi di grado)",
                          "C axis (centesimi di grado)"};
    for (int d = 1; d <= 8; ++d) {
      QCOMPARE(window.digit(d)->Nb_Digit(), counts[d - 1]);
      QCOMPARE(window.digit(d)->toolTip(), QString::fromLatin1(tips[d - 1]));
      QCOMPARE(window.digit(d)->glyphs().front(), 2 * 11);  // zero, in the colour of the setting
    }
    window.show_digit(1, -42);
    QCOMPARE(window.digit(1)->glyphs(), (std::vector<int>{32, 22, 22, 22, 26, 24}));
    QCOMPARE(window.emergency_button()->toolTip(), QStringLiteral("Emergency Exit"));
    QCOMPARE(window.sync_button()->toolTip(), QStringLiteral("sincronizza il display con i display del controller"));
  }

  void a_click_on_the_digits_copies_the_value() {
    DisplayWindow window(context);
    context.display.display_x = 1234;
    context.display.display_s = 5;
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::mouseClick(window.digit(1), Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("X01234"));
    QTest::mouseClick(window.digit(5), Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("S05"));
    QTest::mouseClick(window.digit(6), Qt::LeftButton);  // the rotary axes copy nothing
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("S05"));
  }

  void the_emergency_key_blinks_until_reset() {
    DisplayWindow window(context);
    const QColor dark(128, 0, 0), lit(255, 0, 0);
    QCOMPARE(window.lamp_colour(), lit);
    window.emergency_button()->click();
    QVERIFY(context.channel.emergency);
    QCOMPARE(window.lamp_colour(), dark);
    QVERIFY(window.lamp_timer().isActive());
    QMetaObject::invokeMethod(&window.lamp_timer(), "timeout");
    QCOMPARE(window.lamp_colour(), lit);
    window.emergency_button()->click();  // twice: still in emergency
    QVERIFY(context.channel.emergency);
    QMetaObject::invokeMethod(&window.lamp_timer(), "timeout");
    QCOMPARE(window.lamp_colour(), lit);
    window.reset_button()->click();
    QVERIFY(!context.channel.emergency);
    QCOMPARE(window.lamp_colour(), lit);
    QVERIFY(!window.lamp_timer().isActive());
  }

  void escape_stops_the_run() {
    DisplayWindow window(context);
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(context.conversion.abort);
  }
};

}  // namespace vireo

QTEST_MAIN(vireo::DisplayWindowTest)
#include "display_window_test.moc"
