#include "preview/plan.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>

#include "core/context.h"
#include "base/number_text.h"
#include "preview/trace.h"
#include "preview/view3d.h"
#include "tests/support/fake_host.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

constexpr std::string_view kSquare = "Z00800*X01000Y01000*Z01000*X03000*Y03000*X01000*Y01000*Z00800*";
const Rgb kFirstLevel = palette_colour(1);

struct PlanTest : ::testing::Test {
  test::FakeHost host;
  Context context{host};

  PlanDrawing draw(std::string_view program, Raster& picture, PlanOptions options = {}) {
    set_trace_text(context, std::string(program));
    scan_z_levels(context);
    scan_xy_extent(context);
    return draw_plan(context, picture, options);
  }
};

TEST(PlanScaleTest, GuardsAgainstEmptyExtentsAndTinyPictures) {
  struct Row {
    const char* name;
    double x_min, x_max, y_min, y_max;
    double width, height;
    double scale;
  };
  const Row rows[] = {
      // 5850 / 2000 across, 3900 / 2000 down: the smaller fit 1.95 gives 100 / 52 (51.3 rounded up).
      {"normal", 1000, 3000, 1000, 3000, 6000, 4500, 100.0 / 52},
      {"no X extent", 1000, 1000, 1000, 3000, 6000, 4500, 100.0 / 52},
      {"no Y extent", 1000, 3000, 2000, 2000, 6000, 4500, 100.0 / 35},
      {"single point", 1000, 1000, 2000, 2000, 6000, 4500, 100},
      {"tiny extent", 0, 10, 0, 10, 6000, 4500, 100},
      {"picture smaller than margins", 1000, 3000, 1000, 3000, 75, 75, 0.1},
      {"no cutting points", kTraceUnset, 0, kTraceUnset, 0, 6000, 4500, 100.0 / std::ceil(100 / (3900 / 999999999.0))},
  };
  for (const Row& row : rows) {
    TraceState trace;
    trace.x_min = row.x_min, trace.x_max = row.x_max, trace.y_min = row.y_min, trace.y_max = row.y_max;
    const PlanScale plan = plan_scale(trace, row.width, row.height);
    EXPECT_DOUBLE_EQ(plan.scale, row.scale) << row.name;
    EXPECT_TRUE(std::isfinite(plan.x_offset) && std::isfinite(plan.y_offset)) << row.name;
    EXPECT_EQ(plan.x_offset, std::floor(plan.scale * row.x_min)) << row.name;
    // The whole extent fits the drawing area.
    if (row.x_max >= row.x_min && plan.width > 0) {
      EXPECT_LE((row.x_max - row.x_min) * plan.scale, plan.width) << row.name;
    }
    if (row.y_max >= row.y_min && plan.height > 0) {
      EXPECT_LE((row.y_max - row.y_min) * plan.scale, plan.height) << row.name;
    }
  }
}

TEST_F(PlanTest, DrawsCutsInTheLevelColour) {
  Raster picture(400, 300, {1, 2, 3});
  const PlanDrawing drawing = draw(kSquare, picture);
  // The plunge and the four sides; the travel moves are not drawn.
  EXPECT_EQ(drawing.lines, 5);
  EXPECT_EQ(drawing.caption, "Simulator   tot:5 linee");
  EXPECT_EQ(drawing.level_count, "Zlevels=1");
  EXPECT_EQ(drawing.z_min, "zmin=8");
  EXPECT_EQ(drawing.z_max, "zmax=10");
  EXPECT_EQ(drawing.level_texts[0], "1000");
  EXPECT_EQ(drawing.level_texts[1], "");
  EXPECT_EQ(drawing.extent.x_min, "xmin=10");
  EXPECT_EQ(drawing.extent.dim_y, "dimy=20");
  EXPECT_EQ(drawing.extent.scale, "   scala=1.92");
  // The bottom side lies on the drawing height (3900 units = row 260), the left side 50 units in.
  EXPECT_EQ(picture.pixel(134, 260), kFirstLevel);
  EXPECT_EQ(picture.pixel(3, 200), kFirstLevel);
  EXPECT_EQ(picture.pixel(134, 130), kPlanBackground);
  EXPECT_EQ(picture.pixel(134, 262), kPlanBackground);
}

TEST_F(PlanTest, LineWidthThickensTheStroke) {
  EXPECT_EQ(initial_line_width(".drl"), 3);
  EXPECT_EQ(initial_line_width(".gbr"), 1);
  Raster picture(400, 300, kPlanBackground);
  draw(kSquare, picture, PlanOptions{.line_width = 3, .collect_points = false, .progress = {}});
  EXPECT_EQ(picture.pixel(134, 261), kFirstLevel);
  EXPECT_EQ(picture.pixel(134, 259), kFirstLevel);
  EXPECT_EQ(picture.pixel(134, 262), kPlanBackground);
}

TEST_F(PlanTest, LevelsOutsideTheListKeepThePreviousColour) {
  // Twenty levels: the oldest four fall out of the list and are drawn with the pen left before.
  std::string program = "Z00000*X01000Y01000*";
  for (int level = 1; level <= 20; ++level) {
    const std::string z = std::to_string(level);
    program += "Z" + std::string(5 - z.size(), '0') + z + "*X0" + std::to_string(1000 + level * 100) + "*";
  }
  Raster picture(800, 600, kPlanBackground);
  const PlanDrawing drawing = draw(program, picture);
  EXPECT_EQ(drawing.level_count, "Zlevels=20");
  EXPECT_EQ(drawing.lines, 40);
  for (int i = 0; i < kLevelSlots; ++i) EXPECT_EQ(drawing.level_texts[i], std::to_string(20 - i)) << i;
}

TEST_F(PlanTest, NegativeValuesAreFlagged) {
  Raster picture(200, 200, kPlanBackground);
  struct Row {
    std::string_view program;
    std::string text;
  };
  const Row rows[] = {{"Z00800*X0-100Y01000*", "[Traccia:] X negativo"},
                      {"Z00800*Y0-100*", "[Traccia:] Y negativo"},
                      {"Z0-800*X01000*", "[Traccia:] Z negativo"},
                      {"Z00800*X01000*", ""}};
  for (const Row& row : rows) {
    draw(row.program, picture);
    EXPECT_EQ(context.channel.error_text, row.text) << row.program;
  }
}

TEST_F(PlanTest, ZeroExtentsAndTinyPicturesDrawWithoutFault) {
  const std::string_view programs[] = {
      "Z00800*X01000Y01000*Z01000*Y03000*",   // vertical line
      "Z00800*X01000Y01000*Z01000*Z00800*",   // single plunge
      "Z00800*X01000Y01000*X05000*",          // travel only
      "Z01000X01000Y01000*X02000*Z00800*",    // a cut before any travel
  };
  for (std::string_view program : programs) {
    for (int size : {1, 5, 400}) {
      Raster picture(size, size, kPlanBackground);
      const PlanDrawing drawing = draw(program, picture);
      EXPECT_TRUE(std::isfinite(drawing.scale.scale) && drawing.scale.scale > 0) << program << " " << size;
    }
  }
  Raster picture(400, 300, kPlanBackground);
  EXPECT_EQ(draw(programs[0], picture).lines, 2);
  EXPECT_EQ(picture.pixel(3, 150), kFirstLevel);
  // The first cut has no start (nothing was reached before it): only the second is drawn.
  EXPECT_EQ(draw(programs[3], picture).lines, 1);
}

TEST_F(PlanTest, AbortEndsTheWalkAndDrawingClearsIt) {
  std::string program = "Z00800*X01000Y01000*Z01000*";
  for (int i = 0; i < 20000; ++i) program += "X02000*X01000*";
  int stops = 0;
  host.on_pump = [&] {
    if (++stops == 2) context.conversion.abort = true;
  };
  set_trace_text(context, program);
  scan_z_levels(context);
  scan_xy_extent(context);
  context.conversion.abort = true;  // left over from a run: drawing starts by clearing it
  Raster picture(100, 100, kPlanBackground);
  std::vector<int> progress;
  const PlanDrawing drawing = draw_plan(context, picture, PlanOptions{.line_width = 1, .collect_points = false, .progress = [&](int p) { progress.push_back(p); }});
  EXPECT_TRUE(drawing.aborted);
  EXPECT_LT(drawing.lines, 40001);
  EXPECT_GT(drawing.lines, 0);
  ASSERT_FALSE(progress.empty());
  EXPECT_LT(progress.back(), 100);
}

TEST_F(PlanTest, MousePositionReadsBackTheDrawnPoint) {
  Raster picture(400, 300, kPlanBackground);
  const PlanDrawing drawing = draw(kSquare, picture);
  // The corner at 1000/1000 cent/mm is drawn at 50 units across, 3900 down.
  const PlanPoint corner = plan_point(drawing.scale, 50 / kTwipsPerPixel, 3900 / kTwipsPerPixel);
  EXPECT_EQ(position_text(corner), "X=10.00   Y=10.00");
  record_click(context, corner);
  EXPECT_TRUE(context.trace.clicked);
  EXPECT_EQ(context.trace.clicked_x, 1000);
  EXPECT_EQ(context.trace.clicked_y, "1000");
  EXPECT_EQ(position_text({-0.001, 2.5}), "X=0.00   Y=2.50");
}

TEST_F(PlanTest, CollectsPointsInMillimetres) {
  Raster picture(400, 300, kPlanBackground);
  const PlanDrawing drawing = draw("Z00800*X01000Y02000*Z01000*X03000*", picture, PlanOptions{.line_width = 1, .collect_points = true, .progress = {}});
  const std::vector<Point3> expected = {{0, 0, 8}, {10, 20, 8}, {10, 20, 10}, {30, 20, 10}};
  EXPECT_EQ(drawing.points, expected);
}

TEST(Raster, PngHoldsThePicture) {
  Raster picture(7, 3, {10, 20, 30});
  picture.draw_line(0, 1, 6, 1, 1, {255, 0, 0});
  const std::string png = png_bytes(picture);
  ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(static_cast<unsigned char>(png[19]), 7u);  // width
  EXPECT_EQ(static_cast<unsigned char>(png[23]), 3u);  // height
  const std::size_t idat = png.find("IDAT");
  ASSERT_NE(idat, std::string::npos);
  const auto length = (static_cast<unsigned char>(png[idat - 4]) << 24) | (static_cast<unsigned char>(png[idat - 3]) << 16) |
                      (static_cast<unsigned char>(png[idat - 2]) << 8) | static_cast<unsigned char>(png[idat - 1]);
  std::string raw(3 * (7 * 3 + 1), '\0');
  uLongf raw_size = raw.size();
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &raw_size, reinterpret_cast<const Bytef*>(png.data() + idat + 4),
                       static_cast<uLong>(length)),
            Z_OK);
  ASSERT_EQ(raw_size, raw.size());
  const std::string middle_row = raw.substr(22 + 1, 21);
  for (int x = 0; x < 7; ++x) EXPECT_EQ(middle_row.substr(3 * x, 3), std::string("\xff\0\0", 3)) << x;
  EXPECT_EQ(raw.substr(1, 3), "\x0a\x14\x1e");
  test::TempDir dir;
  EXPECT_EQ(write_png(picture, dir.file("p.png")), "");
  EXPECT_EQ(dir.read("p.png"), png);
  EXPECT_NE(write_png(picture, dir.file("missing/p.png")), "");
}

TEST(Raster, FarLinesAreCutToThePicture) {
  Raster picture(10, 10, {0, 0, 0});
  picture.draw_line(-1e9, 5, 1e9, 5, 1, {9, 9, 9});
  picture.draw_line(-1e9, -1e9, -1e9 + 1, 1e9, 4, {9, 9, 9});  // entirely left of the picture
  for (int x = 0; x < 10; ++x) EXPECT_EQ(picture.pixel(x, 5), (Rgb{9, 9, 9}));
  EXPECT_EQ(picture.pixel(0, 0), (Rgb{0, 0, 0}));
}

TEST(View3dTest, TrackModesMoveThePicture) {
  const std::vector<Point3> points = {{0, 0, 0}, {10, 0, 0}, {0, 10, 1}};
  View3d view;
  const auto spread = [&] {
    const auto p = view.project(points, 200, 200);
    return std::hypot(p[1].x - p[0].x, p[1].y - p[0].y);
  };
  const double start = spread();
  view.set_mode(TrackMode::zoom);
  view.drag(0, -50);
  EXPECT_GT(spread(), start * 1.5);
  view.set_mode(TrackMode::pan);
  const ScreenPoint before = view.project(points, 200, 200)[0];
  view.drag(7, -3);
  const ScreenPoint after = view.project(points, 200, 200)[0];
  EXPECT_DOUBLE_EQ(after.x - before.x, 7);
  EXPECT_DOUBLE_EQ(after.y - before.y, -3);
  view.set_mode(TrackMode::rotate);
  const double yaw = view.yaw();
  view.drag(30, 0);
  EXPECT_NE(view.yaw(), yaw);
  view.reset();
  EXPECT_EQ(view.mode(), TrackMode::rotate);
  EXPECT_DOUBLE_EQ(spread(), start);
  // A deeper point is drawn lower once the view looks straight across.
  const auto deep = View3d().project({{0, 0, 0}, {0, 0, 5}}, 100, 100);
  EXPECT_GT(deep[1].y, deep[0].y);
  EXPECT_TRUE(View3d().project({}, 10, 10).empty());
}

}  // namespace
}  // namespace vireo
