// How long Esc takes to stop a drill conversion in the desktop program: the shared drill board is
// opened as the document, a conversion runs (into a program file, the output view, the machine's
// dummy device), and 300 ms into it an Esc key press is posted to the job window's text view.
// Printed: the time from posting the key to the conversion's return (the converter ends the program
// at its next character; a program file is then previewed), and how far the reader had got. Runs on
// the offscreen platform.
// Usage: drill_esc_bench [DRILL_FILE] (default /work/bench-inputs/board.drl).
#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/gui/document_windows.h"
#include "app/gui/main_window.h"
#include "app/gui/program.h"
#include "bench/desktop_program.h"
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

  const std::unique_ptr<vireo::Program> started = vireo::bench::start_desktop_program(home, copy);
  if (!started) return 1;
  vireo::Program& program = *started;
  vireo::MainWindow* window = program.main_window();
  vireo::UiContext& context = program.context();

  std::optional<Clock::time_point> posted;
  Clock::time_point returned;
  // Esc is pressed 300 ms after the conversion began, from a timer the run's event pump serves.
  window->set_conversion([&](vireo::UiContext& ctx) {
    QTimer::singleShot(300, [&] {
      posted = Clock::now();
      QCoreApplication::postEvent(window->document_window()->edit(),
                                  new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    vireo::convert_document(ctx);
    returned = Clock::now();
  });
  // The program file twice: the first run also creates the preview window for the first time.
  const std::pair<const char*, vireo::Command> runs[] = {{"program file", vireo::Command::convert_to_file},
                                                         {"program file", vireo::Command::convert_to_file},
                                                         {"output view", vireo::Command::convert_to_text},
                                                         {"machine", vireo::Command::convert_to_machine}};
  for (const auto& [name, command] : runs) {
    posted.reset();
    window->run(command);
    if (!posted) {
      std::printf("%-13s the conversion ended before Esc was pressed\n", name);
      continue;
    }
    std::printf("%-13s Esc to the end of the conversion: %6.1f ms (read %zu of %zu characters)%s\n", name,
                ms_between(*posted, returned), context.conversion.read_cursor,
                context.conversion.text_length, command == vireo::Command::convert_to_file ? "; preview included" : "");
  }
  return 0;
}
