#include "settings/settings_record.h"

#include <algorithm>
#include <climits>

#include "base/number_text.h"

namespace vireo {

SettingsRecord::SettingsRecord() {
  for (int i = 0; i < kSlotCount; ++i) set_text(i, std::string(slot_info(i).fallback));
}

void SettingsRecord::set_text(int index, std::string value) {
  numbers_.at(index) = leading_number(value);
  texts_[index] = std::move(value);
}

std::string rotation_feed_code(double steps_per_turn, double degrees_per_minute) {
  long long v = int_part(steps_per_turn * degrees_per_minute / 2160000);
  if (v == 0) v = 1;
  if (v > 90) v = 90;
  std::string digits = "00" + number_text(static_cast<double>(v));
  return "F" + digits.substr(digits.size() - 2);
}

void derive_settings(const SettingsRecord& s, DerivedSettings& d) {
  if (const std::string& version = s.text(Slot::Version); version == "5" || version == "6") {
    d.digits = version == "5" ? 5 : 6;
    d.mask.assign(d.digits, '0');
    d.placeholder.assign(d.digits + 1, '\xF7');
  }

  const bool pulses = s.on(Slot::Ena_pbpc);
  d.bull = pulses ? "pb" : "";
  d.glue = pulses ? "pc" : "";
  d.vertex = pulses && s.on(Slot::ena_pc_vertice) ? "pa" : "";

  const double surface = s.number(Slot::z_superf);
  d.travel_z = "Z" + fw(s.number(Slot::z_iniz_v) + surface, d.digits);
  d.cutting_z = "Z" + fw(s.number(Slot::z_fres_v) + surface, d.digits);

  auto scale = [&](Slot value, Slot unit) {
    double factor = s.number(value);
    if (s.text(unit) == "inch") factor *= 2.54;
    return factor;
  };
  d.scale_rml = scale(Slot::scala_modela, Slot::unita_modela);
  d.scale_dxf = scale(Slot::scala_dxf, Slot::unita_dxf);
  d.scale_excellon = scale(Slot::scala_excellon, Slot::unita_excellon);
  d.scale_gerber = scale(Slot::scala_gerber, Slot::unita_gerber);
  d.scale_hpgl = scale(Slot::scala_hpgl, Slot::unita_hpgl);
  d.scale_gc = s.number(Slot::scala_gc);  // the G-code converter applies its own unit
  // Formats "2/4" and "3/4" carry four decimal digits.
  const auto four_decimals = [&](Slot option) {
    const double index = s.number(option);
    return index == 2 || index == 3;
  };
  if (four_decimals(Slot::opt_gbr)) d.scale_gerber *= 0.1;
  if (four_decimals(Slot::opt_drl)) d.scale_excellon *= 0.1;

  if (s.on(Slot::check_includi)) {
    d.travel_z += "go0";
    d.cutting_z += s.on(Slot::check_inseg) ? "go1" : "go0";
  }

  d.feed_a = rotation_feed_code(s.number(Slot::Step_giro_A), s.number(Slot::Feed_A));
  d.feed_b = rotation_feed_code(s.number(Slot::Step_giro_B), s.number(Slot::Feed_B));
  d.feed_c = rotation_feed_code(s.number(Slot::Step_giro_C), s.number(Slot::Feed_C));

  // The setup accepts ten digits; a count beyond the 32-bit range is held at its largest value.
  const double delay = static_cast<double>(round_half_even(s.number(Slot::ritardo_dsr)));
  d.dsr_delay = static_cast<std::int32_t>(std::clamp(delay, double(INT32_MIN), double(INT32_MAX)));
}

}  // namespace vireo
