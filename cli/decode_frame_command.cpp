// vireo-cli decode-frame: one captured reply of the controller, as hex pairs, through the serial
// receive handler a byte at a time, and the eight display values it leaves.
#include <chrono>
#include <iostream>
#include <string>
#include <string_view>

#include "base/number_text.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/commands.h"
#include "core/context.h"
#include "link/serial_events.h"

namespace vireo {
namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Appends the bytes of an argument: hex pairs separated by blanks. A word that is not one pair is a
// wrong command line.
void append_hex(std::string_view argument, std::string& bytes) {
  std::size_t i = 0;
  while (i < argument.size()) {
    if (argument[i] == ' ' || argument[i] == '\t') {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < argument.size() && argument[end] != ' ' && argument[end] != '\t') ++end;
    const std::string_view word = argument.substr(i, end - i);
    if (word.size() != 2 || hex_digit(word[0]) < 0 || hex_digit(word[1]) < 0)
      throw UsageError{"not a hex byte: " + std::string(word)};
    bytes += static_cast<char>(hex_digit(word[0]) * 16 + hex_digit(word[1]));
    i = end;
  }
}

}  // namespace

int decode_frame_command(ArgReader& args) {
  CommonOptions options;
  std::string bytes;
  bool any = false;
  while (!args.done()) {
    const std::string_view argument = args.take();
    if (args.take_common(argument, options)) continue;
    if (argument.starts_with("--")) throw UsageError{"unknown option " + std::string(argument)};
    append_hex(argument, bytes);
    any = true;
  }
  if (!any) throw UsageError{"no frame bytes given"};

  CliSession session(options);
  Context& context = session.context();
  if (int status = load_cli_settings(options, context); status != 0) return status;

  const bool wide = context.settings.on(Slot::quote32bit);
  const std::size_t frame = wide ? 26 : 14;
  if (bytes.size() != frame) {
    std::cerr << "vireo-cli decode-frame: " << bytes.size() << " bytes given; a frame is " << frame
              << " bytes with quote32bit " << (wide ? "on" : "off") << "\n";
    return 1;
  }
  SerialEvent event;
  event.time = std::chrono::steady_clock::now();
  FrameOutcome outcome = FrameOutcome::none;
  for (char c : bytes) {
    event.input.assign(1, c);
    outcome = on_comm_event(context, event);
  }
  if (outcome == FrameOutcome::discarded) {
    std::cerr << "vireo-cli decode-frame: frame discarded: an axis value of 2^31 or more (a field starting with "
                 "80 hex or more)\n";
    return 1;
  }
  const DisplayState& d = context.display;
  // The reply's axis, feed and spindle values as the display keeps them, with their leading blank.
  std::cout << "x=" << blank_number_text(d.display_x) << " y=" << blank_number_text(d.display_y)
            << " z=" << blank_number_text(d.display_z) << " f=" << blank_number_text(d.display_f)
            << " s=" << blank_number_text(d.display_s) << " a=" << number_text(d.display_a)
            << " b=" << number_text(d.display_b) << " c=" << number_text(d.display_c) << "\n";
  return 0;
}

}  // namespace vireo
