#include "core/conversion_state.h"

#include <ostream>

namespace vireo {

std::ostream& operator<<(std::ostream& out, const GeometryRegisters& geometry) {
  return out << "{last_x=" << geometry.last_x << " last_y=" << geometry.last_y << "}";
}

std::ostream& operator<<(std::ostream& out, const ReaderCursor& cursor) {
  return out << "{read_cursor=" << cursor.read_cursor << " text_length=" << cursor.text_length << "}";
}

std::ostream& operator<<(std::ostream& out, const PassState& passes) {
  return out << "{pass_counter=" << passes.pass_counter << " abort=" << passes.abort << "}";
}

std::ostream& operator<<(std::ostream& out, const RunLines& lines) {
  return out << "{travel_z=\"" << lines.travel_z_line << "\" cutting_z=\"" << lines.cutting_z_line
             << "\" saved_cutting_z=\"" << lines.saved_cutting_z_line << "\" feed=\"" << lines.feed_setting
             << "\" plunge_feed=\"" << lines.plunge_feed_line << "\"}";
}

std::ostream& operator<<(std::ostream& out, const GerberModal& gerber) {
  return out << "{last_d=\"" << gerber.last_d << "\"}";
}

}  // namespace vireo
