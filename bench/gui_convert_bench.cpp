// The desktop program converting the generated Gerber board: the board is opened as the document, the
// conversion command runs through the Qt host (whose event pump serves the windows while the run
// reads, and whose status bar shows the channel's texts), and the input rate is printed in MB/s with
// the headless library figure of the same board and sink beside it. Runs on the offscreen platform.
// Usage: gui_convert_bench [MEGABYTES] [file|rtf|machine] (default 24 MB into a program file; "rtf"
// converts into the output view, "machine" to the dummy device unpaced, with the position display open).
#include <QApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "app/gui/main_window.h"
#include "app/gui/program.h"
#include "bench/desktop_program.h"
#include "core/memory_text_view.h"
#include "bench/gerber_board.h"
#include "convert/driver.h"
#include "settings/settings_record.h"

namespace {

using Clock = std::chrono::steady_clock;
double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

class HeadlessHost : public vireo::Host {
 public:
  vireo::MemoryTextView document;
  vireo::MemoryTextView output;
  std::string caption;
  vireo::TextView* document_view() override { return &document; }
  std::string document_caption() override { return caption; }
  vireo::TextView* show_output_window(std::string_view) override { return &output; }
  vireo::TextView* output_view() override { return &output; }
};

double headless_seconds(const std::string& board, const std::filesystem::path& source, std::string_view sink) {
  HeadlessHost host;
  host.document.set_text(board);
  host.output.forget_colours(true);
  host.caption = source.string();
  vireo::UiContext context(host);
  context.settings.set_text(vireo::Slot::ritardo_dsr, "0");
  vireo::derive_settings(context.settings, context.derived);
  context.channel.sink = sink;
  const auto start = Clock::now();
  vireo::convert_document(context);
  return seconds_since(start);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 24;
  const std::string_view option = argc > 2 ? argv[2] : "file";
  const std::string_view sink = option == "rtf"       ? vireo::sink::kTextView
                                : option == "machine" ? vireo::sink::kMachine
                                                      : vireo::sink::kFile;
  QTemporaryDir dir;
  const std::filesystem::path home(dir.path().toStdString());
  const std::filesystem::path source = home / "board.gtl";
  const std::string board = vireo::bench::generate_board(static_cast<std::size_t>(megabytes * 1e6));
  std::ofstream(source, std::ios::binary) << board;
  const double mb = static_cast<double>(board.size()) / 1e6;

  double headless = 1e9;
  for (int run = 0; run < 3; ++run) headless = std::min(headless, headless_seconds(board, source, sink));

  // The dummy device takes the characters unpaced, as in the headless run.
  const std::unique_ptr<vireo::Program> started = vireo::bench::start_desktop_program(
      home, source, [](vireo::SettingsRecord& settings) { settings.set_text(vireo::Slot::ritardo_dsr, "0"); });
  if (!started) return 1;
  vireo::Program& program = *started;
  vireo::MainWindow* window = program.main_window();
  // The timed driver run includes what the program does after writing the program file: loading its
  // trace and opening the preview window (the headless run has no preview); into the output view, it
  // includes putting the last lines there, which the view does when events are next processed.
  double gui = 1e9;
  window->set_conversion([&gui, sink](vireo::UiContext& context) {
    const auto start = Clock::now();
    vireo::convert_document(context);
    if (sink == vireo::sink::kTextView) QCoreApplication::processEvents();
    gui = std::min(gui, seconds_since(start));
  });
  const vireo::Command command = sink == vireo::sink::kTextView ? vireo::Command::convert_to_text
                                 : sink == vireo::sink::kMachine ? vireo::Command::convert_to_machine
                                                                 : vireo::Command::convert_to_file;
  if (sink == vireo::sink::kMachine && !window->tool_sub_window(vireo::ToolWindow::display))
    window->toggle_tool_window(vireo::ToolWindow::display);
  for (int run = 0; run < 3; ++run) window->run(command);
  if (program.context().channel.error_count != 0) {
    std::fprintf(stderr, "conversion failed: %s\n", program.context().channel.error_text.c_str());
    return 1;
  }
  std::printf("input: %.1f MB of Gerber\n", mb);
  const std::string sink_name = std::string(option) + " sink:";
  std::printf("headless library, %-13s %6.1f MB/s (%.3f s, best of 3)\n", sink_name.c_str(), mb / headless, headless);
  std::printf("desktop program,  %-13s %6.1f MB/s (%.3f s, best of 3), %.2f x the headless time\n", sink_name.c_str(),
              mb / gui, gui, gui / headless);
  return 0;
}
