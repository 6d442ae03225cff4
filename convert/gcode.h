// The G-code (ISO) converter: part programs of CAM systems. In 2D mode (`ena3d_gc` off) the program
// gives the X/Y path, cut at the configured depths through the geometry writers and repeated in
// deeper passes; in 3D mode every Z of the program is followed, in a single pass.
#pragma once

namespace vireo {

struct Context;

void convert_gcode(Context& context);

}  // namespace vireo
