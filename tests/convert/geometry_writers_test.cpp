#include "convert/geometry_writers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "convert/driver.h"
#include "core/context.h"
#include "tests/support/fake_host.h"
#include "tests/support/forgetful_recorder.h"

namespace vireo {
namespace {

using Lines = std::vector<std::string>;

struct GeometryTest : ::testing::Test {
  test::FakeHost host;
  test::ForgetfulRecorder recorded;  // the channel's listener, made before the context so that it outlives it
  Context ctx{host};
  GeometryRegisters& g = ctx.conversion.geometry;

  void SetUp() override {
    recorded.context = &ctx;
    ctx.channel.listener = &recorded;
    set(Slot::ena_pc_vertice, "0");
    ctx.channel.sink = "periferica";
    ctx.display.pulse_state = "pc";
    prepare_depths(ctx);
  }
  void set(Slot slot, std::string text) {
    ctx.settings.set_text(slot, 0, std::move(text));
    derive_settings(ctx.settings, ctx.derived);
  }
  Lines line(double x0, double y0, double x1, double y1) {
    g.start_x = x0, g.start_y = y0, g.end_x = x1, g.end_y = y1;
    move_to_start(ctx);
    cut_line(ctx);
    return std::exchange(recorded.lines, {});
  }
  Lines arc(double start, double end, float step, bool clockwise = false) {
    g.centre_x = 2000, g.centre_y = 2000, g.radius = 1000;
    g.start_angle = start, g.end_angle = end, g.arc_step = step;
    clockwise ? cut_arc_cw(ctx) : cut_arc_ccw(ctx);
    return std::exchange(recorded.lines, {});
  }
};

const Lines kLift = {"F45Z00800*", "F45"};
const Lines kPlunge = {"F02Z01100*", "F04", "pb"};

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(GeometryTest, LinePositionsOnceThenCutsOnFromItsEnd) {
  EXPECT_EQ(line(0, 0, 1000, 500), (kLift + Lines{"X00000*", "Y00000*"} + kPlunge + Lines{"X01000", "Y00500*"}));
  // A joint the tool already stands on: no lift and no positioning, and no "pb" while still down.
  EXPECT_EQ(line(1000, 500, 2000, 0), (Lines{"F02Z01100*", "F04", "X02000", "Y00000*"}));
  EXPECT_EQ(ctx.channel.line_counter, 2);
  EXPECT_EQ(ctx.channel.operation_text, "  LINE   ");
}

TEST_F(GeometryTest, JointsCompareAsWrittenWholeHundredths) {
  const double y = 0.3 * 100;  // 30.000000000000004, kept as 30.0f in the last Y
  line(0, y, 1000, y);
  EXPECT_EQ(line(1000, y, 2000, y).front(), "F02Z01100*");  // same written joint: no lift
  EXPECT_EQ(line(2000.4, y + 0.4, 3000, y).front(), "F02Z01100*");
  EXPECT_EQ(line(3000, 31, 4000, 31), (Lines{"pc"} + kLift + Lines{"X03000*", "Y00031*"} + kPlunge + Lines{"X04000", "Y00031*"}))
      << "a joint one hundredth away positions";
}

TEST_F(GeometryTest, ForgottenPositionAlwaysPositions) {
  line(0, 0, 1000, 500);
  g.forget_position();
  EXPECT_EQ(line(1000, 500, 0, 0).front(), "pc");
}

TEST_F(GeometryTest, CircleCutsTwelveChordsAndTheEndPointTwice) {
  const Lines lines = arc(0, 360, 30);
  ASSERT_EQ(lines.size(), 2u + 3 + 3 + 13 * 2);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 10),
            (kLift + Lines{"X03000", "*", "Y02000*"} + kPlunge + Lines{"X02866", "Y02500*"}));
  EXPECT_EQ(Lines(lines.end() - 4, lines.end()), (Lines{"X03000", "Y02000*", "X03000", "Y02000*"}));
  EXPECT_EQ(ctx.channel.operation_text, " ARC-CCW 360 ");
  EXPECT_EQ(g.arc_step, 30.0f);
  EXPECT_NEAR(g.last_x, 3000, 1e-9);
}

struct ArcCase {
  double start, end;
  float step;
  bool clockwise;
  std::size_t points;   // X lines written
  float even_step;      // the step the chords are cut with
  double last_x, last_y;
};

TEST_F(GeometryTest, ArcsDivideTheirSweepEvenly) {
  const ArcCase cases[] = {
      {350, 10, 5, false, 6, 5, 2985, 2174},           // end +360: 20 degrees, 370 written twice
      {0, 92, 5, false, 19, 92.0f / 18, 1965, 2999},   // 18 chords of 5.11 (the sum overshoots: 92 once)
      {90, 0, 5, true, 20, -5, 3000, 2000},            // clockwise, 18 chords of -5
      {0, 90, 5, true, 56, -5, 2000, 3000},            // clockwise from 360 down to 90
      {10, 10.5, 30, false, 3, 0.5f, 2983, 2182},      // less than a step: one chord
  };
  for (const ArcCase& c : cases) {
    g.forget_position();
    const Lines lines = arc(c.start, c.end, c.step, c.clockwise);
    std::size_t points = 0;
    for (const std::string& l : lines) points += l.starts_with("X");
    EXPECT_EQ(points, c.points) << c.start << " " << c.end;
    EXPECT_FLOAT_EQ(g.arc_step, c.even_step) << c.start << " " << c.end;
    EXPECT_EQ(std::llround(g.last_x), c.last_x) << c.start << " " << c.end;
    EXPECT_EQ(std::llround(g.last_y), c.last_y) << c.start << " " << c.end;
  }
}

TEST_F(GeometryTest, ArcFromWhereTheToolStandsDoesNotLift) {
  EXPECT_TRUE(arc(0, 0, 5).empty());
  line(0, 0, 3000, 2000);
  EXPECT_EQ(Lines(arc(0, 90, 30)), (Lines{"X03000", "*", "Y02000*"} + Lines{"F02Z01100*", "F04", "X02866", "Y02500*",
                                          "X02500", "Y02866*", "X02000", "Y03000*", "X02000", "Y03000*"}));
}

TEST_F(GeometryTest, ChordLoopsEndInBoundedTime) {
  g.forget_position();
  g.radius = 1e9;
  g.centre_x = g.centre_y = 2e9;
  g.start_angle = 0, g.end_angle = 360, g.arc_step = 30;
  cut_arc_ccw(ctx);
  EXPECT_EQ(recorded.lines.size(), 2u + 3 + 3 + 13 * 2);
  // A sweep whose even step rounds to 0, and a start angle the step no longer moves.
  for (const auto& [start, end] : {std::pair{0.0, 1e-300}, std::pair{1e20, 1e20 + 1e5}}) {
    recorded.lines.clear();
    EXPECT_LE(arc(start, end, 5).size(), 200u);
  }
  // An arc step of 0, or more than 36000 chords: refused and counted.
  EXPECT_TRUE(arc(0, 90, 0).empty());
  EXPECT_TRUE(arc(0, 360, 0.001f).empty());
  EXPECT_EQ(ctx.channel.error_count, 2);
  EXPECT_FALSE(arc(0, 360, 0.01f).empty());  // the finest full turn still goes
  EXPECT_EQ(ctx.channel.error_count, 2) << ctx.channel.error_text;
  EXPECT_EQ(ctx.channel.error_text, " arco invalido ");
}

struct KnifeCase {
  double x1, y1;
  std::string c_line;
  bool lifts;
};

TEST_F(GeometryTest, TangentialKnifeTurnsToEachLine) {
  set(Slot::Ena_tang_C, "1");  // Step_giro_C 2800, Gradi_lama_C 0.50
  const std::string feed = ctx.derived.feed_c;
  line(0, 0, 0, 0);
  const KnifeCase cases[] = {
      {0, -1000, "C02100", true},     // straight down: 270
      {0, -2000, "C02100", false},    // on the same way
      {1000, -1000, "C00350", true},  // 45 degrees
      {1000 + 0.004, -2000, "C02100", true},  // 270.00 after rounding, 0.00 off a straight fall
      {0, -2000, "C01400", true},     // 180
      {-1000, -2000 - 2, "C01401", false},  // 180.11: less than half a degree
      {-2000, -1000, "C01050", true},  // 135.06
  };
  for (const KnifeCase& c : cases) {
    g.end_x = c.x1, g.end_y = c.y1;
    cut_line(ctx);
    const Lines lines = std::exchange(recorded.lines, {});
    const Lines turn = c.lifts ? Lines{"pc", "F45Z00800*", feed + c.c_line} : Lines{feed + c.c_line};
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + static_cast<long>(turn.size())), turn) << c.x1 << " " << c.y1;
  }
  // A line that ends where it starts leaves the knife.
  cut_line(ctx);
  EXPECT_EQ(recorded.lines.front(), "F02Z01100*");
}

}  // namespace
}  // namespace vireo
