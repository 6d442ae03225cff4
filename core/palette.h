// The program's colour constants: the 16-colour console palette, the pen and Z-level colour indexes and
// the named colours of buttons, status texts and the output view.
#pragma once

#include <array>

#include "core/text_view.h"

namespace vireo {

// Pens and Z levels of the setup dialog and the preview: indexes into the 16-colour console palette.
inline constexpr std::array<int, 16> kPenColours = {1, 12, 10, 9, 13, 14, 11, 8, 1, 2, 3, 4, 5, 6, 7, 15};
// The 16-colour console palette.
inline constexpr std::array<Rgb, 16> kConsolePalette = {{
    {0, 0, 0}, {0, 0, 128}, {0, 128, 0}, {0, 128, 128}, {128, 0, 0}, {128, 0, 128}, {128, 128, 0},
    {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0}, {0, 255, 255}, {255, 0, 0},
    {255, 0, 255}, {255, 255, 0}, {255, 255, 255}}};
namespace colour {
inline constexpr Rgb kSlowButton{235, 255, 168};   // preview and keypad buttons
inline constexpr Rgb kFastButton{255, 217, 1};     // preview 3D button, keypad speed buttons
inline constexpr Rgb kRed{255, 43, 1};             // output channel and preview
inline constexpr Rgb kGreen{137, 205, 0};
inline constexpr Rgb kBlue{0, 105, 230};
inline constexpr Rgb kAlert{255, 192, 128};        // output channel, pause button, monitor
}  // namespace colour

}  // namespace vireo
