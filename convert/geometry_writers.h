// The geometry writers: the four ways the DXF, HPGL and G-code converters turn the geometry registers
// (core/geometry.h) into command lines. Coordinates are written rounded to whole hundredths (halves to
// the even neighbour) in the fixed digit count; arcs and circles are cut as even chords.
#pragma once

namespace vireo {

struct Context;

// Lifts and positions the tool at the start point, one axis after the other, unless it stands there
// already (the last position written equals the start point written).
void move_to_start(Context& context);

// Plunges and cuts a straight line from the last position to the end point. With the tangential knife
// on, the C axis first turns to the line's direction, the blade lifted for a large turn.
void cut_line(Context& context);

// Cuts the arc round the centre from the start angle to the end angle, counter-clockwise
// (respectively clockwise), in chords of nearly the arc step. The first point is positioned with the
// tool up, the plunge comes before the second; the last position becomes the last point.
void cut_arc_ccw(Context& context);
void cut_arc_cw(Context& context);

// The direction of a move by (dx, dy) in degrees, 0 to 360: exactly 0, 90, 180 or 270 along an axis
// (270 for no move at all), else the arctangent placed in its quadrant.
double direction_degrees(double dx, double dy);

// Turns the tangential knife to 0 at the start of a run (when the machine has one).
void reset_knife(Context& context);

}  // namespace vireo
