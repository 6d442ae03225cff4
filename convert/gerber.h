// The Gerber converter: photoplot files milled as printed circuit boards. A draw with the light on
// (D01) is cut at the cutting depth, a move with the light off (D02) lifts and positions the tool, a
// flash (D03) drills one hole. Apertures and "%" parameter blocks play no part.
#pragma once

namespace vireo {

struct Context;

// Converts the whole document into one program, repeated passes included.
void convert_gerber(Context& context);

}  // namespace vireo
