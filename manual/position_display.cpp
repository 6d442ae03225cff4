#include "manual/position_display.h"

#include "base/command_language.h"
#include "base/number_text.h"
#include "core/context.h"
#include "link/output_channel.h"

namespace vireo {
namespace {

struct ColourName {
  std::string_view text;
  int index;
};
constexpr ColourName kColours[] = {{"green", 0}, {"red", 1},    {"yellow", 2}, {"bleu", 3},
                                   {"cyan", 4},  {"orange", 5}, {"white", 6}};

// The last two characters of the value's text with "00" in front: a feed of 4 gives "04".
std::string two_digits(double code) {
  const std::string padded = "00" + number_text(code);
  return padded.substr(padded.size() - 2);
}

}  // namespace

std::optional<int> display_colour_index(std::string_view text) {
  for (const ColourName& c : kColours)
    if (c.text == text) return c.index;
  return std::nullopt;
}

void apply_display_colour(Context& context, const std::string* chosen) {
  if (chosen) context.settings.set_text(Slot::colore_display, *chosen);
  if (std::optional<int> index = display_colour_index(context.settings.text(Slot::colore_display)))
    context.display.colour = *index;
  refresh_display(context);
}

std::array<double, 8> display_values(const DisplayState& d) {
  return {d.display_x, d.display_y, d.display_z, d.display_f, d.display_s, d.display_a, d.display_b, d.display_c};
}

void refresh_display(Context& context) {
  if (!context.workspace.display_open) return;
  const std::array<double, 8> values = display_values(context.display);
  for (int digit = 1; digit <= 8; ++digit) {
    context.host->set_digit_colour(digit, context.display.colour);
    context.host->show_digit(digit, values[static_cast<std::size_t>(digit - 1)]);
  }
}

void open_display(Context& context) {
  context.workspace.display_open = true;
  DisplayState& d = context.display;
  d.display_x = d.display_y = d.display_z = d.display_f = d.display_s = 0;
  d.display_a = d.display_b = d.display_c = 0;
}

std::optional<std::string> digit_clipboard_text(const Context& context, int digit) {
  const DisplayState& d = context.display;
  const int n = context.derived.digits;
  switch (digit) {
    case digit::kX: return "X" + fw(d.display_x, n);
    case digit::kY: return "Y" + fw(d.display_y, n);
    case digit::kZ: return "Z" + fw(d.display_z, n);
    case digit::kFeed: return "F" + two_digits(d.display_f);
    case digit::kSpindle: return "S" + two_digits(d.display_s);
    default: return std::nullopt;
  }
}

void paste_position(Context& context) {
  TextView* view = context.host->document_view();
  if (!view) return;
  const DisplayState& d = context.display;
  const int n = context.derived.digits;
  view->replace_selection("X" + fw(d.display_x, n) + "Y" + fw(d.display_y, n) + "Z" +
                          fw(d.display_z, n) + "*");
}

void request_position(Context& context) {
  context.receive.rx_count = 0;
  if (context.serial) context.serial->clear_input();
  ChannelState& channel = context.channel;
  channel.suppress = false;
  channel.direct_to_machine = true;
  emit_line(context, cmd::kPositionRequest);
  channel.direct_to_machine = false;
  channel.suppress = true;
}

}  // namespace vireo
