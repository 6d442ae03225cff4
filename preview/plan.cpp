#include "preview/plan.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "core/context.h"
#include "core/palette.h"
#include "base/number_text.h"
#include "link/output_channel.h"
#include "preview/trace.h"

namespace vireo {
namespace {

// The picture keeps a margin of 150 units across and 600 down; segments start 50 units in.
constexpr double kMarginWidth = 150;
constexpr double kMarginHeight = 600;
constexpr double kLeftInset = 50;
// Used when the extent leaves no usable scale (a picture too small to draw in).
constexpr double kSmallestFit = 0.1;
// Progress and events are looked at once per this many characters of the trace.
constexpr std::size_t kProgressStride = 1 << 16;

// Picture units across per cent/mm along one axis; an axis without extent sets no limit.
double axis_fit(double room, double low, double high) {
  const double extent = std::fabs(low - high);
  if (extent == 0) return std::numeric_limits<double>::infinity();
  return room / extent;
}

std::string two_decimals(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", value);
  std::string text = buf;
  if (text == "-0.00") text = "0.00";
  return text;
}

// A number as the labels show it: at most 15 significant digits (100/52 reads 1.92307692307692,
// not with the 17 digits of its exact double).
// The scale to three significant digits ("0.0117"), enough to compare two drawings.
std::string significant_text(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3g", value);
  return buf;
}

}  // namespace

Rgb palette_colour(int index) { return kConsolePalette[static_cast<unsigned>(index) & 15u]; }

Rgb level_colour(int level) { return palette_colour(kPenColours[static_cast<unsigned>(level) % kLevelSlots]); }

Rgb contrast_colour(Rgb background) {
  const int luma = 299 * background.r + 587 * background.g + 114 * background.b;
  return luma >= 128 * 1000 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
}

int initial_line_width(std::string_view document_extension) { return document_extension == ".drl" ? 3 : 1; }

PlanScale plan_scale(const TraceState& trace, double picture_width, double picture_height) {
  PlanScale plan;
  plan.width = picture_width - kMarginWidth;
  plan.height = picture_height - kMarginHeight;
  double fit = std::min(axis_fit(plan.width, trace.x_min, trace.x_max), axis_fit(plan.height, trace.y_min, trace.y_max));
  // A picture smaller than its margins leaves no room (or a negative one).
  if (!(fit > 0)) fit = kSmallestFit;
  // One cent/mm is a whole number of hundredths of a picture unit, rounded so that the drawing stays
  // inside the picture (rounded down, the scale came out larger than the fit and the far edge fell
  // off the top). An extent smaller than the picture by more than a hundred times (also a single
  // point, whose fit is infinite) is drawn at 100.
  const double hundredths = std::max(std::ceil(100 / fit), 1.0);
  plan.scale = 100 / hundredths;
  plan.x_offset = std::floor(plan.scale * trace.x_min);
  plan.y_offset = std::floor(plan.scale * trace.y_min);
  return plan;
}

ExtentLabels extent_labels(const TraceState& trace, const PlanScale& scale) {
  return {
      "xmin=" + number_text(trace.x_min / 100), "ymin=" + number_text(trace.y_min / 100),
      "xmax=" + number_text(trace.x_max / 100), "ymax=" + number_text(trace.y_max / 100),
      "dimx=" + number_text((trace.x_max - trace.x_min) / 100),
      "dimy=" + number_text((trace.y_max - trace.y_min) / 100), "   scala=" + significant_text(scale.scale),
  };
}

PlanDrawing draw_plan(Context& context, Raster& picture, const PlanOptions& options) {
  ChannelState& channel = context.channel;
  channel.operation_text.clear();
  channel.tool_text.clear();
  channel.message_text.clear();
  channel.error_text.clear();
  channel.line.clear();
  update_status(context);
  context.conversion.abort = false;

  TraceState& trace = context.trace;
  trace.last_x = trace.last_y = kTraceUnset;
  PlanDrawing drawing;
  drawing.scale = plan_scale(trace, picture.width() * kTwipsPerPixel, picture.height() * kTwipsPerPixel);
  drawing.extent = extent_labels(trace, drawing.scale);
  const PlanScale& plan = drawing.scale;
  picture.fill(kPlanBackground);

  const std::size_t digits = static_cast<std::size_t>(context.derived.digits);
  const Correction factor = display_correction(context, TraceValues::displayed);
  const int pen_width = std::clamp(options.line_width, 1, 4);
  Rgb pen = palette_colour(0);
  double x = 0, y = 0, z = 0;        // picture units (X, Y) and cent/mm (Z)
  double mm_x = 0, mm_y = 0;         // cent/mm, for the 3D view
  const auto to_pixel_x = [&](double units) { return (units - plan.x_offset + kLeftInset) / kTwipsPerPixel; };
  const auto to_pixel_y = [&](double units) { return (plan.height - units + plan.y_offset) / kTwipsPerPixel; };

  trace.cursor = 0;
  std::size_t next_look = 0;
  int percent = -1;
  while (trace.cursor < trace.length) {
    if (trace.cursor >= next_look) {
      next_look = trace.cursor + kProgressStride;
      context.host->pump_events();
      const int now = static_cast<int>(100.0 * static_cast<double>(trace.cursor) / static_cast<double>(trace.length));
      if (now != percent && options.progress) options.progress(now);
      percent = now;
    }
    if (context.conversion.abort) {
      drawing.aborted = true;
      break;
    }
    const std::string_view c = read_trace(context, 1);
    if (c.size() != 1) break;
    switch (c[0]) {
      case 'X':
      case 'Y':
      case 'Z': {
        const std::string_view field = read_trace(context, digits);
        if (field.find('-') != std::string_view::npos) channel.error_text = std::string("[Traccia:] ") + c[0] + " negativo";
        const double value = trace_field_value(field);
        if (c[0] == 'X') {
          mm_x = value * factor.x;
          x = std::floor(mm_x * plan.scale);
        } else if (c[0] == 'Y') {
          mm_y = value * factor.y;
          y = std::floor(mm_y * plan.scale);
        } else {
          z = value * factor.z;
        }
        break;
      }
      case '*': {
        if (options.collect_points) drawing.points.push_back({mm_x / 100, mm_y / 100, z / 100});
        if (z > trace.z_min) {
          const long long level = round_half_even(z);
          for (int i = 0; i < kLevelSlots; ++i) {
            if (trace.levels[i] != level) continue;
            pen = level_colour(i);
            drawing.level_texts[i] = number_text(z);
          }
          // A cut from a point never reached (no move before it) has no start to draw from.
          if (trace.last_x != kTraceUnset && trace.last_y != kTraceUnset) {
            picture.draw_line(to_pixel_x(trace.last_x), to_pixel_y(trace.last_y), to_pixel_x(x), to_pixel_y(y),
                              pen_width, pen);
            ++drawing.lines;
          }
        }
        trace.last_x = x;
        trace.last_y = y;
        break;
      }
      default:
        break;
    }
  }
  if (options.progress) options.progress(drawing.aborted ? percent : 100);

  drawing.caption = "Simulator   tot:" + number_text(static_cast<double>(drawing.lines)) + " linee";
  drawing.level_count = "Zlevels=" + number_text(trace.level_count);
  drawing.z_min = "zmin=" + number_text(trace.z_min / 100);
  drawing.z_max = "zmax=" + number_text(trace.z_max / 100);
  update_status(context);
  return drawing;
}

PlanPoint plan_point(const PlanScale& scale, double pixel_x, double pixel_y) {
  const double units_x = pixel_x * kTwipsPerPixel, units_y = pixel_y * kTwipsPerPixel;
  const double x = (units_x - kLeftInset + scale.x_offset) / (100 * scale.scale);
  const double y = (scale.height - units_y + scale.y_offset) / (100 * scale.scale);
  return {std::round(x * 100) / 100, std::round(y * 100) / 100};
}

std::string position_text(const PlanPoint& point) { return "X=" + two_decimals(point.x) + "   Y=" + two_decimals(point.y); }

void record_click(Context& context, const PlanPoint& point) {
  TraceState& trace = context.trace;
  trace.clicked = true;
  trace.clicked_x = static_cast<double>(round_half_even(point.x * 100));
  trace.clicked_y = number_text(static_cast<double>(round_half_even(point.y * 100)));
}

}  // namespace vireo
