#include "preview/trace.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/context.h"
#include "tests/support/fake_host.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

struct TraceTest : ::testing::Test {
  test::FakeHost host;
  Context context{host};
  TraceState& trace = context.trace;

  void set(Slot slot, std::string text) {
    context.settings.set_text(slot, std::move(text));
    derive_settings(context.settings, context.derived);
  }
  void scan(std::string program) {
    set_trace_text(context, std::move(program));
    scan_z_levels(context);
    scan_xy_extent(context);
  }
  std::vector<std::int32_t> listed_levels() const {
    const int shown = std::min(trace.level_count, kLevelSlots);
    return {trace.levels.begin(), trace.levels.begin() + shown};
  }
};

TEST(TraceField, SignStartsTheNumber) {
  struct Row {
    std::string_view field;
    double value;
  };
  const Row rows[] = {{"00800", 800}, {"0-200", -200}, {"-00150", -150}, {"12345", 12345},
                      {"012a4", 12},  {"", 0},         {"00-05", -5}};
  for (const Row& row : rows) EXPECT_EQ(trace_field_value(row.field), row.value) << row.field;
}

TEST_F(TraceTest, ReadTraceAdvancesPastTheEnd) {
  set_trace_text(context, "X0100");
  EXPECT_EQ(read_trace(context, 1), "X");
  EXPECT_EQ(read_trace(context, 5), "0100");
  EXPECT_EQ(trace.cursor, 6u);
  EXPECT_EQ(read_trace(context, 1), "");
}

TEST_F(TraceTest, LevelsExtentOfACutProgram) {
  scan("F45Z00800*X01000Y02000*Z01000*X03000*Y05000*\rZ00800*X09000Y09000*X00500Y00500*Z01200*X04000*Z00800*");
  EXPECT_EQ(trace.z_min, 800);
  EXPECT_EQ(trace.z_max, 1200);
  EXPECT_EQ(trace.level_count, 2);
  EXPECT_EQ(listed_levels(), (std::vector<std::int32_t>{1200, 1000}));
  // The starting minimum stays behind the levels in the list.
  EXPECT_EQ(trace.levels[2], 999999999);
  // The travel moves to 9000/9000 and 500/500 are not part of the extent; the plunge at 500/500 is.
  EXPECT_EQ(trace.x_min, 500);
  EXPECT_EQ(trace.x_max, 4000);
  EXPECT_EQ(trace.y_min, 500);
  EXPECT_EQ(trace.y_max, 5000);
}

TEST_F(TraceTest, OnlyTravelMovesHaveNoExtent) {
  scan("Z00800*X01000Y01000*X05000*Z00800*Y07000*");
  EXPECT_EQ(trace.level_count, 0);
  EXPECT_EQ(trace.x_min, kTraceUnset);
  EXPECT_EQ(trace.x_max, 0);
  EXPECT_EQ(trace.y_min, kTraceUnset);
  EXPECT_EQ(trace.y_max, 0);
}

TEST_F(TraceTest, NoZAtAllCountsNoLevel) {
  scan("X01000*Y02000*");
  EXPECT_EQ(trace.level_count, 0);
  EXPECT_EQ(trace.z_min, kTraceUnset);
  EXPECT_EQ(trace.x_min, kTraceUnset);
}

TEST_F(TraceTest, MoreThanSixteenLevelsKeepTheNewest) {
  std::string program = "Z00000*";
  for (int level = 1; level <= 20; ++level) program += "Z" + std::string(5 - std::to_string(level).size(), '0') + std::to_string(level) + "*";
  scan(program);
  EXPECT_EQ(trace.level_count, 20);
  EXPECT_EQ(trace.z_max, 20);
  for (int i = 0; i < kLevelSlots; ++i) EXPECT_EQ(trace.levels[i], 20 - i) << i;
}

TEST_F(TraceTest, SixDigitsReadNegativeZ) {
  set(Slot::Version, "6");
  scan("Z000800*Z-00150*X001000Y002000*Z000800*");
  EXPECT_EQ(trace.z_min, -150);
  EXPECT_EQ(listed_levels(), (std::vector<std::int32_t>{800}));
  // Z800 is above the new minimum -150 (deeper is larger), so the point at 800 is a cut.
  EXPECT_EQ(trace.x_min, 1000);
}

TEST_F(TraceTest, XBeforeAnyZCountsOnlyOnceACutStarts) {
  scan("X01000Y02000*Z00500*Z01000*X03000*");
  EXPECT_EQ(trace.x_min, 1000);
  EXPECT_EQ(trace.x_max, 3000);
  EXPECT_EQ(trace.y_min, 2000);
}

TEST_F(TraceTest, DisplayCorrectionScalesValues) {
  set(Slot::ena_correzione_display, "1");
  set(Slot::display_corr_x, "2");
  set(Slot::display_corr_z, "0.5");
  scan("Z00800*Z01000*X01000Y02000*");
  EXPECT_EQ(trace.z_min, 400);
  EXPECT_EQ(trace.z_max, 500);
  EXPECT_EQ(trace.x_min, 2000);
  EXPECT_EQ(trace.y_min, 2000);
  set(Slot::ena_correzione_display, "0");
  scan("Z00800*Z01000*X01000Y02000*");
  EXPECT_EQ(trace.x_min, 1000);
}

TEST_F(TraceTest, FractionalLevelsAreListedOnce) {
  set(Slot::ena_correzione_display, "1");
  set(Slot::display_corr_z, "1.001");
  scan("Z00800*Z01000*Z00800*Z01000*Z01000*");
  EXPECT_EQ(trace.level_count, 1);
  EXPECT_EQ(trace.levels[0], 1001);
}

TEST_F(TraceTest, AbortStopsTheScan) {
  context.conversion.abort = true;
  scan("Z00800*Z01000*X01000*");
  EXPECT_EQ(trace.z_min, kTraceUnset);
  EXPECT_EQ(trace.x_min, kTraceUnset);
}

TEST_F(TraceTest, BuildTraceLoadsTheProgramBesideTheSource) {
  test::TempDir dir;
  dir.write("board.tpx", "Z00800*X01000Y01000*Z01000*X02000*");
  host.caption = dir.file("board.GBR");
  EXPECT_TRUE(build_trace(context));
  EXPECT_EQ(host.previews, 1);
  EXPECT_EQ(trace.file_name, dir.file("board.tpx"));
  EXPECT_EQ(trace.x_max, 2000);
  EXPECT_EQ(host.panels[4], "");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(TraceTest, BuildTraceRefusals) {
  test::TempDir dir;
  struct Row {
    std::string caption;
    std::string message;
  };
  const std::vector<Row> rows = {
      {dir.file("noextension"), "[GRAPH:]Errore 5\rInvalid procedure call or argument: no extension in " +
                                    dir.file("noextension") + "\restensione file mancante"},
      {dir.file("missing.gbr"), "[GRAPH:]Errore 53\rFile not found\rGenera prima il file su disco"},
  };
  for (const Row& row : rows) {
    host.messages.clear();
    host.caption = row.caption;
    EXPECT_FALSE(build_trace(context));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], row.message);
  }
  EXPECT_EQ(host.previews, 0);
  EXPECT_FALSE(host.busy_changes.empty());
  EXPECT_FALSE(host.busy_changes.back());
}

}  // namespace
}  // namespace vireo
