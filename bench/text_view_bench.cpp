// The document window's text view with a large document: loading it, reading it whole, walking
// through it by selection as the source reader does outside the file sink, searching it, and the cost
// of the event pump the reader calls once per character. Also the output window's growth as the text
// sink appends and colours lines. Runs on the offscreen platform.
// Usage: text_view_bench [MEGABYTES] (default 50).
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/gui/qt_host.h"
#include "app/gui/text_edit.h"
#include "base/number_text.h"

namespace {

using Clock = std::chrono::steady_clock;
double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// G-code lines of about 24 characters, CR LF ended, as a large milling job.
std::string document(std::size_t bytes) {
  std::string text;
  text.reserve(bytes + 64);
  long n = 0;
  while (text.size() < bytes) {
    ++n;
    text += "N" + std::to_string(n) + " G01 X" + std::to_string(n % 9973) + " Y" + std::to_string(n % 7919) + "\r\n";
  }
  text += "M30\r\n";
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 50;
  const std::string text = document(static_cast<std::size_t>(megabytes * 1024 * 1024));

  vireo::TextEdit edit;
  edit.resize(800, 600);
  edit.show();
  vireo::QtTextView view(&edit);

  // The longest stretch without the event loop while loading.
  double longest_gap = 0;
  auto last = Clock::now();
  view.on_load_progress = [&](int) {
    longest_gap = std::max(longest_gap, seconds_since(last));
    last = Clock::now();
  };
  auto start = Clock::now();
  view.set_text(text);
  QApplication::processEvents();
  const double load = seconds_since(start);
  std::printf("load (set_text + first paint):   %.3f s, events served at least every %.3f s\n", load, longest_gap);

  start = Clock::now();
  const std::string whole = view.text();
  const double first_read = seconds_since(start);
  start = Clock::now();
  const std::string again = view.text();
  const double cached_read = seconds_since(start);

  start = Clock::now();
  const long found = view.find("M30", 0, 1000000000, {.whole_word = false, .match_case = true});
  const long line = view.line_of(found);
  const double search = seconds_since(start);

  // The source reader outside the file sink: select one character at the cursor and take it.
  constexpr long kWalked = 200000;
  vireo::QtHost host;
  start = Clock::now();
  long sum = 0;
  for (long at = 0; at < kWalked; ++at) {
    host.pump_events();
    view.set_selection_start(at);
    view.set_selection_length(1);
    sum += static_cast<unsigned char>(view.selected_text()[0]);
  }
  const double walk = seconds_since(start);

  constexpr long kPumps = 20000000;
  start = Clock::now();
  for (long i = 0; i < kPumps; ++i) host.pump_events();
  const double pump = seconds_since(start);

  // The text sink: lines appended at the end, each coloured where its feed code stands in the line.
  vireo::TextEdit output_edit;
  output_edit.resize(600, 400);
  output_edit.show();
  vireo::QtTextView output(&output_edit);
  output.set_row_per_append(true);  // as the output window has it
  const long kLines = argc > 2 ? std::atol(argv[2]) : 20000;
  start = Clock::now();
  for (long i = 0; i < kLines; ++i) {
    const std::string line_text = "F04X" + vireo::fw(static_cast<double>(i % 50000), 5) + "Y" + vireo::fw(static_cast<double>(i % 30000), 5) + "*";
    const long at = output.length();
    output.set_selection_start(at);
    output.set_selection_length(static_cast<long>(line_text.size()));
    output.replace_selection(line_text);
    output.set_selection_start(at);
    output.set_selection_length(3);
    output.set_selection_color({255, 43, 1});
    host.pump_events();
  }
  QApplication::processEvents();
  const double append = seconds_since(start);

  std::printf("document: %.1f MB, %ld characters in the view, %ld lines\n", static_cast<double>(text.size()) / 1048576.0,
              view.length(), view.line_of(view.length()) + 1);
  std::printf("text(), first call:              %.3f s (%zu bytes)\n", first_read, whole.size());
  std::printf("text(), again (kept):            %.6f s\n", cached_read);
  std::printf("find of the last line + line_of: %.3f s (line %ld)\n", search, line + 1);
  std::printf("walk by selection:               %.2f us per character (%ld characters, checksum %ld)\n",
              walk / kWalked * 1e6, kWalked, sum);
  std::printf("pump_events:                     %.1f ns per call, %ld real pumps in %.3f s\n", pump / kPumps * 1e9,
              host.processed(), pump);
  std::printf("text sink, %ld coloured lines:  %.3f s (%.1f us per line), %ld characters\n", kLines, append,
              append / kLines * 1e6, output.length());
  return again.size() == whole.size() ? 0 : 1;
}
