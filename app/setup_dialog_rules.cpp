#include "app/setup_dialog_rules.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "base/number_text.h"
#include "core/context.h"
#include "link/output_channel.h"

namespace vireo {
namespace {

enum class Rule { feed_code, spindle_code, unsigned_number, signed_number, negative_number, decimal, description };

// A field's length limit: a fixed count, or the digit count N plus 0 or 1.
struct Limit {
  int fixed = 0;        // used when above 0
  int beyond_digits = 0;
  int of(int digits) const { return fixed > 0 ? fixed : digits + beyond_digits; }
};
constexpr Limit kN{0, 0}, kN1{0, 1};
constexpr Limit chars(int n) { return Limit{n, 0}; }

struct FieldRule {
  int slot;
  Rule rule;
  Limit limit;
};

void add(std::vector<FieldRule>& rules, Rule rule, Limit limit, std::initializer_list<Slot> slots) {
  for (Slot s : slots) rules.push_back({slot_index(s), rule, limit});
}
void add_array(std::vector<FieldRule>& rules, Rule rule, Limit limit, std::initializer_list<Slot> arrays) {
  for (Slot s : arrays)
    for (int i = 0; i < 8; ++i) rules.push_back({slot_index(s, i), rule, limit});
}

std::vector<FieldRule> build_rules() {
  using S = Slot;
  std::vector<FieldRule> r;
  add(r, Rule::feed_code, {}, {S::maxv_modela, S::maxv_gc, S::vel_av, S::vel_rit, S::vel_rap, S::fsensor});
  add_array(r, Rule::feed_code, {}, {S::feed});
  add(r, Rule::spindle_code, {}, {S::vel_mand});
  add_array(r, Rule::spindle_code, {}, {S::speed});
  add(r, Rule::unsigned_number, kN,
      {S::x_tmanual, S::y_tmanual, S::z_tmanual, S::xsensor, S::ysensor, S::zsensor_max, S::z_insu, S::zsuperf_hp,
       S::z_superf, S::incremento_progressivo, S::zsensor_offset, S::numero_passate, S::incr_passate,
       S::Step_giro_A, S::Step_giro_B, S::Step_giro_C});
  add_array(r, Rule::unsigned_number, kN, {S::xatc, S::yatc, S::zatc_up, S::zatc_dw});
  add(r, Rule::unsigned_number, chars(10), {S::ritardo_dsr});
  add(r, Rule::unsigned_number, chars(3), {S::vel_entrata});
  add(r, Rule::unsigned_number, chars(6), {S::Feed_A, S::Feed_B, S::Feed_C});
  add(r, Rule::unsigned_number, chars(4), {S::mem_offset_trovacentro, S::memz_trovacent});
  add(r, Rule::signed_number, kN1, {S::z_fres_v});
  add_array(r, Rule::signed_number, kN1, {S::pen});
  add(r, Rule::signed_number, chars(8),
      {S::x_gc, S::y_gc, S::z_gc, S::x_rol, S::y_rol, S::z_roland, S::x_hp, S::y_hp, S::x_dxf, S::y_dxf,
       S::x_excellon, S::y_excellon, S::x_gerber, S::y_gerber});
  add(r, Rule::negative_number, kN1, {S::z_iniz_v, S::ziniz_hp});
  add(r, Rule::decimal, {},
      {S::gradi_dxf, S::gradi_gc, S::scala_modela, S::scala_dxf, S::scala_excellon, S::scala_gerber, S::scala_hpgl,
       S::scala_gc, S::molt_gc, S::correzione_x, S::correzione_y, S::correzione_z, S::correzione_a,
       S::correzione_b, S::correzione_c, S::display_corr_x, S::display_corr_y, S::display_corr_z,
       S::display_corr_a, S::display_corr_b, S::display_corr_c, S::Gradi_lama_C});
  add_array(r, Rule::description, chars(40), {S::descrizione1});
  return r;
}

const std::vector<FieldRule>& field_rules() {
  static const std::vector<FieldRule> rules = build_rules();
  return rules;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool all_digits(std::string_view text) { return std::all_of(text.begin(), text.end(), is_digit); }
int length(std::string_view text) { return static_cast<int>(text.size()); }

bool code_passes(std::string& text, char letter) {
  if (text.size() != 3 || !is_digit(text[1]) || !is_digit(text[2])) return false;
  if (text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text[0] == letter;
}

bool passes(std::string& text, const FieldRule& rule, int digits) {
  std::replace(text.begin(), text.end(), ',', '.');
  const int limit = rule.limit.of(digits);
  const std::string_view t = text;
  switch (rule.rule) {
    case Rule::feed_code: return code_passes(text, 'F');
    case Rule::spindle_code: return code_passes(text, 'S');
    case Rule::unsigned_number: return length(t) >= 1 && length(t) <= limit && all_digits(t);
    case Rule::signed_number:
      if (length(t) < 1 || length(t) > limit) return false;
      if (t[0] == '-') return length(t) >= 2 && all_digits(t.substr(1));
      return all_digits(t);
    case Rule::negative_number:
      return length(t) >= 2 && length(t) <= limit && t[0] == '-' && all_digits(t.substr(1));
    case Rule::decimal:
      return std::all_of(t.begin(), t.end(), [](char c) { return is_digit(c) || c == '.'; });
    case Rule::description: return length(t) <= limit;
  }
  return false;
}

double value_of(const SetupTexts& texts, Slot slot, int element = 0) {
  return leading_number(texts[static_cast<std::size_t>(slot_index(slot, element))]);
}
std::string& text_of(SetupTexts& texts, Slot slot) { return texts[static_cast<std::size_t>(slot_index(slot))]; }

std::string_view rightmost(std::string_view text, int count) {
  const auto n = static_cast<std::size_t>(std::max(count, 0));
  return text.size() > n ? text.substr(text.size() - n) : text;
}

bool is_on(const SetupTexts& texts, Slot slot) { return value_of(texts, slot) != 0; }
void set_check(SetupTexts& texts, Slot slot, bool on) { text_of(texts, slot) = on ? "1" : "0"; }

struct OriginSlots {
  Slot x, y;
  bool has_surface;
  Slot surface;
};
OriginSlots origin_slots(OriginFormat format) {
  switch (format) {
    case OriginFormat::rml: return {Slot::x_rol, Slot::y_rol, true, Slot::z_roland};
    case OriginFormat::dxf: return {Slot::x_dxf, Slot::y_dxf, false, Slot::z_roland};
    case OriginFormat::excellon: return {Slot::x_excellon, Slot::y_excellon, false, Slot::z_roland};
    case OriginFormat::gerber: return {Slot::x_gerber, Slot::y_gerber, false, Slot::z_roland};
    case OriginFormat::hpgl: return {Slot::x_hp, Slot::y_hp, false, Slot::z_roland};
    case OriginFormat::gcode: return {Slot::x_gc, Slot::y_gc, true, Slot::z_gc};
  }
  return {Slot::x_rol, Slot::y_rol, false, Slot::z_roland};
}

struct RotarySlots {
  Slot steps, feed;
};
RotarySlots rotary_slots(RotaryAxis axis) {
  switch (axis) {
    case RotaryAxis::a: return {Slot::Step_giro_A, Slot::Feed_A};
    case RotaryAxis::b: return {Slot::Step_giro_B, Slot::Feed_B};
    case RotaryAxis::c: return {Slot::Step_giro_C, Slot::Feed_C};
  }
  return {Slot::Step_giro_C, Slot::Feed_C};
}

}  // namespace

FieldCheck check_setup_fields(SetupTexts& texts, int& digits) {
  FieldCheck check;
  const auto version = static_cast<std::size_t>(slot_index(Slot::Version));
  if (texts[version] == "5" || texts[version] == "6") {
    digits = texts[version] == "5" ? 5 : 6;
  } else {
    check.wrong[version] = true;
    ++check.errors;
  }
  for (const FieldRule& rule : field_rules()) {
    const auto slot = static_cast<std::size_t>(rule.slot);
    if (passes(texts[slot], rule, digits)) continue;
    check.wrong[slot] = true;
    ++check.errors;
  }
  return check;
}

std::string error_count_text(int errors) { return "total errors=" + blank_number_text(errors); }

std::string last_pass_text(const SetupTexts& texts) {
  return blank_number_text(value_of(texts, Slot::z_fres_v) +
                           value_of(texts, Slot::incr_passate) * value_of(texts, Slot::numero_passate));
}

std::string pass_increment_for(const SetupTexts& texts, std::string_view last_pass, int digits) {
  const double passes = value_of(texts, Slot::numero_passate);
  const std::string& current = texts[static_cast<std::size_t>(slot_index(Slot::incr_passate))];
  // No passes beyond the first: no increment reaches another depth, so it is left as it is.
  if (passes == 0) return current;
  const double first = leading_number(rightmost(texts[static_cast<std::size_t>(slot_index(Slot::z_fres_v))], digits));
  const double last = leading_number(rightmost(last_pass, digits));
  return number_text(static_cast<double>(int_part((last - first) / passes)));
}

bool pen_fields_enabled(std::string_view atc_hpgl) { return atc_hpgl != "TC"; }

void on_tool_option_clicked(SetupTexts& texts, Slot clicked) {
  switch (clicked) {
    case Slot::ute_pretarati:
      // Pre-measured tools are not measured.
      if (is_on(texts, Slot::ute_pretarati)) set_check(texts, Slot::Check_ena_tara, false);
      break;
    case Slot::Check_ena_tara:
      if (is_on(texts, Slot::Check_ena_tara)) {
        set_check(texts, Slot::Check_ena_sensor, true);
        if (is_on(texts, Slot::ute_pretarati)) set_check(texts, Slot::ute_pretarati, false);
      }
      break;
    case Slot::check_ena_tc:
      if (!is_on(texts, Slot::check_ena_tc)) set_check(texts, Slot::f_tauto, false);
      break;
    case Slot::f_tauto:
      if (!is_on(texts, Slot::check_ena_tc)) set_check(texts, Slot::f_tauto, false);
      break;
    default:
      break;
  }
}

std::string_view tool_change_caption(bool automatic) { return automatic ? "Auto TC" : "Manual TC"; }

bool has_origin_button(OriginFormat format, OriginButton button) {
  return button != OriginButton::z_zero || origin_slots(format).has_surface;
}

Slot origin_x_slot(OriginFormat format) { return origin_slots(format).x; }
Slot origin_y_slot(OriginFormat format) { return origin_slots(format).y; }

void apply_origin_button(SetupTexts& texts, OriginFormat format, OriginButton button, const Context& context) {
  const OriginSlots slots = origin_slots(format);
  std::string& x = text_of(texts, slots.x);
  std::string& y = text_of(texts, slots.y);
  const TraceState& trace = context.trace;
  switch (button) {
    case OriginButton::xy_zero:
      // Without a traced program there is no extent to move to the origin.
      if (trace.x_min == kTraceUnset || trace.y_min == kTraceUnset) return;
      x = number_text(leading_number(x) - trace.x_min);
      y = number_text(leading_number(y) - trace.y_min);
      return;
    case OriginButton::z_zero:
      if (!slots.has_surface || trace.z_min == kTraceUnset) return;
      text_of(texts, slots.surface) = number_text(value_of(texts, slots.surface) - trace.z_min);
      return;
    case OriginButton::reset:
      x = "0";
      y = "0";
      return;
    case OriginButton::preview_paste:
      x = number_text(leading_number(x) + trace.clicked_x);
      y = number_text(leading_number(y) + leading_number(trace.clicked_y));
      return;
    case OriginButton::display_paste:
      x = number_text(context.display.display_x);
      y = number_text(context.display.display_y);
      return;
  }
}

std::string motor_feed_hint(const SetupTexts& texts, RotaryAxis axis) {
  const RotarySlots s = rotary_slots(axis);
  return "Fmotore=" + number_text(value_of(texts, s.feed) * value_of(texts, s.steps) / 2160000);
}

std::string tangential_feed_hint(const SetupTexts& texts, RotaryAxis axis) {
  const RotarySlots s = rotary_slots(axis);
  return "Ftangenz=" + number_text(value_of(texts, s.feed) * 6.28 / 21600) + " * Raggio";
}

void send_initial_string(Context& context, std::string_view initstring) {
  ChannelState& channel = context.channel;
  channel.suppress = false;
  channel.direct_to_machine = true;
  emit_line(context, initstring);
  channel.direct_to_machine = false;
  channel.suppress = true;
}

}  // namespace vireo
