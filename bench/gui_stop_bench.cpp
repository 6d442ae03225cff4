// How long Esc takes to stop a conversion in the desktop program: the shared drawing and plot inputs
// (or the files named) are opened as the document and converted to the machine's dummy device and
// into the output view; once each run has read 100 000 characters an Esc key press is posted to the
// job window, and the time from that press to the end of the conversion is printed in milliseconds.
// Offscreen.
// Usage: gui_stop_bench [FILE...] (default /work/bench-inputs/draw.dxf and plot.hpgl).
#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/gui/document_windows.h"
#include "app/gui/main_window.h"
#include "app/gui/program.h"
#include "bench/desktop_program.h"
#include "convert/driver.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kReadBeforeEsc = 100000;

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is measured
  QApplication app(argc, argv);
  std::vector<std::string> inputs(argv + 1, argv + argc);
  if (inputs.empty()) inputs = {"/work/bench-inputs/draw.dxf", "/work/bench-inputs/plot.hpgl"};
  QTemporaryDir dir;
  const std::filesystem::path home(dir.path().toStdString());

  for (const std::string& input : inputs) {
    // The plot's ".hpgl" is outside the extension table: a copy named ".plt" is opened.
    std::filesystem::path source = home / std::filesystem::path(input).filename();
    if (source.extension() == ".hpgl") source.replace_extension(".plt");
    std::filesystem::copy_file(input, source, std::filesystem::copy_options::overwrite_existing);

    const std::unique_ptr<vireo::Program> started = vireo::bench::start_desktop_program(home, source);
    if (!started) return 1;
    vireo::Program& program = *started;
    vireo::MainWindow* window = program.main_window();
    Clock::time_point pressed{};
    double stopped_ms = -1;
    double seen_ms = -1;  // when the stop request was first seen by an event turn
    std::size_t read = 0, length = 0;
    window->set_conversion([&](vireo::UiContext& context) {
      // The press comes once the converter reads (100 000 characters in): the driver's preparation
      // of a large document before that is not part of the stop.
      QTimer poll;
      QObject::connect(&poll, &QTimer::timeout, [&] {
        if (pressed != Clock::time_point{}) {
          if (context.conversion.abort && seen_ms < 0)
            seen_ms = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
          return;
        }
        if (context.conversion.read_cursor < kReadBeforeEsc) return;
        pressed = Clock::now();
        QCoreApplication::postEvent(window->document_window(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
      });
      poll.start(1);
      pressed = {};
      seen_ms = -1;
      vireo::convert_document(context);
      stopped_ms = pressed == Clock::time_point{} ? -1 : std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
      read = context.conversion.read_cursor;
      length = context.conversion.text_length;
    });
    for (const auto& [command, name] : {std::pair{vireo::Command::convert_to_machine, "to the machine (dummy)"},
                                        std::pair{vireo::Command::convert_to_text, "into the output view"}}) {
      window->run(command);
      if (stopped_ms < 0) std::printf("%s, %s: ended before the Esc\n", source.filename().c_str(), name);
      else
        std::printf("%s, %s: stopped %.1f ms after the Esc (stop request raised within %.1f ms), %zu of %zu "
                    "characters read\n",
                    source.filename().c_str(), name, stopped_ms, seen_ms, read, length);
      QCoreApplication::processEvents();
    }
  }
  return 0;
}
