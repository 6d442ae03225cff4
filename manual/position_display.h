// The position display: its colours, what its digits show, and its commands (copy a value, paste the
// position into the document, read the position from the controller, the emergency stop). The window
// in manual/gui shows it; the values are written by the device encoder and the position feedback.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vireo {

struct Context;
struct DisplayState;

// The colour index of a colour text ("green" 0 ... "white" 6, "bleu" 3); nothing for any other text.
std::optional<int> display_colour_index(std::string_view text);

// The chosen text, when there is one, becomes `colore_display`; its colour index replaces the
// display's (a text outside the table keeps the colour it had); then refresh_display.
void apply_display_colour(Context& context, const std::string* chosen = nullptr);

// While the display is open: every digit gets the colour index and shows its value.
void refresh_display(Context& context);

// The eight values as digits 1 to 8 show them: X, Y, Z, feed, spindle, A, B, C.
std::array<double, 8> display_values(const DisplayState& display);

// Opening the window: the display-open flag set, every value "0". The window then shows them.
void open_display(Context& context);

// What a click on a digit puts on the clipboard: "X", "Y" or "Z" and the fixed-width value, "F" or
// "S" and two digits; nothing for the rotary axes.
std::optional<std::string> digit_clipboard_text(const Context& context, int digit);

// Paste: the active document's selection becomes the move to the displayed position, such as
// X01234Y00567Z00100*. Nothing without a document window.
void paste_position(Context& context);

// SYNC: clears the partial reply and the port's input, then sends the position request "ga1 ge ga0"
// straight to the machine; the lines of an interrupted run are dropped afterwards.
void request_position(Context& context);

}  // namespace vireo
