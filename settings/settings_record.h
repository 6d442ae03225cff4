// The settings record: 200 text slots, converted on use, and the values the apply step derives from
// them once so that the machine logic reads typed values.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/slots.h"

namespace vireo {

class SettingsRecord {
 public:
  SettingsRecord();  // the default texts of a fresh setup file

  const std::string& text(int index) const { return texts_.at(index); }
  const std::string& text(Slot slot, int element = 0) const { return text(slot_index(slot, element)); }
  void set_text(int index, std::string value);
  void set_text(Slot slot, std::string value) { set_text(slot_index(slot), std::move(value)); }
  void set_text(Slot slot, int element, std::string value) { set_text(slot_index(slot, element), std::move(value)); }

  // The slot's text as a number: its leading number, 0 when it has none. Read when the text is set,
  // as the output channel asks for some of them on every line.
  double number(Slot slot, int element = 0) const { return numbers_.at(slot_index(slot, element)); }
  // A check slot is on when its text is a non-zero number.
  bool on(Slot slot) const { return number(slot) != 0; }

  const std::array<std::string, kSlotCount>& texts() const { return texts_; }

 private:
  std::array<std::string, kSlotCount> texts_;
  std::array<double, kSlotCount> numbers_;
};

// Values computed from the slots by the apply step.
struct DerivedSettings {
  int digits = 5;                                // fixed digit count N of coordinates
  std::string mask = "00000";                    // N zeros
  std::string placeholder = std::string(6, '\xF7');  // N + 1 filler characters
  std::string travel_z;                          // "Z" + FW(z_superf + z_iniz_v), surface-following suffix
  std::string cutting_z;                         // "Z" + FW(z_superf + z_fres_v), surface-following suffix
  std::string bull;                              // "pb" when pulse commands are enabled
  std::string glue;                              // "pc" likewise
  std::string vertex;                            // "pa" when vertex pulses are enabled too
  std::int32_t dsr_delay = 0;                    // consecutive DSR readings before each character
  std::string feed_a, feed_b, feed_c;            // rotation feed codes of the A, B and C axes
  double scale_rml = 1, scale_dxf = 1, scale_excellon = 1, scale_gerber = 1, scale_hpgl = 1, scale_gc = 1;
};

// The apply step's computations: digit count, pulse commands, Z lines, scale factors, surface
// following, rotation feeds and DSR delay. A `Version` other than "5" or "6" leaves the digit count,
// mask and placeholder as they were.
void derive_settings(const SettingsRecord& record, DerivedSettings& derived);

// "F" and two digits for a rotary axis: Int(steps × feed / 2160000), at least 1 and at most 90.
std::string rotation_feed_code(double steps_per_turn, double degrees_per_minute);

}  // namespace vireo
