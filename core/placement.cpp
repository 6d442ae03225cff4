#include "core/placement.h"

#include <algorithm>

namespace vireo {

ShellLayout shell_layout(int w) {
  const int column = std::max(0, w - 8000 - 380);
  ShellLayout layout;
  layout.keypad = {w - 4500 - 380, 3000, 4500, 3400};
  layout.immediate = {w - 8000 - 380, 3000, 3500, 3400};
  layout.display = {w - 1800 - 380, 0, 1800, 3000};
  layout.preview = {w - 6200 - 1800 - 380, 0, 6200, 3000};
  layout.document = {0, 0, column, 4600};
  layout.aux = {0, 4600, column, 1800};
  return layout;
}

Placement output_window_placement(int w, bool display_expanded) {
  return {w - 6200 - 1800 - 380, 0, display_expanded ? 4500 : 6200, 3000};
}

Placement display_window_placement(int w, bool expanded) {
  const int width = expanded ? 3500 : 1800;
  return {w - width - 380, 0, width, 3000};
}

}  // namespace vireo
