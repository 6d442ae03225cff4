// How quickly Esc stops a run in the desktop program: a generated Gerber board is converted into the
// output window (the slowest sink, so the run is still going), Esc is pressed on the main window's
// menu bar (away from the job window) and the time from the key to the end of the run is printed,
// for several presses. Runs on the offscreen platform.
// Usage: esc_anywhere_bench [MEGABYTES] (default 2).
#include <QApplication>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "app/gui/main_window.h"
#include "app/gui/program.h"
#include "bench/desktop_program.h"
#include "bench/gerber_board.h"
#include "convert/driver.h"

namespace {
using Clock = std::chrono::steady_clock;
}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 2;
  QTemporaryDir dir;
  const std::filesystem::path home(dir.path().toStdString());
  const std::filesystem::path source = home / "board.gtl";
  std::ofstream(source, std::ios::binary) << vireo::bench::generate_board(static_cast<std::size_t>(megabytes * 1e6));

  const std::unique_ptr<vireo::Program> started = vireo::bench::start_desktop_program(home, source);
  if (!started) return 1;
  vireo::Program& program = *started;
  vireo::MainWindow* window = program.main_window();
  // Keys reach the window the operator works in: the main window is the active one.
  window->activateWindow();
  if (!QTest::qWaitForWindowActive(window)) {
    std::fprintf(stderr, "the main window did not become active\n");
    return 1;
  }
  Clock::time_point pressed;
  double stopped_after = -1;
  window->set_conversion([&](vireo::UiContext& context) {
    QTimer::singleShot(300, window, [&] {
      pressed = Clock::now();
      QTest::keyClick(window->menuBar(), Qt::Key_Escape);
    });
    vireo::convert_document(context);
    if (pressed != Clock::time_point{}) stopped_after = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
  });
  std::vector<double> delays;
  for (int run = 0; run < 5; ++run) {
    pressed = {};
    stopped_after = -1;
    window->run(vireo::Command::convert_to_text);
    if (stopped_after < 0) {
      std::fprintf(stderr, "the run ended before Esc was pressed: use a larger board\n");
      return 1;
    }
    delays.push_back(stopped_after);
  }
  std::sort(delays.begin(), delays.end());
  std::printf("Esc to the end of a conversion into the output window, 5 presses: best %.1f ms, median %.1f ms, worst %.1f ms\n",
              delays.front(), delays[2], delays.back());
  return 0;
}
