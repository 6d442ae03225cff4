#include "link/device_encoder.h"

#include <array>
#include <functional>
#include <random>

#include <gtest/gtest.h>

#include "base/command_language.h"
#include "core/context.h"
#include "base/run_error.h"
#include "tests/support/fake_host.h"

namespace vireo {
namespace {

struct EncoderTest : ::testing::Test {
  test::FakeHost host;
  Context context{host};
  DisplayState& d = context.display;

  void SetUp() override { derive_settings(context.settings, context.derived); }
  void set(Slot slot, std::string text) {
    context.settings.set_text(slot, std::move(text));
    derive_settings(context.settings, context.derived);
  }
  std::string track(std::string line) {
    context.channel.line = std::move(line);
    track_line(context);
    return context.channel.line;
  }
  std::string correct(std::string line) {
    context.channel.line = std::move(line);
    correct_coordinates(context);
    return context.channel.line;
  }
};

struct TrackCase {
  const char* name;
  std::function<void(EncoderTest&)> before;
  std::string line;
  std::string expected;
  std::function<void(const DisplayState&)> check;
};

TEST_F(EncoderTest, TrackLineRewritesAndFollowsTheLine) {
  const TrackCase cases[] = {
      {"Z move to the Z reached is dropped", [](EncoderTest& t) { t.d.display_z = 800; }, "F45Z00800*", "F45*",
       [](const DisplayState& s) { EXPECT_EQ(s.display_f, 45); }},
      {"force_z lets the Z move through once", [](EncoderTest& t) { t.d.display_z = 800, t.d.force_z = true; },
       "F45Z00800*", "F45Z00800*", [](const DisplayState& s) { EXPECT_FALSE(s.force_z); }},
      {"Z compared as a number", [](EncoderTest& t) { t.d.display_z = 800; }, "Z00800*", "*", nullptr},
      {"a new Z is tracked", [](EncoderTest& t) { t.d.display_z = 800; }, "Z00900*", "Z00900*",
       [](const DisplayState& s) { EXPECT_EQ(s.display_z, 900); EXPECT_EQ(s.tracked_z, 900); }},
      {"feed code equal to the current one is dropped", [](EncoderTest& t) { t.d.display_f = 4; }, "F04X01000*",
       "X01000*", [](const DisplayState& s) { EXPECT_EQ(s.display_x, 1000); EXPECT_EQ(s.tracked_x, 1000); }},
      {"feed compared as a number", [](EncoderTest& t) { t.d.display_f = 4; }, "F04*", "*", nullptr},
      {"force_f lets the feed through once", [](EncoderTest& t) { t.d.display_f = 4, t.d.force_f = true; },
       "F04F04*", "F04*", [](const DisplayState& s) { EXPECT_FALSE(s.force_f); }},
      {"both dropped in one line", [](EncoderTest& t) { t.d.display_f = 45, t.d.display_z = 800; },
       "F45Z00800*F45", "*", nullptr},
      {"X and Y keep their digit text", nullptr, "X01234Y00567*", "X01234Y00567*",
       [](const DisplayState& s) {
         EXPECT_EQ(s.display_x, 1234); EXPECT_EQ(s.display_y, 567); EXPECT_EQ(s.tracked_y, 567);
       }},
      {"six digits", [](EncoderTest& t) { t.set(Slot::Version, "6"); }, "X001234Z000800*", "X001234Z000800*",
       [](const DisplayState& s) { EXPECT_EQ(s.display_x, 1234); EXPECT_EQ(s.display_z, 800); }},
      {"a field cut short by the line end", nullptr, "X012", "X012",
       [](const DisplayState& s) { EXPECT_EQ(s.display_x, 12); }},
      {"positioning moves are not tracked", nullptr, "RX01234*RZ00500*", "RX01234*RZ00500*",
       [](const DisplayState& s) { EXPECT_EQ(s.display_x, 0); EXPECT_EQ(s.display_z, 0); }},
      {"spindle code", nullptr, "P1 S00 F45", "P1 S00 F45",
       [](const DisplayState& s) { EXPECT_EQ(s.display_s, 0); EXPECT_EQ(s.display_f, 45); }},
      {"rotary axes in hundredths of a degree, read with 5 digits",
       [](EncoderTest& t) { t.set(Slot::Version, "6"), t.set(Slot::Step_giro_B, "1000"); }, "A01400*B00250*",
       "A01400*B00250*", [](const DisplayState& s) { EXPECT_EQ(s.display_a, 18000); EXPECT_EQ(s.display_b, 9000); }},
      {"a zero step count shows 0", [](EncoderTest& t) { t.set(Slot::Step_giro_C, "0"); }, "C01000*", "C01000*",
       [](const DisplayState& s) { EXPECT_EQ(s.display_c, 0); }},
      {"sensor search lowers the display", [](EncoderTest& t) { t.d.display_z = 1000, t.d.tracked_z = 7; },
       "zs00250*", "zs00250*",
       [](const DisplayState& s) {
         EXPECT_EQ(s.display_z, 750); EXPECT_EQ(s.step_token, "00250"); EXPECT_EQ(s.tracked_z, 7);
       }},
      {"sensor search without correction tracks the display",
       [](EncoderTest& t) { t.set(Slot::ena_correzione_coord, "0"), t.d.display_z = 1000; }, "zs00250*",
       "zs00250*", [](const DisplayState& s) { EXPECT_EQ(s.tracked_z, 750); }},
      {"step commands inside a line", [](EncoderTest& t) { t.d.display_x = t.d.tracked_x = 10; }, "xdxdxd",
       "xdxdxd", [](const DisplayState& s) { EXPECT_EQ(s.display_x, 7); EXPECT_EQ(s.step_token, "xd"); }},
      {"home command zeroes the axis", [](EncoderTest& t) { t.d.display_z = t.d.tracked_z = 500; }, "cz",
       "cz", [](const DisplayState& s) { EXPECT_EQ(s.display_z, 0); EXPECT_EQ(s.tracked_z, 0); }},
      {"a line without tracked letters passes unchanged", nullptr, "ga1 ge ga0( )()?@ T01000 go1",
       "ga1 ge ga0( )()?@ T01000 go1", nullptr},
      {"fillers already in the line are removed", nullptr, "X01000\xF7*", "X01000*", nullptr},
  };
  for (const TrackCase& c : cases) {
    SCOPED_TRACE(c.name);
    context.display = DisplayState{};
    context.settings = SettingsRecord{};
    derive_settings(context.settings, context.derived);
    if (c.before) c.before(*this);
    EXPECT_EQ(track(c.line), c.expected);
    if (c.check) c.check(context.display);
  }
}

TEST_F(EncoderTest, VertexPulseGoesOutAsGlueAndDropsTheNextGlueOnce) {
  EXPECT_EQ(track("X01000Y02000*pa"), "X01000Y02000*pc");
  EXPECT_TRUE(d.pa_pending);
  EXPECT_EQ(d.pulse_state, "");
  EXPECT_EQ(track("pc"), "");
  EXPECT_EQ(d.pulse_state, "pc");
  EXPECT_EQ(track("pc"), "pc");

  EXPECT_EQ(track("pa"), "pc");
  EXPECT_EQ(track("pb"), "pb");  // a bull pulse in between cancels the removal
  EXPECT_EQ(d.pulse_state, "pb");
  EXPECT_EQ(track("pc"), "pc");
}

TEST_F(EncoderTest, DigitsAreShownExceptInTheFileSink) {
  track("F45X01234Y00567Z00100S12*");
  EXPECT_EQ(host.digits, (std::vector<std::pair<int, double>>{{4, 45}, {1, 1234}, {2, 567}, {3, 100}, {5, 12}}));

  host.digits.clear();
  context.channel.sink = "file (.tpx)";
  track("X00001Y00002Z00003*xu");
  EXPECT_EQ(d.display_y, 2);
  // Step commands show in every sink.
  EXPECT_EQ(host.digits, (std::vector<std::pair<int, double>>{{1, 2}}));
}

struct StepCase {
  const char* name;
  std::string token;
  std::function<void(EncoderTest&)> before;
  std::function<void(const DisplayState&)> check;
  bool shown;
};

TEST_F(EncoderTest, StepCommands) {
  const StepCase cases[] = {
      {"xd at 0 changes nothing", "xd", [](EncoderTest& t) { t.d.tracked_x = 5; },
       [](const DisplayState& s) { EXPECT_EQ(s.display_x, 0); EXPECT_EQ(s.tracked_x, 5); }, false},
      {"xd counts on the tracked value", "xd", [](EncoderTest& t) { t.d.display_x = 1234, t.d.tracked_x = 10; },
       [](const DisplayState& s) { EXPECT_EQ(s.display_x, 9); EXPECT_EQ(s.tracked_x, 9); }, true},
      {"display factor on", "yd",
       [](EncoderTest& t) {
         t.set(Slot::display_corr_y, "0.5"), t.d.display_y = 10, t.d.tracked_y = 10;
       },
       [](const DisplayState& s) { EXPECT_EQ(s.tracked_y, 9.5); EXPECT_EQ(s.display_y, 9); }, true},
      {"display factor off", "zu",
       [](EncoderTest& t) {
         t.set(Slot::display_corr_z, "0.5"), t.set(Slot::ena_correzione_display, "0"), t.d.tracked_z = 10;
       },
       [](const DisplayState& s) { EXPECT_EQ(s.tracked_z, 11); EXPECT_EQ(s.display_z, 11); }, true},
      {"Int rounds down below zero", "xd",
       [](EncoderTest& t) { t.set(Slot::display_corr_x, "0.5"), t.d.display_x = 1, t.d.tracked_x = 0; },
       [](const DisplayState& s) { EXPECT_EQ(s.tracked_x, -0.5); EXPECT_EQ(s.display_x, -1); }, true},
      {"xu at the unknown position changes nothing", "xu",
       [](EncoderTest& t) { t.d.display_x = 999999999, t.d.tracked_x = 1; },
       [](const DisplayState& s) { EXPECT_EQ(s.tracked_x, 1); }, false},
      {"fu at 99 gives 0", "fu", [](EncoderTest& t) { t.d.display_f = 99; },
       [](const DisplayState& s) { EXPECT_EQ(s.display_f, 0); }, true},
      {"fu counts up", "fu", [](EncoderTest& t) { t.d.display_f = 4; },
       [](const DisplayState& s) { EXPECT_EQ(s.display_f, 5); }, true},
      {"fd at 0 gives 99", "fd", nullptr, [](const DisplayState& s) { EXPECT_EQ(s.display_f, 99); }, true},
      {"su at 12 gives 0", "su", [](EncoderTest& t) { t.d.display_s = 12; },
       [](const DisplayState& s) { EXPECT_EQ(s.display_s, 0); }, true},
      {"sd at 0 gives 12", "sd", nullptr, [](const DisplayState& s) { EXPECT_EQ(s.display_s, 12); }, true},
      {"rx sets the origin", "rx", [](EncoderTest& t) { t.d.display_x = t.d.tracked_x = 700; },
       [](const DisplayState& s) { EXPECT_EQ(s.display_x, 0); EXPECT_EQ(s.tracked_x, 0); }, true},
      {"cy homes Y", "cy", [](EncoderTest& t) { t.d.display_y = t.d.tracked_y = 700; },
       [](const DisplayState& s) { EXPECT_EQ(s.display_y, 0); }, true},
      {"zs alone does nothing", "zs", [](EncoderTest& t) { t.d.display_z = 500; },
       [](const DisplayState& s) { EXPECT_EQ(s.display_z, 500); }, false},
      {"an unknown token does nothing", "x5", [](EncoderTest& t) { t.d.display_x = t.d.tracked_x = 500; },
       [](const DisplayState& s) { EXPECT_EQ(s.display_x, 500); }, false},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.name);
    context.display = DisplayState{};
    context.settings = SettingsRecord{};
    host.digits.clear();
    if (c.before) c.before(*this);
    d.step_token = c.token;
    apply_step_command(context);
    c.check(d);
    EXPECT_EQ(host.digits.size(), c.shown ? 1u : 0u);
  }
}

struct CorrectCase {
  const char* name;
  std::function<void(EncoderTest&)> before;
  std::string line;
  std::string expected;
  std::function<void(const DisplayState&)> check;
};

TEST_F(EncoderTest, CorrectCoordinates) {
  const CorrectCase cases[] = {
      {"X times 1.5", [](EncoderTest& t) { t.set(Slot::correzione_x, "1.5"); }, "X01000*", "X01500*",
       [](const DisplayState& s) { EXPECT_EQ(s.tracked_x, 1500); }},
      {"A times 2, read with N digits", [](EncoderTest& t) { t.set(Slot::correzione_a, "2"); }, "A00100*", "A00200*",
       [](const DisplayState& s) { EXPECT_EQ(s.tracked_a, 200); }},
      {"correction off leaves the line", [](EncoderTest& t) {
         t.set(Slot::ena_correzione_coord, "0"), t.set(Slot::correzione_x, "2");
       }, "X01000*", "X01000*", [](const DisplayState& s) { EXPECT_EQ(s.tracked_x, 0); }},
      {"every axis of the line", [](EncoderTest& t) {
         t.set(Slot::correzione_y, "3"), t.set(Slot::correzione_z, "0.5");
       }, "F45X00010Y00010Z00011*", "F45X00010Y00030Z00005*", nullptr},
      {"negative result keeps its sign in the field", [](EncoderTest& t) { t.set(Slot::correzione_x, "-1"); },
       "X00200*", "X0-200*", nullptr},
      {"a minus sign inside the zeros reads as 0", nullptr, "X0-200*", "X00000*",
       [](const DisplayState& s) { EXPECT_EQ(s.tracked_x, 0); }},
      {"factors of 1 keep the fields and track their numbers", nullptr, "X00300Y10000Z00000*",
       "X00300Y10000Z00000*", [](const DisplayState& s) {
         EXPECT_EQ(s.tracked_x, 300);
         EXPECT_EQ(s.tracked_y, 10000);
         EXPECT_EQ(s.tracked_z, 0);
       }},
      {"Int rounds down", [](EncoderTest& t) { t.set(Slot::correzione_y, "-1.5"); }, "Y00001*", "Y000-2*", nullptr},
      {"a longer value loses its first digits", [](EncoderTest& t) { t.set(Slot::correzione_x, "10"); }, "X99999*",
       "X99990*", nullptr},
      {"six digits", [](EncoderTest& t) { t.set(Slot::Version, "6"), t.set(Slot::correzione_z, "3"); }, "Z000100*",
       "Z000300*", nullptr},
      {"a field cut short is written in full", nullptr, "X12", "X00012", nullptr},
      {"sensor search value", [](EncoderTest& t) {
         t.set(Slot::correzione_z, "2"), t.d.tracked_z = 1000;
       }, "zs00100*", "zs00200*",
       [](const DisplayState& s) { EXPECT_EQ(s.step_token, "200"); EXPECT_EQ(s.tracked_z, 800); }},
      {"positioning moves are corrected too", [](EncoderTest& t) { t.set(Slot::correzione_x, "2"); }, "RX00100*",
       "RX00200*", nullptr},
      {"lower-case commands are left alone", [](EncoderTest& t) { t.set(Slot::correzione_x, "2"); },
       "lx50000xdcx", "lx50000xdcx", nullptr},
  };
  for (const CorrectCase& c : cases) {
    SCOPED_TRACE(c.name);
    context.display = DisplayState{};
    context.settings = SettingsRecord{};
    derive_settings(context.settings, context.derived);
    if (c.before) c.before(*this);
    EXPECT_EQ(correct(c.line), c.expected);
    if (c.check) c.check(context.display);
  }
}

TEST_F(EncoderTest, CorrectionOutsideThe32BitRangeIsAnOverflow) {
  set(Slot::correzione_x, "100000");
  context.channel.line = "X99999*";
  try {
    correct_coordinates(context);
    FAIL() << "no overflow";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), err::kOverflow);
  }
}

// The output channel runs encode_line, which skips the correction where it would change nothing: on
// lines of every shape, from every state, it must give what the two steps give one after the other.
TEST_F(EncoderTest, EncodeLineIsTrackThenCorrect) {
  constexpr std::array<std::string_view, 27> kParts = {
      "X01234", "Y00567", "Z00800", "Z01100", "F45", "F04", "S12", "pa", "pb", "pc", "zs00100", "xd", "cz",
      "RX00100", "A00100", "C00050", "*", "X12", "Fzs", "z", "s00100", "X", "\xF7", "-", "0", "R", "A0",
  };
  std::mt19937 random(11);
  const auto pick = [&](std::size_t count) { return static_cast<std::size_t>(random() % count); };
  for (int round = 0; round < 20000; ++round) {
    std::string line;
    for (std::size_t parts = 1 + pick(6); parts > 0; --parts) line += kParts[pick(kParts.size())];
    DisplayState start;
    start.display_z = pick(2) ? 800 : 1100;
    start.display_f = pick(2) ? 45 : 4;
    start.force_z = pick(4) == 0, start.force_f = pick(4) == 0;
    start.pa_pending = pick(3) == 0;
    context.settings = SettingsRecord{};
    if (pick(4) == 0) context.settings.set_text(Slot::correzione_x, "1.5");
    if (pick(4) == 0) context.settings.set_text(Slot::correzione_z, "2");
    if (pick(8) == 0) context.settings.set_text(Slot::ena_correzione_coord, "0");
    derive_settings(context.settings, context.derived);

    context.display = start;
    context.channel.line = line;
    track_line(context);
    ASSERT_EQ(context.channel.line.find(cmd::kFiller), std::string::npos) << line;  // every filler went
    correct_coordinates(context);
    const std::string expected_line = context.channel.line;
    const DisplayState expected_state = context.display;

    context.display = start;
    context.channel.line = line;
    encode_line(context);
    ASSERT_EQ(context.channel.line, expected_line) << line;
    ASSERT_TRUE(context.display == expected_state) << line;
  }
}

}  // namespace
}  // namespace vireo
