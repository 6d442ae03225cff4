// The plan view of the trace: the scale that fits the cutting extent into the picture, the drawing of
// every cutting segment coloured by its Z level, the texts of the window's labels and the mouse
// position. The window and the command line draw through the same routine into a Raster.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_view.h"
#include "preview/raster.h"
#include "core/trace_state.h"

namespace vireo {

struct Context;

// Picture units are twips; a pixel is 15 of them.
inline constexpr double kTwipsPerPixel = 15;
// The plan is drawn on this background, with this pen before any level has chosen a colour.
inline constexpr Rgb kPlanBackground{255, 255, 255};

// The colours of the standard 16-colour palette (0 black ... 15 bright white).
Rgb palette_colour(int index);
// The colour of level list entry 0..15.
Rgb level_colour(int level);
// Black or white, whichever reads better on the background.
Rgb contrast_colour(Rgb background);

// 3 pixels for drill programs (".drl"), else 1.
int initial_line_width(std::string_view document_extension);

struct PlanScale {
  double width = 0;    // W: picture width − 150
  double height = 0;   // H: picture height − 600
  double scale = 1;    // picture units per cent/mm
  double x_offset = 0; // whole part of scale × X minimum
  double y_offset = 0; // whole part of scale × Y minimum
};

// The scale that fits the trace's extent into a picture of the given size (twips). An axis without
// extent does not limit the scale; a picture too small to draw in gets the smallest scale.
PlanScale plan_scale(const TraceState& trace, double picture_width, double picture_height);

struct ExtentLabels {
  std::string x_min, y_min, x_max, y_max, dim_x, dim_y, scale;
};
ExtentLabels extent_labels(const TraceState& trace, const PlanScale& scale);

struct Point3 {
  double x = 0, y = 0, z = 0;
  friend bool operator==(const Point3&, const Point3&) = default;
};

struct PlanOptions {
  int line_width = 1;           // 1 to 4 pixels
  bool collect_points = false;  // keep every command's point for the 3D view
  // Called with 0..100 as the walk goes on.
  std::function<void(int)> progress;
};

struct PlanDrawing {
  PlanScale scale;
  ExtentLabels extent;
  long lines = 0;
  // Level list entries, shown as a level's segments are drawn; "" for a level not drawn.
  std::array<std::string, kLevelSlots> level_texts;
  std::vector<Point3> points;  // mm, one per command, when collected
  std::string caption;         // "Simulator   tot:<lines> linee"
  std::string level_count;     // "Zlevels=<count>"
  std::string z_min, z_max;    // "zmin=<mm>", "zmax=<mm>"
  bool aborted = false;
};

// Draws the trace's cutting segments into the picture (cleared first) and returns the labels.
// Clears the status texts and the abort flag first; a value with "-" is flagged in the error text;
// the abort flag ends the walk early.
PlanDrawing draw_plan(Context& context, Raster& picture, const PlanOptions& options);

// The mouse position over the picture (pixels) in mm with two decimals: "X=12.50   Y=3.00".
struct PlanPoint {
  double x = 0, y = 0;
};
PlanPoint plan_point(const PlanScale& scale, double pixel_x, double pixel_y);
std::string position_text(const PlanPoint& point);
// Keeps the clicked point, in cent/mm, for the setup dialog.
void record_click(Context& context, const PlanPoint& point);

}  // namespace vireo
