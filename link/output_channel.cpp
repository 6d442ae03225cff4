#include "link/output_channel.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

#include "core/context.h"
#include "link/device_encoder.h"
#include "core/document_name.h"
#include "base/number_text.h"
#include "base/run_error.h"

namespace vireo {
namespace {

// Lines of a raw file or of a stored program are already encoded; the serial path sends them as they are.

// The ISA cards and the base address each is written at.
struct IsaDevice {
  std::string_view name;
  int base;
};
constexpr IsaDevice kIsaDevices[] = {{"isa300", 0x300}, {"isa310", 0x310}};

const IsaDevice* isa_device(std::string_view device) {
  for (const IsaDevice& isa : kIsaDevices)
    if (device == isa.name) return &isa;
  return nullptr;
}

constexpr std::string_view kNegativeSign = "[Invia:] segno negativo ";
constexpr std::string_view kAxisLetters = "XYZ";
// A bare CR goes into the program file before a line that would start after this many characters.
constexpr std::int32_t kFileColumns = 60;
constexpr char kCarriageReturn = '\r';

// Waits: the pause wait sleeps this long between tests of the flag; while the controller holds DSR
// off, events are waited for briefly every so many readings (so the wait does not spin a core), and
// pumped once per 100000 readings.
constexpr int kPauseWaitMs = 5;
constexpr long kDsrOffReadingsPerPump = 100000;
constexpr long kDsrOffReadingsPerNap = 100;
constexpr int kNapMs = 1;

// Text-view highlighting: the first occurrence of each token in the appended line, in this order.
struct Highlight {
  std::string_view token;
  long length;
  Rgb colour;
};
// The green of the command letters, darkened from the program's light green (137, 205, 0) keeping
// its hue, so it reads on the white view.
constexpr Rgb kCommandColour{82, 123, 0};
constexpr Highlight kHighlights[] = {
    {"F", 3, {255, 43, 1}}, {"S", 3, {0, 105, 230}}, {"R", 1, kCommandColour},  {"zs", 2, kCommandColour},
    {"p", 2, kCommandColour}, {"zl", 2, kCommandColour}, {"P", 2, kCommandColour}, {"g", 2, kCommandColour},
};

enum class Path { serial, isa, dummy, file, text_view };

Path choose_path(const Context& context) {
  const ChannelState& channel = context.channel;
  if (!channel.direct_to_machine) {
    if (channel.sink == sink::kTextView) return Path::text_view;
    if (channel.sink == sink::kFile) return Path::file;
    if (channel.sink != sink::kMachine) return Path::dummy;
  }
  const std::string& device = context.settings.text(Slot::s_periferica);
  if (isa_device(device)) return Path::isa;
  if (device.starts_with("com")) return Path::serial;
  return Path::dummy;
}

// Paces by counting: an empty loop of count + 1 iterations that the compiler has to keep.
void pace(std::int32_t count) {
  [[maybe_unused]] volatile std::int64_t tick = 0;
  for (std::int64_t i = 0; i <= count; ++i) tick = i;
}

void count_negative_sign(Context& context) {
  ChannelState& channel = context.channel;
  // Lines are a few characters long: a plain scan, not a library search.
  const std::string& line = channel.line;
  const auto holds = [&](char c) { return std::find(line.begin(), line.end(), c) != line.end(); };
  if (!holds('-')) return;
  channel.error_text = kNegativeSign;
  for (char axis : kAxisLetters) {
    if (!holds(axis)) continue;
    channel.error_text += axis;
    ++channel.error_count;
  }
  context.host->set_error_icon(true);
  update_status(context);
}

// Reads DSR until it has been on for the DSR delay count of consecutive readings (at least one). The
// emergency flag counts as ready, so an emergency never blocks the line.
void wait_for_ready(Context& context, SerialPort& port) {
  const std::int32_t needed = std::max<std::int32_t>(context.derived.dsr_delay, 1);
  std::int32_t ready = 0;
  long waiting = 0;
  for (;;) {
    if (!port.dsr() && !context.channel.emergency) {
      ready = 0;
      if (++waiting > kDsrOffReadingsPerPump) {
        context.host->pump_events();
        waiting = 0;
      } else if (waiting % kDsrOffReadingsPerNap == 0) {
        context.host->wait_events(kNapMs);
      }
    } else if (++ready >= needed) {
      return;
    }
  }
}

void send_serial(Context& context) {
  ChannelState& channel = context.channel;
  const bool encoded_already =
      channel.document_extension == kRawExtension || channel.document_extension == kProgramExtension;
  if (!encoded_already) encode_line(context);
  if (channel.line.empty()) return;
  SerialPort* port = context.serial;
  if (!port || !port->is_open()) throw RunError(err::kPortNotOpen, "The device is not open");
  // The events pumped while DSR is off may run a command that emits its own line through the channel;
  // this line is delivered from its own copy so that it stays whole.
  const std::string outgoing = channel.line;
  for (char c : outgoing) {
    wait_for_ready(context, *port);
    if (channel.emergency) continue;
    if (!port->write_char(c)) throw RunError(port->error_number, port->error_text);
  }
}

void send_isa(Context& context) {
  encode_line(context);
  const std::string& line = context.channel.line;
  if (line.empty()) return;
  if (!context.isa) throw RunError(err::kLibraryLoad, "Error in loading DLL: no ISA card driver");
  const int base = isa_device(context.settings.text(Slot::s_periferica))->base;
  for (char c : line) {
    context.isa->write(base, static_cast<unsigned char>(c));
    pace(context.derived.dsr_delay);
  }
}

void send_dummy(Context& context) {
  encode_line(context);
  for (std::size_t i = 0; i < context.channel.line.size(); ++i) pace(context.derived.dsr_delay);
}

void write_file(Context& context) {
  ChannelState& channel = context.channel;
  if (!channel.output_started) {
    channel.program_file.open(channel.program_file_name);
    channel.output_started = true;
    channel.file_column = 0;
  }
  if (channel.file_column > kFileColumns) {
    channel.program_file.write(std::string_view(&kCarriageReturn, 1));
    channel.file_column = 0;
  }
  encode_line(context);
  channel.program_file.write(channel.line);
  channel.file_column += static_cast<std::int32_t>(channel.line.size());
}

void hand_on(Context& context, std::string_view line) {
  if (context.channel.listener) context.channel.listener->take(line);
}

TextView& output_view(Context& context) {
  ChannelState& channel = context.channel;
  TextView* view = channel.output_started ? context.host->output_view() : nullptr;
  if (!view) view = context.host->show_output_window(channel.program_file_name);
  if (!view) throw RunError(err::kObjectNotSet, "Object variable or With block variable not set: no output window");
  if (!channel.output_started) {
    view->set_text("");
    channel.output_started = true;
  }
  return *view;
}

// The place of a token in the highlight table, found while compiling.
consteval std::size_t highlight_index(std::string_view token) {
  std::size_t h = 0;
  while (kHighlights[h].token != token) ++h;
  return h;
}

// Colours the first occurrence of each token in the line just appended at `start`, in the order of
// the table. The view holds the line as it was appended, so the tokens are looked for in the line
// itself, all in one pass over it.
void highlight(TextView& view, std::string_view line, long start) {
  std::size_t first[std::size(kHighlights)];
  unsigned seen = 0;  // bit h: token h of the table was met
  const auto found = [&](std::size_t h, std::size_t i) {
    if (seen & (1u << h)) return;
    seen |= 1u << h;
    first[h] = i;
  };
  for (std::size_t i = 0; i < line.size(); ++i) {
    switch (line[i]) {
      case 'F': found(highlight_index("F"), i); break;
      case 'S': found(highlight_index("S"), i); break;
      case 'R': found(highlight_index("R"), i); break;
      case 'p': found(highlight_index("p"), i); break;
      case 'P': found(highlight_index("P"), i); break;
      case 'g': found(highlight_index("g"), i); break;
      case 'z': {
        const char next = i + 1 < line.size() ? line[i + 1] : '\0';
        if (next == 's') found(highlight_index("zs"), i);
        if (next == 'l') found(highlight_index("zl"), i);
        break;
      }
      default: break;
    }
  }
  for (unsigned left = seen; left != 0; left &= left - 1) {
    const auto h = static_cast<std::size_t>(std::countr_zero(left));
    view.colour(start + static_cast<long>(first[h]), kHighlights[h].length, kHighlights[h].colour);
  }
}

void show_in_text_view(Context& context) {
  ChannelState& channel = context.channel;
  TextView& view = output_view(context);
  encode_line(context);
  const long size = static_cast<long>(channel.line.size());
  view.append(channel.line);
  hand_on(context, channel.line);
  highlight(view, channel.line, view.length() - size);
  pace(context.derived.dsr_delay);
  update_status(context);
  channel.line.clear();
  if (channel.error_text.empty()) return;
  // A doubtful line pauses the run until the operator releases it.
  context.host->set_job_control_enabled(JobControl::text_view, true);
  channel.pause = true;
  context.host->set_pause_button_alert(true);
  channel.error_text.clear();
}

void deliver(Context& context, Path path) {
  switch (path) {
    case Path::text_view:
      show_in_text_view(context);
      return;
    case Path::serial:
      send_serial(context);
      break;
    case Path::isa:
      send_isa(context);
      break;
    case Path::dummy:
      send_dummy(context);
      break;
    case Path::file:
      write_file(context);
      break;
  }
  hand_on(context, context.channel.line);
  // The status bar is not kept while a program file is written.
  if (path != Path::file) update_status(context);
  context.channel.line.clear();
}

// A machine that stops taking characters (a port that is not open, or fails with a device I/O error)
// is lost for the run: the run is stopped as by its stop button, and the lines it still emits while
// stopping (the closing sequence) are not tried on the dead port. The next run, which clears the
// abort flag, tries again. `failure` is the error number of the line's delivery, 0 before it. Returns
// true when the line is to be dropped.
bool lost_machine(Context& context, Path path, int failure) {
  ChannelState& channel = context.channel;
  if (!context.conversion.abort) channel.machine_lost = false;
  if (path != Path::serial) return false;
  if (failure == err::kPortNotOpen || failure == err::kDeviceIo) {
    channel.machine_lost = true;
    context.conversion.abort = true;
  }
  return channel.machine_lost;
}

}  // namespace

void emit_line(Context& context, std::string_view line) {
  ChannelState& channel = context.channel;
  // Appended to the emptied buffer, which keeps its storage from line to line.
  channel.line.clear();
  channel.line.append(line);
  // A stop during the pause ends the wait: the line is dropped and the run closes its program.
  while (channel.pause && !context.conversion.abort) context.host->wait_events(kPauseWaitMs);
  const Path path = choose_path(context);
  if (channel.pause || channel.suppress || lost_machine(context, path, 0)) return;
  try {
    count_negative_sign(context);
    deliver(context, path);
  } catch (const RunError& error) {
    channel.error_text = error.message("[Invia:]", kStatusTextLayout);
    channel.error_number = error.number();
    ++channel.error_count;
    update_status(context);
    lost_machine(context, path, error.number());
  }
}

namespace {

// The parts put together in `buffer` when they fit, else in `spill`. The status bar is rewritten for
// every line a run delivers, so its texts are not made on the heap.
template <std::size_t N>
std::string_view joined(char (&buffer)[N], std::string& spill, std::initializer_list<std::string_view> parts) {
  std::size_t size = 0;
  for (std::string_view part : parts) size += part.size();
  if (size > N) {
    for (std::string_view part : parts) spill.append(part);
    return spill;
  }
  char* out = buffer;
  for (std::string_view part : parts) out = std::copy(part.begin(), part.end(), out);
  return {buffer, size};
}

}  // namespace

void update_status(Context& context) {
  const ChannelState& channel = context.channel;
  Host& host = *context.host;
  if (!host.has_status_bar() || (!channel.direct_to_machine && channel.sink == sink::kFile)) return;
  // The counter right-aligned in six characters, cut to its last six.
  const std::string counter = number_text(channel.line_counter);
  constexpr std::string_view kBlanks = "      ";
  const std::string_view shown_counter =
      counter.size() >= 6 ? std::string_view(counter).substr(counter.size() - 6) : std::string_view(counter);
  char items[32];
  std::string items_spill;
  host.set_status_panel(1, joined(items, items_spill, {"items: ", kBlanks.substr(shown_counter.size()), shown_counter}));
  host.set_status_panel(2, channel.tool_text);
  host.set_status_panel(3, channel.operation_text);
  host.set_status_panel(4, channel.line);
  host.set_status_panel(5, error_summary(channel));
}

std::string error_summary(const ChannelState& channel) {
  return channel.message_text + channel.error_text + "(tot errors=" + blank_number_text(channel.error_count) + ")";
}

void close_program_file(Context& context) { context.channel.program_file.close(); }

}  // namespace vireo
