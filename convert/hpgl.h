// The HPGL converter: plotter files milled with the pen up as travel and the pen down as cutting.
// Arcs and circles go through the geometry writers as chords; a pen selection can change the tool,
// the depth and the feed (setting `atc_hpgl`).
#pragma once

namespace vireo {

struct Context;

// Converts the whole document into one program, repeated passes included.
void convert_hpgl(Context& context);

// The working lines of pen `pen` (1 to 8) in the modes where pens give depths: travel at
// `zsuperf_hp` + `ziniz_hp`, cutting at `zsuperf_hp` + the pen's depth (one `incr_passate` deeper per
// repeated pass done), the pen's feed. A pen depth above the travel height is refused: counted as an
// error, the tool stays at the travel height.
void set_pen_depths(Context& context, int pen);

}  // namespace vireo
