// How long Esc takes to stop a drill conversion in the desktop program: the shared drill board is
// opened as the document, a conversion runs (into a program file, then into the output view), and
// 300 ms into it an Esc key press is posted to the job window's text view. Printed: the time from
// posting the key to the conversion's return (the converter ends the program at its next character),
// and how far the reader had got. Runs on the offscreen platform.
// Usage: drill_esc_bench [DRILL_FILE] (default /work/bench-inputs/board.drl).
#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/gui/document_windows.h"
#include "app/gui/main_window.h"
#include "app/gui/program.h"
#include "app/gui/text_edit.h"
#include "convert/driver.h"

namespace {

using Clock = std::chrono::steady_clock;
double ms_between(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::filesystem::path source = argc > 1 ? argv[1] : "/work/bench-inputs/board.drl";
  QTemporaryDir dir;
  const std::filesystem::path home(dir.path().toStdString());
  const std::filesystem::path copy = home / "board.drl";
  std::filesystem::copy_file(source, copy);

  vireo::StartupOptions options;
  options.data_directory = home;
  options.placement.ini_file = QString::fromStdString((home / "placement.ini").string());
  options.arguments = {copy.string()};
  options.splash = false;
  vireo::Program program(std::move(options));
  if (!program.start()) {
    std::fprintf(stderr, "the program did not start\n");
    return 1;
  }
  vireo::MainWindow* window = program.main_window();
  vireo::UiContext& context = program.context();

  std::optional<Clock::time_point> posted;
  Clock::time_point returned;
  window->set_conversion([&](vireo::UiContext& ctx) {
    vireo::convert_document(ctx);
    returned = Clock::now();
  });
  for (const auto& [name, command] : {std::pair{"program file", vireo::Command::convert_to_file},
                                      std::pair{"output view", vireo::Command::convert_to_text}}) {
    posted.reset();
    QTimer::singleShot(300, [&] {
      vireo::DocumentWindow* doc = window->document_window();
      posted = Clock::now();
      QCoreApplication::postEvent(doc->edit(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    window->run(command);
    if (!posted) {
      std::printf("%-13s the conversion ended before Esc was pressed\n", name);
      continue;
    }
    std::printf("%-13s Esc to stop: %.1f ms (read %zu of %zu characters)\n", name, ms_between(*posted, returned),
                context.conversion.read_cursor, context.conversion.text_length);
  }
  return 0;
}
