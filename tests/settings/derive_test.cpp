#include <gtest/gtest.h>

#include <cmath>

#include "settings/settings_record.h"

namespace vireo {
namespace {

DerivedSettings derive(std::initializer_list<std::pair<Slot, const char*>> changes) {
  SettingsRecord record;
  for (const auto& [slot, text] : changes) record.set_text(slot, text);
  DerivedSettings derived;
  derive_settings(record, derived);
  return derived;
}

TEST(Derive, DefaultsGiveTheUsualFragments) {
  const DerivedSettings d = derive({});
  EXPECT_EQ(d.digits, 5);
  EXPECT_EQ(d.mask, "00000");
  EXPECT_EQ(d.placeholder, std::string(6, '\xF7'));
  EXPECT_EQ(d.travel_z, "Z00800");
  EXPECT_EQ(d.cutting_z, "Z01100");
  EXPECT_EQ(d.bull, "pb");
  EXPECT_EQ(d.glue, "pc");
  EXPECT_EQ(d.vertex, "pa");
  EXPECT_EQ(d.dsr_delay, 100);
  EXPECT_EQ(d.feed_c, "F41");
  EXPECT_EQ(d.feed_a, "F01");
}

TEST(Derive, ZLinesFollowDigitsAndSurfaceFollowing) {
  struct Case {
    const char* name;
    std::initializer_list<std::pair<Slot, const char*>> changes;
    const char* travel;
    const char* cutting;
  } cases[] = {
      {"six digits", {{Slot::Version, "6"}}, "Z000800", "Z001100"},
      {"includi, no inseg", {{Slot::check_includi, "1"}}, "Z00800go0", "Z01100go0"},
      {"includi and inseg", {{Slot::check_includi, "1"}, {Slot::check_inseg, "1"}}, "Z00800go0", "Z01100go1"},
      {"inseg alone adds nothing", {{Slot::check_inseg, "1"}}, "Z00800", "Z01100"},
      {"negative travel kept inside", {{Slot::z_superf, "0"}}, "Z0-200", "Z00100"},
      {"bad version keeps five", {{Slot::Version, "7"}}, "Z00800", "Z01100"},
      {"text in a number counts 0", {{Slot::z_superf, "abc"}}, "Z0-200", "Z00100"},
  };
  for (const Case& c : cases) {
    const DerivedSettings d = derive(c.changes);
    EXPECT_EQ(d.travel_z, c.travel) << c.name;
    EXPECT_EQ(d.cutting_z, c.cutting) << c.name;
  }
}

TEST(Derive, PulseCommandsFollowTheirChecks) {
  DerivedSettings off = derive({{Slot::Ena_pbpc, "0"}});
  EXPECT_EQ(off.bull + off.glue + off.vertex, "");
  DerivedSettings no_vertex = derive({{Slot::ena_pc_vertice, "0"}});
  EXPECT_EQ(no_vertex.bull, "pb");
  EXPECT_EQ(no_vertex.vertex, "");
}

TEST(Derive, ScaleFactors) {
  struct Case {
    const char* name;
    std::initializer_list<std::pair<Slot, const char*>> changes;
    double DerivedSettings::*factor;
    double expected;
  } cases[] = {
      {"inch gerber 3/4", {{Slot::unita_gerber, "inch"}, {Slot::opt_gbr, "3"}}, &DerivedSettings::scale_gerber, 0.254},
      {"inch gerber 3/3", {{Slot::unita_gerber, "inch"}}, &DerivedSettings::scale_gerber, 2.54},
      {"gerber 2/4 in mm", {{Slot::opt_gbr, "2"}}, &DerivedSettings::scale_gerber, 0.1},
      {"excellon 2/4", {{Slot::opt_drl, "2"}, {Slot::scala_excellon, "2"}}, &DerivedSettings::scale_excellon, 0.2},
      {"inch dxf", {{Slot::unita_dxf, "inch"}}, &DerivedSettings::scale_dxf, 2.54},
      {"inch hpgl", {{Slot::unita_hpgl, "inch"}, {Slot::scala_hpgl, "2"}}, &DerivedSettings::scale_hpgl, 5.08},
      {"inch rml", {{Slot::unita_modela, "inch"}}, &DerivedSettings::scale_rml, 2.54},
      {"gcode unit left alone", {{Slot::unita_gc, "inch"}, {Slot::scala_gc, "3"}}, &DerivedSettings::scale_gc, 3},
      {"unit compared exactly", {{Slot::unita_dxf, "INCH"}}, &DerivedSettings::scale_dxf, 1},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(derive(c.changes).*c.factor, c.expected) << c.name;
}

TEST(Derive, RotationFeedCodes) {
  struct Case {
    double steps, feed;
    const char* code;
  } cases[] = {
      {2800, 32000, "F41"}, {2800, 1000, "F01"}, {2800, 100000, "F90"}, {0, 1000, "F01"},
      {2160000, 5, "F05"},  {2160000, 90, "F90"}, {2160000, 91, "F90"},
  };
  for (const Case& c : cases) EXPECT_EQ(rotation_feed_code(c.steps, c.feed), c.code) << c.steps << " " << c.feed;
}

TEST(Derive, DsrDelayCount) {
  EXPECT_EQ(derive({{Slot::ritardo_dsr, "0"}}).dsr_delay, 0);
  EXPECT_EQ(derive({{Slot::ritardo_dsr, "9999999999"}}).dsr_delay, INT32_MAX);
  EXPECT_EQ(derive({{Slot::ritardo_dsr, "x"}}).dsr_delay, 0);
}

TEST(Derive, DigitCountSurvivesABadVersion) {
  SettingsRecord record;
  record.set_text(Slot::Version, "6");
  DerivedSettings d;
  derive_settings(record, d);
  record.set_text(Slot::Version, "");
  derive_settings(record, d);
  EXPECT_EQ(d.digits, 6);
  EXPECT_EQ(d.mask, "000000");
  EXPECT_EQ(d.placeholder.size(), 7u);
}

// "--set z_iniz_v=-999...9" (400 nines) overflowed the lenient reading to infinity: the travel line
// became "Z0-inf", and with "+" the lift Z vanished from the program. A value too large to be a
// number converts as any text that is no number: to 0.
TEST(Derive, ValuesThatAreNoFiniteNumberReadAsZeroInEverySlot) {
  const std::string nines(400, '9');
  const std::string values[] = {nines, "-" + nines, "+" + nines, "1e400", "-1e400", "nan", "inf", "-inf"};
  for (int slot = 0; slot < kSlotCount; ++slot) {
    for (const std::string& value : values) {
      SettingsRecord record;
      record.set_text(slot, value);
      const double number = record.number(static_cast<Slot>(slot));
      EXPECT_TRUE(std::isfinite(number)) << slot_display_name(slot) << "=" << value;
      DerivedSettings d;
      derive_settings(record, d);
      for (const std::string& text : {d.travel_z, d.cutting_z, d.feed_a, d.feed_b, d.feed_c}) {
        EXPECT_EQ(text.find("inf"), std::string::npos) << slot_display_name(slot) << "=" << value << ": " << text;
        EXPECT_EQ(text.find("nan"), std::string::npos) << slot_display_name(slot) << "=" << value << ": " << text;
      }
      for (double scale : {d.scale_rml, d.scale_dxf, d.scale_excellon, d.scale_gerber, d.scale_hpgl, d.scale_gc})
        EXPECT_TRUE(std::isfinite(scale)) << slot_display_name(slot) << "=" << value;
    }
  }
  const std::string lift = "+" + nines;
  EXPECT_EQ(derive({{Slot::z_iniz_v, lift.c_str()}}).travel_z, derive({{Slot::z_iniz_v, "0"}}).travel_z);
}

}  // namespace
}  // namespace vireo
