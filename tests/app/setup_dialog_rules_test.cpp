#include "app/setup_dialog_rules.h"

#include <gtest/gtest.h>

#include "app/setup_form.h"
#include "core/context.h"
#include "core/line_sink.h"
#include "tests/support/fake_host.h"

namespace vireo {
namespace {

std::size_t at(Slot slot, int element = 0) { return static_cast<std::size_t>(slot_index(slot, element)); }

SetupTexts defaults() { return SetupForm().texts; }

TEST(SetupFieldCheck, TheDefaultsPass) {
  SetupTexts texts = defaults();
  int digits = 5;
  EXPECT_EQ(check_setup_fields(texts, digits).errors, 0);
  EXPECT_EQ(texts, defaults());
}

TEST(SetupFieldCheck, EachRuleOnItsFields) {
  struct Case {
    Slot slot;
    int element;
    const char* typed;
    int digits;
    bool wrong;
    const char* after;  // the field's text after the check
  };
  const Case cases[] = {
      {Slot::scala_gerber, 0, "1,5", 5, false, "1.5"},
      {Slot::scala_dxf, 0, "", 5, false, ""},
      {Slot::correzione_x, 0, "1e3", 5, true, "1e3"},
      {Slot::vel_av, 0, "f4", 5, true, "f4"},
      {Slot::vel_av, 0, "f04", 5, false, "F04"},
      {Slot::vel_av, 0, "S04", 5, true, "S04"},
      {Slot::feed, 6, "F0x", 5, true, "F0x"},
      {Slot::speed, 2, "s08", 5, false, "S08"},
      {Slot::maxv_gc, 0, "f9,", 5, true, "f9."},
      {Slot::z_iniz_v, 0, "-12345", 5, false, "-12345"},
      {Slot::z_iniz_v, 0, "-123456", 5, true, "-123456"},
      {Slot::z_iniz_v, 0, "-123456", 6, false, "-123456"},
      {Slot::z_iniz_v, 0, "200", 5, true, "200"},
      {Slot::ziniz_hp, 0, "-", 5, true, "-"},
      {Slot::z_fres_v, 0, "123456", 5, false, "123456"},
      {Slot::z_fres_v, 0, "1-00", 5, true, "1-00"},
      {Slot::z_fres_v, 0, "", 5, true, ""},
      {Slot::pen, 4, "-11", 5, false, "-11"},
      {Slot::x_gc, 0, "-1234567", 5, false, "-1234567"},
      {Slot::x_gc, 0, "123456789", 5, true, "123456789"},
      {Slot::xatc, 7, "123456", 5, true, "123456"},
      {Slot::xatc, 7, "123456", 6, false, "123456"},
      {Slot::z_superf, 0, "-100", 5, true, "-100"},
      {Slot::ritardo_dsr, 0, "1234567890", 5, false, "1234567890"},
      {Slot::ritardo_dsr, 0, "12345678901", 5, true, "12345678901"},
      {Slot::vel_entrata, 0, "100,", 5, true, "100."},
      {Slot::Feed_C, 0, "320000", 5, false, "320000"},
      {Slot::memz_trovacent, 0, "10000", 5, true, "10000"},
      {Slot::descrizione1, 3, "Punta 3,0mm", 5, false, "Punta 3.0mm"},
      {Slot::descrizione1, 0, "0123456789012345678901234567890123456789X", 5, true,
       "0123456789012345678901234567890123456789X"},
      {Slot::initstring, 0, "a,b", 5, false, "a,b"},  // no rule: left as typed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(slot_display_name(slot_index(c.slot, c.element)) + " = " + c.typed);
    SetupTexts texts = defaults();
    texts[at(Slot::Version)] = std::to_string(c.digits);
    texts[at(c.slot, c.element)] = c.typed;
    int digits = 5;
    const FieldCheck check = check_setup_fields(texts, digits);
    EXPECT_EQ(check.wrong[at(c.slot, c.element)], c.wrong);
    EXPECT_EQ(check.errors, c.wrong ? 1 : 0);
    EXPECT_EQ(texts[at(c.slot, c.element)], c.after);
  }
}

TEST(SetupFieldCheck, TheDigitCountComesFirstAndAWrongOneKeepsTheLast) {
  SetupTexts texts = defaults();
  texts[at(Slot::xatc)] = "123456";
  int digits = 5;
  texts[at(Slot::Version)] = "6";
  EXPECT_EQ(check_setup_fields(texts, digits).errors, 0);
  EXPECT_EQ(digits, 6);
  texts[at(Slot::Version)] = "7";
  const FieldCheck check = check_setup_fields(texts, digits);
  EXPECT_EQ(digits, 6);
  EXPECT_TRUE(check.wrong[at(Slot::Version)]);
  EXPECT_EQ(check.errors, 1);
  EXPECT_EQ(error_count_text(check.errors), "total errors= 1");
}

TEST(SetupPassCalculator, ForwardAndBack) {
  struct Case {
    const char *z_fres, *incr, *count, *last_typed;
    int digits;
    const char *last_shown, *incr_after;
  };
  const Case cases[] = {
      {"100", "100", "5", " 1100", 5, " 600", "200"},
      {"-700", "100", "5", "-200", 5, "-200", "100"},
      {"100", "100", "3", "-50", 5, " 400", "-50"},
      {"100", "100", "0", "900", 5, " 100", "100"},      // no passes: the increment stays
      {"100", "100", "4", "12300501", 5, " 500", "100"},  // the rightmost 5 characters: 00501
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.last_typed);
    SetupTexts texts = defaults();
    texts[at(Slot::z_fres_v)] = c.z_fres;
    texts[at(Slot::incr_passate)] = c.incr;
    texts[at(Slot::numero_passate)] = c.count;
    EXPECT_EQ(last_pass_text(texts), c.last_shown);
    EXPECT_EQ(pass_increment_for(texts, c.last_typed, c.digits), c.incr_after);
  }
}

TEST(SetupToolOptions, ClickedBoxesAdjustTheOthers) {
  struct Case {
    Slot clicked;
    const char* before;  // ute_pretarati, Check_ena_tara, Check_ena_sensor, check_ena_tc, f_tauto
    const char* after;
  };
  const Case cases[] = {
      {Slot::Check_ena_tara, "11000", "01100"},
      {Slot::Check_ena_tara, "00000", "00000"},
      {Slot::ute_pretarati, "11100", "10100"},
      {Slot::check_ena_tc, "00001", "00000"},
      {Slot::check_ena_tc, "00011", "00011"},
      {Slot::f_tauto, "00001", "00000"},
      {Slot::f_tauto, "00011", "00011"},
  };
  const Slot order[] = {Slot::ute_pretarati, Slot::Check_ena_tara, Slot::Check_ena_sensor, Slot::check_ena_tc,
                        Slot::f_tauto};
  for (const Case& c : cases) {
    SCOPED_TRACE(slot_display_name(slot_index(c.clicked)) + " " + c.before);
    SetupTexts texts = defaults();
    for (int i = 0; i < 5; ++i) texts[at(order[i])] = std::string(1, c.before[i]);
    on_tool_option_clicked(texts, c.clicked);
    std::string after;
    for (Slot s : order) after += texts[at(s)];
    EXPECT_EQ(after, c.after);
  }
  EXPECT_EQ(tool_change_caption(true), "Auto TC");
  EXPECT_EQ(tool_change_caption(false), "Manual TC");
}

TEST(SetupOriginButtons, EachButtonOnItsFormat) {
  test::FakeHost host;
  Context context(host);
  context.trace.x_min = 150;
  context.trace.y_min = -20;
  context.trace.z_min = 300;
  context.trace.clicked_x = 12.5;
  context.trace.clicked_y = "40";
  context.display.display_x = 1234;
  context.display.display_y = -50;
  struct Case {
    OriginFormat format;
    OriginButton button;
    const char *x, *y, *z;  // z: the format's surface Z (z_roland or z_gc) afterwards
  };
  const Case cases[] = {
      {OriginFormat::gerber, OriginButton::xy_zero, "-50", "120", "500"},
      {OriginFormat::rml, OriginButton::z_zero, "100", "100", "200"},
      {OriginFormat::gcode, OriginButton::z_zero, "100", "100", "200"},
      {OriginFormat::dxf, OriginButton::reset, "0", "0", "500"},
      {OriginFormat::hpgl, OriginButton::preview_paste, "112.5", "140", "500"},
      {OriginFormat::excellon, OriginButton::display_paste, "1234", "-50", "500"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.format));
    SetupTexts texts = defaults();
    texts[at(origin_x_slot(c.format))] = "100";
    texts[at(origin_y_slot(c.format))] = "100";
    apply_origin_button(texts, c.format, c.button, context);
    EXPECT_EQ(texts[at(origin_x_slot(c.format))], c.x);
    EXPECT_EQ(texts[at(origin_y_slot(c.format))], c.y);
    EXPECT_EQ(texts[at(c.format == OriginFormat::gcode ? Slot::z_gc : Slot::z_roland)], c.z);
  }
  EXPECT_FALSE(has_origin_button(OriginFormat::gerber, OriginButton::z_zero));
  EXPECT_TRUE(has_origin_button(OriginFormat::gcode, OriginButton::z_zero));
  // Without a traced program the extent buttons change nothing.
  Context fresh(host);
  SetupTexts texts = defaults();
  texts[at(Slot::x_gc)] = "7";
  apply_origin_button(texts, OriginFormat::gcode, OriginButton::xy_zero, fresh);
  apply_origin_button(texts, OriginFormat::gcode, OriginButton::z_zero, fresh);
  EXPECT_EQ(texts[at(Slot::x_gc)], "7");
  EXPECT_EQ(texts[at(Slot::z_gc)], "500");
}

TEST(SetupHints, PenRuleAndRotaryAxes) {
  EXPECT_FALSE(pen_fields_enabled("TC"));
  EXPECT_TRUE(pen_fields_enabled("prof_var"));
  EXPECT_TRUE(pen_fields_enabled("TC+prof_var"));
  SetupTexts texts = defaults();
  texts[at(Slot::Feed_C)] = "21600";
  texts[at(Slot::Step_giro_C)] = "2000";
  EXPECT_EQ(motor_feed_hint(texts, RotaryAxis::c), "Fmotore=20");
  EXPECT_EQ(tangential_feed_hint(texts, RotaryAxis::c), "Ftangenz=6.28 * Raggio");
  EXPECT_EQ(motor_feed_hint(texts, RotaryAxis::a), "Fmotore=1.2962962962962963");
}

TEST(SetupInitialString, GoesStraightToTheMachineAndRaisesSuppression) {
  RecordingSink recorded;
  test::FakeHost host;
  Context context(host);
  context.channel.listener = &recorded;
  context.channel.sink = std::string(sink::kFile);
  context.channel.suppress = true;
  send_initial_string(context, "lx50000ly54000");
  EXPECT_EQ(recorded.lines, (std::vector<std::string>{"lx50000ly54000"}));
  EXPECT_FALSE(context.channel.direct_to_machine);
  EXPECT_TRUE(context.channel.suppress);
  // A port that is not open is counted by the channel, and the flags are left as after a send.
  context.settings.set_text(Slot::s_periferica, "com1");
  send_initial_string(context, "lx1");
  EXPECT_EQ(context.channel.error_count, 1);
  EXPECT_NE(host.panels[5].find("Errore  8012"), std::string::npos) << host.panels[5];
  EXPECT_FALSE(context.channel.direct_to_machine);
  EXPECT_TRUE(context.channel.suppress);
}

}  // namespace
}  // namespace vireo
