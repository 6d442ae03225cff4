// Where the windows go: placements in twips (1/1440 inch) for an inner width of the main window. The
// window converts them at the screen's logical resolution.
#pragma once

namespace vireo {

struct Placement {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const Placement&, const Placement&) = default;
};
// The main window's default placement when the per-user store has none.
inline constexpr Placement kDefaultMainPlacement{1000, 1000, 6500, 6500};
// Where the layout step puts each window for an inner width W of the main window.
struct ShellLayout {
  Placement keypad, immediate, display, preview, document, aux;
};
ShellLayout shell_layout(int inner_width);
// The output window: beside the position display; 4500 wide instead of 6200 when the display is
// expanded.
Placement output_window_placement(int inner_width, bool display_expanded);
// The position display: 1800 wide at the right edge, 3500 when expanded.
Placement display_window_placement(int inner_width, bool expanded);

}  // namespace vireo
