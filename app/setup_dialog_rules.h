// The rules of the setup dialog `frmsetup` that do not depend on the window system: the periodic
// field check, the pass calculator, the pen-select rule, the tool options, the origin buttons of the
// six formats and the hints of the rotary axes. The dialog's controls hold the 200 slot texts; these
// rules read and change those texts.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "settings/slots.h"

namespace vireo {

struct Context;

// The texts of the dialog's controls, one per slot: check boxes "0" or "1", option groups the index.
using SetupTexts = std::array<std::string, kSlotCount>;

// --- field check
struct FieldCheck {
  int errors = 0;                       // the wrong-field count, for the "total errors=" label
  std::array<bool, kSlotCount> wrong{};  // fields to colour yellow; every other field is white
};

// Checks every field that a rule covers. The `Version` field runs first: when it is "5" or "6" the
// fixed digit count `digits` takes its value at once, and the other rules use it. Commas in numeric,
// code and description fields become points and feed and spindle codes are upper-cased, in the texts
// themselves. Nothing else changes.
FieldCheck check_setup_fields(SetupTexts& texts, int& digits);

// "total errors=" and the count with its leading blank.
std::string error_count_text(int errors);

// --- pass calculator
// `Ultima_passata`: z_fres_v + incr_passate × numero_passate, a positive value with a leading blank.
std::string last_pass_text(const SetupTexts& texts);
// After `Ultima_passata` was edited: the increment that reaches it, Int((last − z_fres_v) /
// numero_passate) from the rightmost `digits` characters of both texts. With no passes the increment
// stays as it was.
std::string pass_increment_for(const SetupTexts& texts, std::string_view last_pass, int digits);

// --- pen-select rule
// The pens, their feeds, descriptions and labels and the HPGL Z fields are used unless the pen-select
// command means a tool change only.
bool pen_fields_enabled(std::string_view atc_hpgl);

// --- tool options, run when the operator clicks the named check box (its text already changed)
void on_tool_option_clicked(SetupTexts& texts, Slot clicked);
// The caption of `f_tauto`: "Auto TC" while checked, else "Manual TC" (shown on light yellow).
std::string_view tool_change_caption(bool automatic);

// --- origin buttons of the format pages
enum class OriginFormat { rml = 0, dxf = 1, excellon = 2, gerber = 3, hpgl = 4, gcode = 5 };
enum class OriginButton { xy_zero, z_zero, reset, preview_paste, display_paste };

// Whether a format page has the button: "Z zero" only for RML-1 and G-code.
bool has_origin_button(OriginFormat format, OriginButton button);
// The X and Y origin slots of a format, and its surface Z slot (RML-1 and G-code).
Slot origin_x_slot(OriginFormat format);
Slot origin_y_slot(OriginFormat format);

// Applies a button to the texts from the last traced program, the point picked in the preview or the
// position display of the context. Results are decimal texts without blanks.
void apply_origin_button(SetupTexts& texts, OriginFormat format, OriginButton button, const Context& context);

// --- rotary axes
enum class RotaryAxis { a, b, c };
// The hint of the rotation-speed label: "Fmotore=" + feed × steps / 2160000.
std::string motor_feed_hint(const SetupTexts& texts, RotaryAxis axis);
// The hint of the steps label: "Ftangenz=" + feed × 6.28 / 21600 + " * Raggio".
std::string tangential_feed_hint(const SetupTexts& texts, RotaryAxis axis);

// --- "invia stringa iniziale": `initstring` straight to the machine; afterwards the lines of other
// producers are dropped until one of them lowers the suppression flag. A failure of the machine link
// is counted and shown by the output channel, as for every line.
void send_initial_string(Context& context, std::string_view initstring);

}  // namespace vireo
