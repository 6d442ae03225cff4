// The preview window over a trace: what it draws and shows, and what the mouse, the keys and its
// buttons do. Runs on the offscreen platform.
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "core/context.h"
#include "preview/gui/preview_window.h"
#include "preview/trace.h"
#include "tests/support/fake_host.h"

namespace vireo {

class PreviewWindowTest : public QObject {
  Q_OBJECT

  static constexpr std::string_view kTwoLevels =
      "Z00800*X01000Y01000*Z01000*X03000*Y03000*Z00800*X01000Y01000*Z01200*X01000Y03000*Z00800*";

  test::FakeHost host;
  Context context{host};

  void load(std::string_view program) {
    set_trace_text(context, std::string(program));
    scan_z_levels(context);
    scan_xy_extent(context);
  }
  void set(Slot slot, std::string text) {
    context.settings.set_text(slot, std::move(text));
    derive_settings(context.settings, context.derived);
  }
  QColor pixel_of_level(const QImage& image, int slot) {
    const Rgb c = level_colour(slot);
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == QColor(c.r, c.g, c.b)) return image.pixelColor(x, y);
    return {};
  }

 private slots:
  void init() {
    context.channel.document_extension = ".gbr";
    set(Slot::Grafica3D, "0");
    context.display.expanded = false;
    context.conversion.abort = false;
  }

  void drawsThePlanAndItsLabels() {
    load(kTwoLevels);
    PreviewWindow window(context);
    window.resize(700, 450);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.draw_plan();
    QCOMPARE(window.windowTitle(), QString("Simulator   tot:5 linee"));
    const QStringList labels = window.label_texts();
    QCOMPARE(labels.at(0), QString("xmin=10"));
    QCOMPARE(labels.at(3), QString("ymax=30"));
    QVERIFY(labels.at(6).startsWith("   scala="));
    QCOMPARE(labels.at(7), QString("Zlevels=2"));
    QCOMPARE(labels.at(8), QString("zmin=8"));
    QCOMPARE(labels.at(9), QString("zmax=12"));
    QCOMPARE(window.picture().size(), window.plan_view()->picture_size());
    // Both levels are drawn in their own colours, and listed with them.
    QVERIFY(pixel_of_level(window.picture(), 0).isValid());
    QVERIFY(pixel_of_level(window.picture(), 1).isValid());
    QCOMPARE(window.level_list()->count(), 2);
    QCOMPARE(window.level_list()->item(0)->text(), QString("1200"));
    QCOMPARE(window.progress()->value(), 100);
    // The first level is selected: its colour shows in the sample, with readable text.
    const Rgb first = level_colour(0);
    QCOMPARE(window.colour_sample()->palette().color(QPalette::Window), QColor(first.r, first.g, first.b));
    QCOMPARE(window.colour_sample()->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(window.colour_sample()->text(), QString("1200"));
    QVERIFY(window.colour_sample()->font().bold());
    window.level_list()->setCurrentRow(1);
    QCOMPARE(window.colour_sample()->text(), QString("1000"));
  }

  void mouseShowsAndClickKeepsThePoint() {
    load(kTwoLevels);
    PreviewWindow window(context);
    window.resize(700, 450);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.draw_plan();
    const PlanScale& scale = window.drawing().scale;
    // The corner at 10 mm / 10 mm lies 50 units in, on the drawing height.
    const int margin = PlanView::kPlanMargin;
    const QPoint corner(static_cast<int>(50 / kTwipsPerPixel + 0.5) + margin,
                        static_cast<int>(scale.height / kTwipsPerPixel) + margin);
    QMouseEvent move(QEvent::MouseMove, corner, window.plan_view()->mapToGlobal(corner), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(window.plan_view(), &move);
    // "X=9.98   Y=10.00": within a pixel of the corner.
    const QStringList parts = QString::fromLatin1(host.panels[5]).split("   ");
    QCOMPARE(parts.size(), 2);
    QVERIFY2(parts[0].startsWith("X=") && std::abs(parts[0].mid(2).toDouble() - 10) < 0.1, host.panels[5].c_str());
    QVERIFY2(parts[1].startsWith("Y=") && std::abs(parts[1].mid(2).toDouble() - 10) < 0.1, host.panels[5].c_str());
    QTest::mouseClick(window.plan_view(), Qt::LeftButton, {}, corner);
    QVERIFY(context.trace.clicked);
    QVERIFY(std::abs(context.trace.clicked_x - 1000) < 20);
  }

  void escapeRaisesTheAbortFlag() {
    load(kTwoLevels);
    PreviewWindow window(context);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(context.conversion.abort);
  }

  void closingWhileDrawingWaitsForTheDrawing() {
    std::string program = "Z00800*X01000Y01000*Z01000*";
    for (int i = 0; i < 40000; ++i) program += "X02000*X01000*";
    load(program);
    QPointer<PreviewWindow> window = new PreviewWindow(context);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    int pumps = 0;
    host.on_pump = [&] {
      if (++pumps == 2) window->close();
    };
    window->draw_plan();
    host.on_pump = nullptr;
    QVERIFY(window);  // still there: the drawing ended first
    QVERIFY(window->drawing().aborted);
    QTRY_VERIFY(window.isNull());
  }

  void lineWidthButtons() {
    context.channel.document_extension = ".drl";
    load(kTwoLevels);
    PreviewWindow window(context);
    QCOMPARE(window.line_width(), 3);
    QVERIFY(window.width_button(3)->isChecked());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.width_button(1), Qt::LeftButton);
    QCOMPARE(window.line_width(), 1);
    QVERIFY(window.width_button(1)->isChecked());
    QVERIFY(!window.width_button(3)->isChecked());
    QCOMPARE(window.windowTitle(), QString("Simulator   tot:5 linee"));
  }

  void view3dWithItsModes() {
    load(kTwoLevels);
    PreviewWindow plain(context);
    QVERIFY(!plain.toggle_3d()->isEnabled());

    set(Slot::Grafica3D, "1");
    PreviewWindow window(context);
    window.resize(700, 450);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.draw_plan();
    // One point per command, in mm.
    QCOMPARE(window.view3d()->points().size(), std::size_t{10});
    QCOMPARE(window.view3d()->points()[3].x, 30.0);
    QCOMPARE(window.view3d()->points()[3].z, 10.0);
    const QColor active = QColor(PreviewWindow::kActiveMode.r, PreviewWindow::kActiveMode.g, PreviewWindow::kActiveMode.b);
    QCOMPARE(window.mode_button(TrackMode::rotate)->palette().color(QPalette::Button), active);
    QTest::mouseClick(window.mode_button(TrackMode::zoom), Qt::LeftButton);
    QCOMPARE(window.view3d()->view().mode(), TrackMode::zoom);
    QCOMPARE(window.mode_button(TrackMode::zoom)->palette().color(QPalette::Button), active);
    QVERIFY(window.mode_button(TrackMode::rotate)->palette().color(QPalette::Button) != active);

    QCOMPARE(window.toggle_3d()->text(), QString("3D"));
    QTest::mouseClick(window.toggle_3d(), Qt::LeftButton);
    QCOMPARE(window.toggle_3d()->text(), QString("2D"));
    QVERIFY(window.view3d()->isVisible());
    QCOMPARE(window.toggle_3d()->palette().color(QPalette::Button), QColor(PreviewWindow::kShowing3d.r, PreviewWindow::kShowing3d.g, PreviewWindow::kShowing3d.b));
    // A drag in zoom mode enlarges the model.
    const double zoom = window.view3d()->view().zoom();
    QTest::mousePress(window.view3d(), Qt::LeftButton, {}, QPoint(100, 200));
    QMouseEvent move(QEvent::MouseMove, QPointF(100, 150), window.view3d()->mapToGlobal(QPointF(100, 150)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.view3d(), &move);
    QVERIFY(window.view3d()->view().zoom() > zoom);
    const QImage shot = window.view3d()->grab().toImage();
    const Rgb blue = palette_colour(1);
    bool drawn = false;
    for (int y = 0; y < shot.height() && !drawn; ++y)
      for (int x = 0; x < shot.width() && !drawn; ++x) drawn = shot.pixelColor(x, y) == QColor(blue.r, blue.g, blue.b);
    QVERIFY(drawn);
    QTest::mouseClick(window.toggle_3d(), Qt::LeftButton);
    QCOMPARE(window.toggle_3d()->text(), QString("3D"));
    QVERIFY(window.plan_view()->isVisible());
  }
};

}  // namespace vireo

QTEST_MAIN(vireo::PreviewWindowTest)
#include "preview_window_test.moc"
