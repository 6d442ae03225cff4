// The DXF converter: the LINE, POINT, CIRCLE and ARC entities of a drawing's ENTITIES section, milled
// at the cutting depth through the geometry writers; every other entity is skipped.
#pragma once

namespace vireo {

struct Context;

// Converts the whole document into one program, repeated passes included.
void convert_dxf(Context& context);

}  // namespace vireo
