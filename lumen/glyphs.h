// The 77 glyph pictures of the digit control: for each of the seven colours the digits 0 to 9 and a
// minus sign, 16 × 21 pixels, lit segments on black with the unlit ones in a dim shade of the colour.
#pragma once

#include <QImage>

#include "lumen/export.h"

namespace lumen {

inline constexpr int kGlyphWidth = 16;
inline constexpr int kGlyphHeight = 21;
inline constexpr int kColours = 7;
inline constexpr int kGlyphsPerColour = 11;  // 0 to 9, then the minus sign
inline constexpr int kMinusGlyph = 10;
inline constexpr int kGlyphCount = kColours * kGlyphsPerColour;

// The picture of glyph `index` (colour × 11 + glyph); a null image for an index outside 0 to 76.
LUMEN_EXPORT const QImage& glyph_picture(int index);

// The lit colour of a colour index 0 to 6: green, red, yellow, blue, cyan, orange, white.
LUMEN_EXPORT QRgb glyph_colour(int colour);

}  // namespace lumen
