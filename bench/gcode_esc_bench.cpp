// How long Esc takes to stop a G-code or RML-1 conversion in the desktop program: the first
// megabytes of the shared part program (as a ".nc" document) and a generated RML-1 file are opened
// in turn, a conversion runs (into a program file, then into the output view), and DELAY_MS into it an
// Esc key press is posted to the job window's text view. Printed: the time from posting the key to
// the conversion's return, and how far the reader had got. Runs on the offscreen platform.
// The program-file run copies the document text before it reads and builds the preview of what it
// wrote after it stopped: both are part of the figure. DELAY_MS (default 300) sets when Esc comes.
// Usage: gcode_esc_bench [PART.ngc] [MEGABYTES] [DELAY_MS] (default /work/bench-inputs/part.ngc, 10 MB).
#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <iterator>
#include <optional>
#include <string>

#include "app/gui/document_windows.h"
#include "app/gui/main_window.h"
#include "app/gui/program.h"
#include "bench/desktop_program.h"
#include "app/gui/text_edit.h"
#include "convert/driver.h"

namespace {

using Clock = std::chrono::steady_clock;
double ms_between(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

std::string rml_text(std::size_t bytes) {
  std::string text = "^pa;!MC1;V15;\r\n";
  for (int i = 0; text.size() < bytes; ++i)
    text += "Z" + std::to_string(i % 8000) + "," + std::to_string((i * 7) % 6000) + "," + std::to_string(-(i % 50)) + ";\r\n";
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::filesystem::path part = argc > 1 ? argv[1] : "/work/bench-inputs/part.ngc";
  const auto bytes = static_cast<std::size_t>((argc > 2 ? std::atof(argv[2]) : 10) * 1e6);
  const int delay_ms = argc > 3 ? std::atoi(argv[3]) : 300;
  QTemporaryDir dir;
  const std::filesystem::path home(dir.path().toStdString());
  const std::filesystem::path gcode = home / "part.nc";
  const std::filesystem::path rml = home / "mill.rml";
  {
    std::ifstream in(part, std::ios::binary);
    std::string text(bytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(bytes));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.empty()) {
      std::fprintf(stderr, "%s is not there\n", part.c_str());
      return 1;
    }
    std::ofstream(gcode, std::ios::binary) << text;
    std::ofstream(rml, std::ios::binary) << rml_text(bytes);
  }

  const std::unique_ptr<vireo::Program> started = vireo::bench::start_desktop_program(home, gcode);
  if (!started) return 1;
  vireo::Program& program = *started;
  vireo::MainWindow* window = program.main_window();
  vireo::UiContext& context = program.context();
  // The part lies partly left of and below the origin; shifted clear of it, so that the output view
  // does not stop on a negative coordinate to wait for the operator.
  context.settings.set_text(vireo::Slot::x_gc, "30000");
  context.settings.set_text(vireo::Slot::y_gc, "30000");
  context.settings.set_text(vireo::Slot::ij_mode, "1");  // its arc centres are relative to their start
  std::setvbuf(stdout, nullptr, _IONBF, 0);

  std::optional<Clock::time_point> posted;
  Clock::time_point returned;
  window->set_conversion([&](vireo::UiContext& ctx) {
    vireo::convert_document(ctx);
    returned = Clock::now();
  });
  for (const std::filesystem::path& document : {gcode, rml}) {
    if (document != gcode) window->open_document_file(QString::fromStdString(document.string()));
    for (const auto& [name, command] : {std::pair{"program file", vireo::Command::convert_to_file},
                                        std::pair{"output view", vireo::Command::convert_to_text}}) {
      posted.reset();
      QTimer::singleShot(delay_ms, [&] {
        vireo::DocumentWindow* doc = window->document_window();
        posted = Clock::now();
        QCoreApplication::postEvent(doc->edit(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
      });
      window->run(command);
      const std::string what = document.extension().string() + ", " + name;
      if (!posted) {
        std::printf("%-18s the conversion ended before Esc was pressed\n", what.c_str());
        continue;
      }
      std::printf("%-18s Esc to stop: %.1f ms (read %zu of %zu characters)\n", what.c_str(),
                  ms_between(*posted, returned), context.conversion.read_cursor, context.conversion.text_length);
    }
  }
  return 0;
}
